// A browser panel's controller: builds the one panel interface file (BrowserPanel.ui) for its
// browser on first use, naming the controls and adding the check boxes from the browser table
// and the catalogue, and with it the browser's care module and logo controller. A panel that is
// never placed is never loaded.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "core/browsers/Browser.h"

namespace qz {

class CareModule;
class CustomLogo;
class FileManager;

class PanelController : public QObject {
    Q_OBJECT
  public:
    static constexpr int kPanelHeight = 250;

    PanelController(BrowserId browser, FileManager& files, QObject* parent = nullptr);
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
    QPointer<QWidget> view_;
    CareModule* module_ = nullptr;
    CustomLogo* logo_ = nullptr;
};

}  // namespace qz
