#include "services/AccessLinks.h"

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "services/Workspace.h"

namespace qz {

namespace {

// An Info.plist address; QUENZEL_<NAME> (the key without "QZ", upper case) takes precedence.
QUrl configured(const QString& key) {
    QString address = qEnvironmentVariable(("QUENZEL_" + key.mid(2).toUpper()).toLatin1());
    if (address.isEmpty()) {
        address = Bundle::objectForInfoDictionaryKey(key);
    }
    return QUrl(address.trimmed(), QUrl::StrictMode);
}

QUrl sitePage(const QString& page, const QString& fragment = QString()) {
    const QString site = Bundle::webSite();
    if (site.isEmpty()) {
        return {};
    }
    QUrl url(site + pagePath(page));
    if (!fragment.isEmpty()) {
        url.setFragment(fragment);
    }
    return url;
}

}  // namespace

QString pagePath(const QString& page) {
    return Localization::sharedLanguage() == u"it" ? QStringLiteral("/it") + page : page;
}

QUrl endpointUrl(Endpoint endpoint) {
    switch (endpoint) {
        case Endpoint::SocialPage:
            return configured(QStringLiteral("QZSocialPage"));
        case Endpoint::Blog:
            return configured(QStringLiteral("QZBlog"));
        case Endpoint::WebSite:
            // The installed pages open at their index, not as a folder; a web server finds it.
            return sitePage(Bundle::webSite().startsWith(u"file:") ? QStringLiteral("/index.html")
                                                                   : QStringLiteral("/"));
        case Endpoint::SupportPage:
            return sitePage(QStringLiteral("/support.html"));
        case Endpoint::AccessHelp:
            return sitePage(QStringLiteral("/support.html"), QStringLiteral("sandbox"));
        case Endpoint::RatingPage:
            return configured(QStringLiteral("QZRatingPage"));
        case Endpoint::UpdatePage:
            return sitePage(QStringLiteral("/update.html"));
        case Endpoint::ContactMail:
            return configured(QStringLiteral("QZContactMail"));
        case Endpoint::WelcomePage:
            return sitePage(QStringLiteral("/welcome.html"));
    }
    return {};
}

bool openEndpoint(Endpoint endpoint) {
    const QUrl url = endpointUrl(endpoint);
    return url.isValid() && !url.isEmpty() && Workspace::openURL(url);
}

QUrl updatePageUrl() {
    return endpointUrl(Endpoint::UpdatePage);
}

QUrl accessHelpUrl(Layout layout) {
    QUrl url = endpointUrl(Endpoint::AccessHelp);
    if (layout == Layout::MacOS && !url.isEmpty()) {
        url.setQuery(QStringLiteral("layout=macos"));
    }
    return url;
}

QUrl dictionaryUrl(BrowserId browser) {
    return sitePage(QStringLiteral("/dictionary.html"),
                    browserInfo(browser).supportFragment.mid(1));
}

bool openUpdatePage() {
    return openEndpoint(Endpoint::UpdatePage);
}

bool openAccessHelp(Layout layout) {
    const QUrl url = accessHelpUrl(layout);
    return !url.isEmpty() && Workspace::openURL(url);
}

}  // namespace qz
