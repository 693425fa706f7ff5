// The pages installed with the program: every section a control opens is there, in English and in
// Italian; the two languages keep the same sections and links; and what a Linux user reads speaks
// of the home folder, not of a macOS Library.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QUrlQuery>

#include "core/browsers/Browser.h"
#include "core/formats/Bundle.h"
#include "services/AccessLinks.h"
#include "support/OfflineSite.h"

namespace qz {
namespace {

const QStringList kPages{"index.html", "welcome.html", "dictionary.html", "support.html",
                         "update.html"};

QString siteFolder() {
    return Bundle::siteFolder(QCoreApplication::applicationDirPath());
}

QString page(const QString& name) {
    QFile file(siteFolder() + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Every value of an attribute in a page, in order: ids, classes, link targets.
QStringList attributes(const QString& text, const QString& names) {
    QStringList values;
    const QRegularExpression attribute(QStringLiteral("\\b(?:%1)=\"([^\"]*)\"").arg(names));
    for (const auto& match : attribute.globalMatch(text)) {
        values << match.captured(1);
    }
    return values;
}

// The page's links within the site, resolved and relative to it ("it/support.html#sandbox").
QStringList internalLinks(const QString& name) {
    const QUrl base = QUrl::fromLocalFile(siteFolder() + u'/' + name);
    QStringList links;
    for (const QString& target : attributes(page(name), QStringLiteral("href|src"))) {
        const QUrl url = base.resolved(QUrl(target));
        if (url.isLocalFile()) {
            QString link = url.toLocalFile().mid(siteFolder().size() + 1);
            links << (url.hasFragment() ? link + u'#' + url.fragment() : link);
        }
    }
    links.sort();
    return links;
}

// Sets the language the program speaks for the scope (unset, as the tests start, afterwards).
struct Speaking {
    explicit Speaking(const char* language) { qputenv("QUENZEL_LANG", language); }
    ~Speaking() { qunsetenv("QUENZEL_LANG"); }
};

TEST(SitePagesTest, EveryPageAControlOpensIsInTheUsersLanguageWithItsSection) {
    ASSERT_FALSE(siteFolder().isEmpty());
    const QString installed = QUrl::fromLocalFile(siteFolder()).toString();
    const QString remote = QStringLiteral("http://127.0.0.1:9/quenzel");
    for (const char* language : {"en", "it"}) {
        const Speaking speaking(language);
        const QString folder =
            QLatin1String(language) == u"it" ? QStringLiteral("/it/") : QStringLiteral("/");
        // The welcome shown before any site answers is the language's own.
        QFile bundled(QStringLiteral(":/html") + pagePath(QStringLiteral("/welcome.html")));
        ASSERT_TRUE(bundled.open(QIODevice::ReadOnly)) << language;
        EXPECT_TRUE(bundled.readAll().contains(QByteArray("lang=\"") + language + '"'));
        for (const QString& site : {installed, remote}) {
            qputenv("QUENZEL_WEBSITE", site.toUtf8());
            QList<QUrl> opened{
                endpointUrl(Endpoint::WelcomePage), endpointUrl(Endpoint::SupportPage),
                endpointUrl(Endpoint::UpdatePage),  endpointUrl(Endpoint::WebSite),
                accessHelpUrl(Layout::Linux),       accessHelpUrl(Layout::MacOS)};
            for (BrowserId browser : kAllBrowsers) {
                // A panel's help button opens its browser's section of the item dictionary.
                opened << dictionaryUrl(browser);
                EXPECT_EQ(opened.last().fragment(), browserInfo(browser).supportFragment.mid(1));
            }
            for (const QUrl& url : opened) {
                SCOPED_TRACE(language + (u' ' + url.toString()).toStdString());
                const QString path = url.toString(QUrl::RemoveQuery | QUrl::RemoveFragment);
                ASSERT_TRUE(path.startsWith(site + folder));
                if (site == installed) {
                    const QString name = path.mid(site.size() + 1);
                    const QString text = page(name);
                    ASSERT_FALSE(text.isEmpty());
                    EXPECT_TRUE(text.contains(QStringLiteral("lang=\"%1\"").arg(language)));
                    if (url.hasFragment()) {
                        EXPECT_TRUE(attributes(text, "id").contains(url.fragment()));
                    }
                }
            }
        }
    }
    qputenv("QUENZEL_WEBSITE", test::kOfflineWebSite);
}

TEST(SitePagesTest, ItalianPagesKeepTheEnglishSectionsPassagesAndLinks) {
    for (const QString& name : kPages) {
        SCOPED_TRACE(name.toStdString());
        const QString english = page(name);
        const QString italian = page(QStringLiteral("it/") + name);
        ASSERT_FALSE(english.isEmpty());
        ASSERT_FALSE(italian.isEmpty());
        EXPECT_TRUE(italian.contains(QStringLiteral("<html lang=\"it\">")));
        EXPECT_EQ(attributes(italian, "id"), attributes(english, "id"));
        // The per-layout passages (linux-only, macos-only) and the page's frame.
        EXPECT_EQ(attributes(italian, "class"), attributes(english, "class"));
        // An Italian page leads to the Italian pages and shares the style and pictures.
        QStringList expected;
        for (const QString& link : internalLinks(name)) {
            expected << (link.contains(QStringLiteral(".html")) ? QStringLiteral("it/") + link
                                                                : link);
        }
        expected.sort();
        EXPECT_EQ(internalLinks(QStringLiteral("it/") + name), expected);
    }
    // Every link within the site reaches a file, and a section within that page.
    QStringList names = kPages;
    for (const QString& name : kPages) {
        names << QStringLiteral("it/") + name;
    }
    for (const QString& name : names) {
        for (const QString& link : internalLinks(name)) {
            SCOPED_TRACE((name + QStringLiteral(" → ") + link).toStdString());
            const QString file = link.section(u'#', 0, 0);
            EXPECT_TRUE(QFile::exists(siteFolder() + u'/' + file));
            if (link.contains(u'#')) {
                EXPECT_TRUE(attributes(page(file), "id").contains(link.section(u'#', 1)));
            }
        }
    }
}

TEST(SitePagesTest, LinuxReadersMeetTheHomeFolderAndMacOSReadersTheLibrary) {
    // The access help tells the page the layout it is read for.
    EXPECT_FALSE(accessHelpUrl(Layout::Linux).hasQuery());
    EXPECT_EQ(QUrlQuery(accessHelpUrl(Layout::MacOS)).queryItemValue("layout"), "macos");
    const QRegularExpression macOnly(QStringLiteral("<span class=\"macos-only\">.*?</span>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    const struct {
        QString folder, home;
        QRegularExpression library;
    } languages[] = {
        {"", "home folder", QRegularExpression("/Users/|Library folder|your Library")},
        {"it/", "cartella home", QRegularExpression("/Users/|Libreria")},
    };
    const struct {
        const char* page;
        bool speaksOfTheHome;
    } pages[] = {{"support.html", true},
                 {"welcome.html", true},
                 {"index.html", false},
                 {"dictionary.html", false}};
    for (const auto& language : languages) {
        for (const auto& p : pages) {
            const QString name = language.folder + QLatin1String(p.page);
            SCOPED_TRACE(name.toStdString());
            const QString text = page(name);
            ASSERT_FALSE(text.isEmpty());
            QString forLinux = text;
            forLinux.remove(macOnly);
            EXPECT_FALSE(forLinux.contains(language.library));
            EXPECT_EQ(forLinux.contains(language.home), p.speaksOfTheHome);
            if (text.contains(language.library)) {
                // What a macOS disk needs is said only where the page shows it for that layout.
                EXPECT_TRUE(text.contains(QStringLiteral("layout=macos")));
            }
        }
    }
}

}  // namespace
}  // namespace qz
