#include "services/Workspace.h"

#include <QDesktopServices>

namespace qz {

namespace {
Workspace::Opener& currentOpener() {
    static Workspace::Opener opener;
    return opener;
}
}  // namespace

bool Workspace::openURL(const QUrl& url) {
    if (currentOpener()) {
        return currentOpener()(url);
    }
    return QDesktopServices::openUrl(url);
}

Workspace::Opener Workspace::setOpener(Opener opener) {
    Opener previous = std::move(currentOpener());
    currentOpener() = std::move(opener);
    return previous;
}

}  // namespace qz
