// The main window's controller: owns one panel controller per browser of the layout and places
// one panel per installed browser into the window's slot views, in rows of four.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>

#include "gui/window/PanelController.h"

namespace qz {

class CareModule;
class FileManager;
class ImageFactory;
class PreferencesWindowController;
class SizeMonitor;

class AppController : public QObject {
    Q_OBJECT
  public:
    static constexpr int kFirstPanelWidth = 200;
    static constexpr int kPanelWidth = 175;
    static constexpr int kPanelHeight = PanelController::kPanelHeight;
    static constexpr int kColumns = 4;  // panels side by side; more flow into the rows below
    static constexpr int kSlotTop = 8;  // the space above each row of panels

    // Slot `slot`'s frame among the panels: its row and column, the first column wider.
    static QRect slotFrame(int slot);
    // What n panels take: as many rows as they fill.
    static QSize panelsSize(int n);

    // The slot views in their order, one per browser the window can show. The panels measure
    // through the size monitor, which must outlive this.
    AppController(FileManager& files, const SizeMonitor& sizes, const QList<QWidget*>& slotViews,
                  QObject* parent = nullptr);
    ~AppController() override;

    // Creates the panel controllers and places the installed browsers' panels.
    void awakeFromNib();

    // The slot views, first to last.
    QList<QWidget*> slotViews() const;

    // The browser's panel controller; nullptr for a browser the layout does not have.
    PanelController* panelController(BrowserId browser) const;
    // The care module of a placed panel; nullptr when the browser's panel is not placed.
    CareModule* module(BrowserId browser) const;
    // The browser whose panel sits in a slot; nothing when the slot is empty or not there.
    std::optional<BrowserId> browserInSlot(int slot) const;

    // What the preferences window is built with when it is first asked for: the size alert
    // that fills the threshold pop-up, and the delegate's own preference controls.
    void setImageFactory(ImageFactory* imageFactory) { imageFactory_ = imageFactory; }
    void setPreferenceControls(QWidget* controls) { preferenceControls_ = controls; }
    // The preferences window; nullptr until it is first asked for.
    PreferencesWindowController* preferencesWindow() const { return preferences_.get(); }

  public slots:
    // Opens the support page's section on folder access.
    void supportSandbox();
    // The link actions: social page, blog, web site, support page, rating page.
    void twitter();
    void blog();
    void website();
    void support();
    void review();
    // Creates the preferences window on first use and shows it; later calls show the same one.
    void preferences();
    // Shows the About panel without its scroller.
    void orderFrontCustomAboutPanel();

  private:
    void place(PanelController* controller, int slot);

    FileManager& files_;
    const SizeMonitor& sizes_;
    QList<QPointer<QWidget>> slots_;
    QList<std::optional<BrowserId>> placed_;
    std::array<PanelController*, kBrowserCount> controllers_{};
    std::unique_ptr<PreferencesWindowController> preferences_;
    ImageFactory* imageFactory_ = nullptr;
    QPointer<QWidget> preferenceControls_;
};

}  // namespace qz
