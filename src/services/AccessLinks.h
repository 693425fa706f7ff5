// Every address the program links to, in one place: the maker's own site pages are built from
// the site address; the others are Info.plist keys, each overridable from the environment.
#pragma once

#include <QUrl>

#include "core/browsers/Browser.h"
#include "core/fs/FileManager.h"

namespace qz {

enum class Endpoint {
    SocialPage,   // QZSocialPage
    Blog,         // QZBlog
    WebSite,      // QZWebSite: "<site>/", or its index.html when the pages are installed ones
    SupportPage,  // "<site>/support.html"
    AccessHelp,   // "<site>/support.html#sandbox"
    RatingPage,   // QZRatingPage
    UpdatePage,   // "<site>/update.html"
    ContactMail,  // QZContactMail, a mailto: address
    WelcomePage,  // "<site>/welcome.html"
};

// A site page's path for the user's language (the one the texts speak): the Italian pages sit in
// "/it", the English ones at the top. "/support.html" gives "/it/support.html" in Italian.
QString pagePath(const QString& page);

// The endpoint's address; empty when it is not configured (its control is then left out).
QUrl endpointUrl(Endpoint endpoint);
// Opens the endpoint in the user's browser or mail program; false when it has no address.
bool openEndpoint(Endpoint endpoint);

// "<web site>/update.html": where the latest version is offered.
QUrl updatePageUrl();
// "<web site>/support.html#sandbox": the support page's section on folder access; for the macOS
// layout with "?layout=macos", which makes the page speak of the Library folder, not the home.
QUrl accessHelpUrl(Layout layout);

// "<web site>/dictionary.html#<browser>": what each of the browser's items covers.
QUrl dictionaryUrl(BrowserId browser);

// updateApp: and supportSandbox: open these in the user's web browser.
bool openUpdatePage();
bool openAccessHelp(Layout layout);

}  // namespace qz
