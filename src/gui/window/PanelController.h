// A browser panel's controller: builds the one panel interface file (BrowserPanel.ui) for its
// browser on first use, adding the check boxes from the catalogue, and with it the browser's care
// module and logo controller, which get the panel's controls as typed pointers. A panel that is
// never placed is never loaded.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>

#include "core/browsers/Browser.h"

namespace Ui {
class BrowserPanel;
}

namespace qz {

class CareModule;
class CustomLogo;
class FileManager;
class SizeMonitor;

class PanelController : public QObject {
    Q_OBJECT
  public:
    static constexpr int kPanelHeight = 250;

    // The module and the logo measure through the size monitor, which must outlive this.
    PanelController(BrowserId browser, FileManager& files, const SizeMonitor& sizes,
                    QObject* parent = nullptr);
    ~PanelController() override;

    BrowserId browser() const { return browser_; }
    // The panel, loaded on the first call.
    QWidget* view();
    bool isViewLoaded() const { return !view_.isNull(); }
    // The care module of a loaded panel; nullptr before.
    CareModule* module() const { return module_; }
    // The logo controller of a loaded panel; nullptr before.
    CustomLogo* logoController() const { return logo_; }
    // Places the width-dependent controls for a panel of that width (175 or 200).
    void setPanelWidth(int width);

    // The browser's name line and the line saying what the selection covers (filled by the
    // care module).
    QWidget* caption() const;

  private:
    void loadView(QWidget* panel);

    BrowserId browser_;
    FileManager& files_;
    const SizeMonitor& sizes_;
    QPointer<QWidget> view_;
    std::unique_ptr<Ui::BrowserPanel> ui_;  // the loaded panel's controls
    CareModule* module_ = nullptr;
    CustomLogo* logo_ = nullptr;
};

}  // namespace qz
