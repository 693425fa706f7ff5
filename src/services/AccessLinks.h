// Every address the program links to, in one place: the maker's own site pages are built from
// the site address; the others are Info.plist keys, each overridable from the environment.
#pragma once

#include <QUrl>

#include "core/fs/FileManager.h"

namespace qz {

enum class Endpoint {
    SocialPage,   // QZSocialPage
    Blog,         // QZBlog
    WebSite,      // QZWebSite
    SupportPage,  // "<site>/support.html"
    AccessHelp,   // "<site>/support.html#sandbox"
    RatingPage,   // QZRatingPage
    UpdatePage,   // "<site>/update.html"
    ContactMail,  // QZContactMail, a mailto: address
    WelcomePage,  // "<site>/welcome.html"
};

// The endpoint's address; empty when it is not configured (its control is then left out).
QUrl endpointUrl(Endpoint endpoint);
// Opens the endpoint in the user's browser or mail program; false when it has no address.
bool openEndpoint(Endpoint endpoint);

// "<web site>/update.html": where the latest version is offered.
QUrl updatePageUrl();
// "<web site>/support.html#sandbox": the support page's section on folder access; for the macOS
// layout with "?layout=macos", which makes the page speak of the Library folder, not the home.
QUrl accessHelpUrl(Layout layout);

// updateApp: and supportSandbox: open these in the user's web browser.
bool openUpdatePage();
bool openAccessHelp(Layout layout);

}  // namespace qz
