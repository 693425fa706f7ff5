#include "app/FirefoxViewController.h"

#include "care/modules/Firefox.h"
#include "ui_FirefoxViewController.h"

namespace qz {

FirefoxViewController::FirefoxViewController(FileManager& files, QObject* parent)
    : PanelController(BrowserId::Firefox, files, parent) {}

CareModule* FirefoxViewController::loadView(QWidget* panel, FileManager& files) {
    Ui::FirefoxViewController ui;
    ui.setupUi(panel);
    return new Firefox(panel, files);
}

}  // namespace qz
