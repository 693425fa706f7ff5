// Puts the home-folder access and the update check on the main window: shows the faces the
// access check decides, asks for the folder, reports a grant that could not be made, shows help.
#pragma once

#include <QLabel>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QToolButton>
#include <functional>

#include "gui/chrome/ImageView.h"
#include "services/AccessCheck.h"

namespace qz {

class FileManager;
class Localization;
class UserDefaults;

// The main window's controls the access faces show and hide, and the window itself.
struct AccessControls {
    QWidget* window;  // the folder dialog and the error message open on it
    QPushButton* chooseHD;
    QToolButton* helpSandbox;
    ImageView* imageSandbox;
    QLabel* textUpdate;
    QPushButton* btnUpdate;
    QList<QWidget*> slotViews;  // the slots of the browser panels
    QWidget* helpPopover;       // the access help, shown below helpSandbox
};

class AccessController : public QObject {
    Q_OBJECT
  public:
    // Asks for folders and returns their local paths; empty when the user cancels.
    using FolderChooser = std::function<QStringList()>;

    // Works on the window's access and update controls and its slot views, which must outlive
    // it. The window is left showing the access request.
    AccessController(const AccessControls& controls, FileManager& files, UserDefaults& defaults,
                     const Localization& texts, QObject* parent = nullptr);

    // Reads the grant and sets the face; the update answer may change it later.
    void checkSandbox();
    // Asks for the folder, stores the grant and checks again; a grant that could not be made
    // is reported in a message on the window.
    void choose();
    // Shows the help popover below the given control.
    void helpSandbox(QWidget* anchor);
    // Opens the page with the latest version.
    void updateApp();

    // The folder dialog by default; tests answer in its place.
    void setFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }
    AccessCheck& check() { return check_; }
    // The message about the last grant that could not be made, while it is open.
    QMessageBox* errorMessage() const { return errorMessage_; }

  signals:
    // After each face applied to the window, including the one the update answer brings.
    void faceApplied();

  private:
    void applyFace(const FaceChange& change);
    QStringList runFolderDialog() const;
    void presentError(const QString& reason);
    // The help's link to the support page, added when the help first opens.
    void addHelpLink();

    AccessControls controls_;
    FileManager& files_;
    const Localization& texts_;
    AccessCheck check_;
    FolderChooser chooser_;
    QPointer<QMessageBox> errorMessage_;
    bool helpLinkAdded_ = false;
};

}  // namespace qz
