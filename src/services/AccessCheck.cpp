#include "services/AccessCheck.h"

#include "core/care/AccessGrant.h"
#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

#include <QDir>

namespace qz {

FolderChooserSetup folderChooserSetup(const FileManager& files, const Localization& texts) {
    const bool onLinux = files.layout() == Layout::Linux;
    return {
        texts.format(onLinux ? QStringLiteral("chooseHomeTitle") : QStringLiteral("chooseHDTitle")),
        texts.format(QStringLiteral("selectHDbtn")),
        onLinux ? files.homePath()
                : files.localPath(files.userPath(QStringLiteral("/Users/%@/Library")))};
}

std::optional<QString> grantMissesBrowserFolders(const QString& chosenFolder,
                                                 const FileManager& files) {
    if (files.layout() != Layout::Linux) {
        return std::nullopt;
    }
    const QString chosen = QDir::cleanPath(QDir(chosenFolder).absolutePath());
    const QString home = files.homePath();
    if (chosen == home || chosen == QStringLiteral("/") || home.startsWith(chosen + u'/')) {
        return std::nullopt;
    }
    return QStringLiteral(
               "The browsers keep their data throughout your home folder (%1). "
               "Choose the home folder itself.")
        .arg(home);
}

AccessCheck::AccessCheck(UserDefaults& defaults, const Localization& texts, QObject* parent)
    : QObject(parent), defaults_(defaults), texts_(texts) {
    qRegisterMetaType<qz::FaceChange>();
    connect(&updateCheck_, &UpdateCheck::answered, this, [this](const UpdateAnswer& answer) {
        emit faceChanged(answer.updateRequired ? updateRequiredFace(*answer.published, texts_)
                                               : normalFace());
        emit updateAnswered(answer);
    });
}

void AccessCheck::checkSandbox() {
    const QByteArray stored = Settings(defaults_).folderGrant();
    if (stored.isEmpty()) {
        emit faceChanged(accessRequestFace());
        return;
    }
    const std::optional<Bookmark::Resolved> resolved = Bookmark::resolve(stored);
    if (!resolved) {
        return;  // the window keeps whatever it shows
    }
    grantedFolder_ = resolved->path;
    // The panels show at once so the window stays usable while the version list is fetched.
    emit faceChanged(accessControlsHidden().then(normalFace()));
    updateCheck_.start();
}

std::optional<QString> AccessCheck::choose(const QStringList& chosenFolders) {
    if (chosenFolders.size() != 1) {
        return std::nullopt;
    }
    QString error;
    const QByteArray bookmark = Bookmark::create(chosenFolders.first(), &error);
    Settings settings(defaults_);
    settings.setFolderGrant(bookmark);
    settings.synchronize();
    checkSandbox();
    if (bookmark.isEmpty()) {
        return error.isEmpty() ? QStringLiteral("No access could be granted to that folder.")
                               : error;
    }
    return std::nullopt;
}

}  // namespace qz
