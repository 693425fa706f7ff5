// A browser panel's controller: loads the panel's interface file on first use, and with it the
// browser's care module. A panel that is never placed is never loaded.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "care/Browser.h"

namespace qz {

class CareModule;
class CustomLogo;
class FileManager;

class PanelController : public QObject {
    Q_OBJECT
  public:
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

  protected:
    // Builds the panel from its interface file and creates its care module.
    virtual CareModule* loadView(QWidget* panel, FileManager& files) = 0;

  private:
    BrowserId browser_;
    FileManager& files_;
    QPointer<QWidget> view_;
    CareModule* module_ = nullptr;
    CustomLogo* logo_ = nullptr;
};

}  // namespace qz
