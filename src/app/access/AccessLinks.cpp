#include "app/access/AccessLinks.h"

#include "platform/Bundle.h"
#include "platform/Workspace.h"

namespace qz {

QUrl updatePageUrl() {
    return QUrl(Bundle::webSite() + QStringLiteral("/update.html"));
}

QUrl accessHelpUrl() {
    QUrl url(Bundle::webSite() + QStringLiteral("/support.html"));
    url.setFragment(QStringLiteral("sandbox"));
    return url;
}

bool openUpdatePage() {
    return Workspace::openURL(updatePageUrl());
}

bool openAccessHelp() {
    return Workspace::openURL(accessHelpUrl());
}

}  // namespace qz
