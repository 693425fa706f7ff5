// The pages installed with the program: every section a control opens is there, and what a
// Linux user reads speaks of the home folder, not of a macOS Library.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QUrlQuery>

#include "core/browsers/Browser.h"
#include "core/formats/Bundle.h"
#include "services/AccessLinks.h"

namespace qz {
namespace {

QString page(const QString& name) {
    const QString site = Bundle::siteFolder(QCoreApplication::applicationDirPath());
    QFile file(site + u'/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(SitePagesTest, EverySectionAControlOpensIsInItsPage) {
    struct Link {
        QString page, fragment;
    };
    QList<Link> links;
    for (BrowserId browser : kAllBrowsers) {
        // A panel's help button opens its browser's section of the item dictionary.
        const QString fragment = browserInfo(browser).supportFragment;
        ASSERT_TRUE(fragment.startsWith(u'#')) << fragment.toStdString();
        links.append({QStringLiteral("dictionary.html"), fragment.mid(1)});
    }
    for (Layout layout : {Layout::Linux, Layout::MacOS}) {
        const QUrl help = accessHelpUrl(layout);
        links.append({help.fileName(), help.fragment()});
    }
    for (const Link& link : links) {
        SCOPED_TRACE((link.page + u'#' + link.fragment).toStdString());
        const QString text = page(link.page);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_TRUE(text.contains(QStringLiteral("id=\"%1\"").arg(link.fragment)));
    }
}

TEST(SitePagesTest, LinuxReadersMeetTheHomeFolderAndMacOSReadersTheLibrary) {
    // The access help tells the page the layout it is read for.
    EXPECT_FALSE(accessHelpUrl(Layout::Linux).hasQuery());
    EXPECT_EQ(QUrlQuery(accessHelpUrl(Layout::MacOS)).queryItemValue("layout"), "macos");
    const QRegularExpression macOnly(QStringLiteral("<span class=\"macos-only\">.*?</span>"),
                                     QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpression library(QStringLiteral("/Users/|Library folder|your Library"));
    const struct {
        const char* page;
        bool speaksOfTheHome;
    } pages[] = {{"support.html", true},
                 {"welcome.html", true},
                 {"index.html", false},
                 {"dictionary.html", false}};
    for (const auto& p : pages) {
        SCOPED_TRACE(p.page);
        const QString text = page(QLatin1String(p.page));
        ASSERT_FALSE(text.isEmpty());
        QString forLinux = text;
        forLinux.remove(macOnly);
        EXPECT_FALSE(forLinux.contains(library));
        EXPECT_EQ(forLinux.contains(QStringLiteral("home folder")), p.speaksOfTheHome);
        if (text.contains(library)) {
            // What a macOS disk needs is said only where the page shows it for that layout.
            EXPECT_TRUE(text.contains(QStringLiteral("layout=macos")));
        }
    }
}

}  // namespace
}  // namespace qz
