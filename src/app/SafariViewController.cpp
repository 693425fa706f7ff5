#include "app/SafariViewController.h"

#include "care/modules/Safari.h"
#include "ui_SafariViewController.h"

namespace qz {

SafariViewController::SafariViewController(FileManager& files, QObject* parent)
    : PanelController(BrowserId::Safari, files, parent) {}

CareModule* SafariViewController::loadView(QWidget* panel, FileManager& files) {
    Ui::SafariViewController ui;
    ui.setupUi(panel);
    return new Safari(panel, files);
}

}  // namespace qz
