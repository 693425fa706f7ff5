#include "app/PanelController.h"

#include "care/modules/CareModule.h"
#include "monitor/ui/CustomLogo.h"

namespace qz {

PanelController::PanelController(BrowserId browser, FileManager& files, QObject* parent)
    : QObject(parent), browser_(browser), files_(files) {}

PanelController::~PanelController() {
    if (view_ && !view_->parent()) {
        delete view_;  // loaded but never placed into a slot
    }
}

QWidget* PanelController::view() {
    if (!view_) {
        auto* panel = new QWidget;
        module_ = loadView(panel, files_);
        logo_ = createLogoController(browser_, panel, files_);
        view_ = panel;
    }
    return view_;
}

}  // namespace qz
