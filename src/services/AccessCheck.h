// The home-folder grant and the window face that follows from it: reads the stored grant,
// stores a newly chosen folder, and runs the update check once the grant resolves.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/care/AccessFaces.h"
#include "services/UpdateCheck.h"

namespace qz {

class FileManager;
class Localization;
class UserDefaults;

// How the folder chooser is set up: folders only, one item, hidden files shown.
struct FolderChooserSetup {
    QString title;           // "chooseHDTitle"
    QString prompt;          // "selectHDbtn", the confirm button
    QString startDirectory;  // the user's Library folder on this disk (Linux: the home)
};
FolderChooserSetup folderChooserSetup(const FileManager& files, const Localization& texts);
// In the Linux layout the grant must cover every browser's folder, so only the home folder or
// a folder above it will do: the reason when the chosen folder does not. Any folder on macOS.
std::optional<QString> grantMissesBrowserFolders(const QString& chosenFolder,
                                                 const FileManager& files);

class AccessCheck : public QObject {
    Q_OBJECT

  public:
    AccessCheck(UserDefaults& defaults, const Localization& texts, QObject* parent = nullptr);

    // Reads the grant and emits the face: the access request when none is stored; nothing when
    // it no longer resolves; otherwise the access controls hide, the browser panels show, and
    // the update check starts, whose answer may bring the update face later.
    void checkSandbox();
    // Stores the grant for the folders the chooser returned (local paths; anything but exactly
    // one changes nothing) and runs checkSandbox(). Returns the reason when no grant could be
    // made of the folder: the stored grant is then removed and the reason is to be shown.
    std::optional<QString> choose(const QStringList& chosenFolders);

    // The folder the resolved grant names; empty until a grant has resolved.
    const QString& grantedFolder() const { return grantedFolder_; }
    UpdateCheck& updateCheck() { return updateCheck_; }

  signals:
    void faceChanged(const qz::FaceChange& change);
    void updateAnswered(const qz::UpdateAnswer& answer);

  private:
    UserDefaults& defaults_;
    const Localization& texts_;
    UpdateCheck updateCheck_;
    QString grantedFolder_;
};

}  // namespace qz
