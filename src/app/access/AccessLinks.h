// The web pages behind the update button and the access help link, on the maker's web site.
#pragma once

#include <QUrl>

namespace qz {

// "<web site>/update.html": where the latest version is offered.
QUrl updatePageUrl();
// "<web site>/support.html#sandbox": the support page's section on folder access.
QUrl accessHelpUrl();

// updateApp: and supportSandbox: open these in the user's web browser.
bool openUpdatePage();
bool openAccessHelp();

}  // namespace qz
