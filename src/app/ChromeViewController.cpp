#include "app/ChromeViewController.h"

#include "care/modules/Chrome.h"
#include "ui_ChromeViewController.h"

namespace qz {

ChromeViewController::ChromeViewController(FileManager& files, QObject* parent)
    : PanelController(BrowserId::Chrome, files, parent) {}

CareModule* ChromeViewController::loadView(QWidget* panel, FileManager& files) {
    Ui::ChromeViewController ui;
    ui.setupUi(panel);
    return new Chrome(panel, files);
}

}  // namespace qz
