// A browser's care module: the panel's controls, the presets, the periodic measurement through
// the size monitor and the size label. What differs between browsers comes from the browser's
// row of the table (PanelTraits).
#pragma once

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QSet>

#include "core/browsers/Browser.h"
#include "gui/panels/PanelControls.h"
#include "gui/panels/SegmentedControl.h"
#include "services/SizeMonitor.h"

namespace qz {

class CareRunController;
class FileManager;
class Localization;

// The browser's module on a panel, started.
class CareModule;
CareModule* createCareModule(BrowserId browser, const PanelControls& controls,
                             const SizeMonitor& sizes, FileManager& files);

class CareModule : public QObject {
    Q_OBJECT
  public:
    // The panel holds the controls; the module works on them and lives as long as the panel.
    // It measures through the size monitor; a care reads through the file manager.
    CareModule(BrowserId browser, const PanelControls& controls, const SizeMonitor& sizes,
               FileManager& files);

    // The start-up step (createCareModule runs it): the basic preset, the timers, the glow.
    void awakeFromNib();

    BrowserId browser() const { return browser_; }
    const PanelTraits& traits() const { return traits_; }
    QWidget* panel() const { return panel_; }
    // The check box of an item by its catalogue name ("historyS"); nullptr for an unknown one.
    QCheckBox* checkBox(const QString& item) const;
    // Every check box in the module's declaration order.
    QList<QCheckBox*> checkBoxes() const { return boxes_; }
    QAbstractButton* presetButton() const { return presetButton_; }
    QAbstractButton* careButton() const { return careButton_; }
    QProgressBar* indicator() const { return indicator_; }
    QLabel* resultField() const { return result_; }
    SegmentedControl* segment() const { return segment_; }
    QLabel* logo() const { return logo_; }
    QAbstractButton* updateButton() const { return update_; }
    // The information popover; nullptr once it is gone.
    QWidget* popover() const { return popover_; }
    void setPopover(QWidget* popover) { popover_ = popover; }

    // The items whose box is fully on (a mixed state does not count).
    QSet<QString> selectedItems() const;
    // The texts used for every caption and the size label (the shared table by default).
    void setTexts(const Localization& texts);
    const Localization& texts() const { return *texts_; }
    bool isMeasuring() const { return measuring_.busy(); }
    // The care run behind the care button: its sheets, its worker and the boxes' mirror.
    CareRunController* careRun() const { return careRun_; }

  public slots:
    // Measures the selected items on a worker and shows the figure when it arrives. A tick that
    // finds the previous measurement still running starts nothing.
    void measure();
    // Applies the preset of the selected segment and measures once; no selection does nothing.
    void applySelectedPreset();
    // Shows the information popover below the button that sent this.
    void showPoppver();
    // Opens the maker's help page at this browser's section.
    void openSupportPage();
    // The care button's action.
    void careAction();

  signals:
    // The size label has just been set to this total.
    void measured(quint64 total);

  private:
    // What a measurement of the current selection runs; none while the grant is missing.
    SizeSubscription::Job measuringJob();
    void applyPreset(int segment);
    void showTotal(quint64 total);
    void setCaptions();
    // The pop-up's heading: the browser's name and what the presets cover.
    void setPopoverText();
    // The panel's line under the preset control: which items the boxes select now.
    void showSelectionSummary();

    BrowserId browser_;
    const BrowserCatalogue& items_;  // the layout's items, one box each
    const PanelTraits& traits_;
    QWidget* panel_;
    const Localization* texts_;
    QList<QCheckBox*> boxes_;
    QAbstractButton* presetButton_ = nullptr;
    QAbstractButton* careButton_ = nullptr;
    QProgressBar* indicator_ = nullptr;
    QLabel* result_ = nullptr;
    SegmentedControl* segment_ = nullptr;
    QLabel* logo_ = nullptr;
    QLabel* caption_ = nullptr;  // the browser's name, where the panel has a line for it
    QLabel* summary_ = nullptr;  // what the selection covers, where the panel has a line
    QAbstractButton* update_ = nullptr;
    QPointer<QWidget> popover_;
    QLabel* popoverText_ = nullptr;
    bool remeasure_ = false;  // a preset changed the selection while a measurement ran
    SizeSubscription measuring_;
    CareRunController* careRun_ = nullptr;
};

}  // namespace qz
