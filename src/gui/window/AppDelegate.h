// The application's delegate: builds and styles the main window, runs the launch sequence,
// brings the window back on reopen and owns the window's own controls (outlets).
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <memory>

#include "gui/chrome/ImageView.h"
#include "gui/chrome/TitleBarWindow.h"
#include "gui/window/AppController.h"

namespace qz {

class AccessController;
class FileManager;
class Share;
class SizeMonitor;
class addItem;

class AppDelegate : public QObject {
    Q_OBJECT
  public:
    static constexpr int kContentHeight = 258;  // one row of panels

    // The panels measure through the size monitor, which must outlive the delegate.
    AppDelegate(FileManager& files, const SizeMonitor& sizes, QObject* parent = nullptr);
    ~AppDelegate() override;

    TitleBarWindow* window() const { return window_; }

    // Styles the window and applies the settings; runs once after the window is built.
    void awakeFromNib();
    // The launch sequence: access check, window size, title bar, first-launch welcome.
    void applicationDidFinishLaunching();
    // The user started the program again while it runs. Always true.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    // A later start: the reopen step, then the main window comes forward whatever its state
    // (hidden, minimised or covered).
    void reopen();
    // The program is about to end.
    void applicationWillTerminate();
    // "<Application Support>/DIZEROV", created when missing.
    QString quenzelApplicationSupportFolder() const;

    // Reads the folder grant and sets the window's face (access request, panels or update
    // notice); the update check's answer may change the face later.
    void checkSandbox();
    // Shows the access faces, asks for the folder and shows the access help.
    AccessController* access() const { return access_; }
    // Resizes the window for n placed panels (rows of four) within the room its screen leaves
    // and re-centres the access and update controls; 0 leaves the window as it is.
    void layoutForBrowserCount(int n);
    // The content for panels of that size: all of them when they fit the room (the height the
    // screen leaves below the title bar), else that room, at least one row, with the scroll bar
    // beside the panels.
    static QSize contentSizeFor(const QSize& panels, int room, int scrollBarWidth);
    // The panels' area, scrolled when they are taller than the window.
    QScrollArea* panelArea() const { return panelArea_; }
    // YES puts the main window in the task bar and the task switcher (our Dock icon); NO does
    // nothing, since a running program keeps its icon until it ends.
    void setShowsDockIcon(bool shows);
    bool showsDockIcon() const { return showsDockIcon_; }
    // A background start leaves the window and the first-launch welcome for later.
    void setStartsInBackground(bool background) { startsInBackground_ = background; }
    // Writes the enabled state to "quenzel".
    void updateEnabledStatus();

  public slots:
    // The title bar's history button; the care-history popover is attached here.
    void historyPressed();
    // Opens the welcome window; the window itself is attached here.
    void welcomeVideo();
    // chooseHD's action: asks for the folder and stores the grant.
    void choose();
    // helpSandbox's action: the access help below the button.
    void helpSandboxPressed();
    // btnUpdate's action: opens the page with the latest version.
    void updateApp();
    // loginCheck's action: registers or unregisters the login item as the box asks.
    void openatlogin();
    // dockIconCheckbox's action: stores the choice; turning it off takes effect next launch.
    void toggleDockIcon();
    // Flips the enabled state and stores it.
    void toggleEnabledStatus();
    // The rating prompt's buttons: open the rating page or a mail, then close the prompt.
    void vota();
    void emailvota();
    // Brings the main window to the front.
    void open();
    // Opens the share window, made on first use and kept.
    void showShare();

  public:
    // The window's own controls (outlets), named as the rest of the program knows them; read
    // only from outside.
    QCheckBox* dockIconCheckbox() const { return dockIconCheckbox_; }
    bool shadyEnabled() const { return shadyEnabled_; }
    QLabel* avvisoIcon() const { return avvisoIcon_; }
    QWidget* splash() const { return splash_; }
    QLabel* grazie() const { return grazie_; }
    QLabel* info() const { return info_; }
    QLabel* note() const { return note_; }
    AppController* vista() const { return vista_; }
    QPushButton* chooseHD() const { return chooseHD_; }
    QToolButton* helpSandbox() const { return helpSandbox_; }
    ImageView* imageSandbox() const { return imageSandbox_; }
    QLabel* titleHelpSandbox() const { return titleHelpSandbox_; }
    QLabel* textHelpSandbox() const { return textHelpSandbox_; }
    QLabel* textUpdate() const { return textUpdate_; }
    QPushButton* btnUpdate() const { return btnUpdate_; }
    QCheckBox* loginCheck() const { return loginCheck_; }
    // The welcome window and the care-history popover, made on first use.
    QWidget* welcome() const { return welcome_; }
    QWidget* popover() const { return popover_; }
    // The care history store, set up with the window.
    addItem* myAddSheet() const { return myAddSheet_; }
    QWidget* popoverSandbox() const { return popoverSandbox_; }
    // The title bar's picture and history button.
    ImageView* titleImage() const { return titleImage_; }
    QToolButton* historyButton() const { return historyButton_; }
    // The rating prompt's buttons.
    QPushButton* votaButton() const { return votaButton_; }
    QPushButton* emailvotaButton() const { return emailvotaButton_; }

  protected:
    // Watches the window manager closing the main window.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildWindow();
    void buildSecondaryWidgets();
    void decorateTitleBar();
    // The title picture in the bar's middle, the history button at its right end.
    void placeTitleBarItems();
    // The first close ever, while Quenzel keeps running: one notification says so.
    void tellOnceThatQuenzelKeepsRunning();
    void buildShellControls();
    void welcomeShown();

    FileManager& files_;
    const SizeMonitor& sizes_;
    TitleBarWindow* window_ = nullptr;
    QScrollArea* panelArea_ = nullptr;
    QCheckBox* dockIconCheckbox_ = nullptr;
    bool shadyEnabled_ = true;
    QLabel* avvisoIcon_ = nullptr;
    QPointer<QWidget> splash_;  // a child of the window, which may go first
    QLabel* grazie_ = nullptr;
    QLabel* info_ = nullptr;
    QLabel* note_ = nullptr;
    AppController* vista_ = nullptr;
    QPushButton* chooseHD_ = nullptr;
    QToolButton* helpSandbox_ = nullptr;
    ImageView* imageSandbox_ = nullptr;
    QLabel* titleHelpSandbox_ = nullptr;
    QLabel* textHelpSandbox_ = nullptr;
    QLabel* textUpdate_ = nullptr;
    QPushButton* btnUpdate_ = nullptr;
    QCheckBox* loginCheck_ = nullptr;
    QPointer<QWidget> welcome_;
    QPointer<QWidget> popover_;
    addItem* myAddSheet_ = nullptr;
    QPointer<QWidget> popoverSandbox_;
    ImageView* titleImage_ = nullptr;
    QToolButton* historyButton_ = nullptr;
    QPointer<QWidget> titleBar_;  // watched for its size; compared only, never called while going
    QPushButton* votaButton_ = nullptr;
    QPushButton* emailvotaButton_ = nullptr;
    QPointer<QWidget> preferencesPane_;  // holds the preference controls until their window
    bool showsDockIcon_ = false;
    bool startsInBackground_ = false;
    AccessController* access_ = nullptr;
    std::unique_ptr<Share> share_;
};

}  // namespace qz
