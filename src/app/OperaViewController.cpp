#include "app/OperaViewController.h"

#include "care/modules/Opera.h"
#include "ui_OperaViewController.h"

namespace qz {

OperaViewController::OperaViewController(FileManager& files, QObject* parent)
    : PanelController(BrowserId::Opera, files, parent) {}

CareModule* OperaViewController::loadView(QWidget* panel, FileManager& files) {
    Ui::OperaViewController ui;
    ui.setupUi(panel);
    return new Opera(panel, files);
}

}  // namespace qz
