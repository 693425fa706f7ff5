#include "gui/window/AppController.h"

#include "core/fs/FileManager.h"
#include "gui/panels/CareModule.h"
#include "gui/window/PreferencesWindowController.h"
#include "services/AccessLinks.h"

namespace qz {

AppController::AppController(FileManager& files, const SizeMonitor& sizes,
                             const std::array<QWidget*, 4>& slotViews, QObject* parent)
    : QObject(parent), files_(files), sizes_(sizes) {
    for (size_t i = 0; i < slotViews.size(); ++i) {
        slots_[i] = slotViews[i];
    }
}

AppController::~AppController() = default;

void AppController::awakeFromNib() {
    for (BrowserId browser : layoutBrowsers(files_.layout())) {
        controllers_[static_cast<size_t>(browser)] =
            new PanelController(browser, files_, sizes_, this);
    }
    // On macOS nothing is placed without Safari; on Linux every installed browser is.
    int slot = 0;
    for (BrowserId browser : panelBrowsers(files_)) {
        if (slot < static_cast<int>(slots_.size())) {
            place(panelController(browser), slot++);
        }
    }
}

void AppController::supportSandbox() {
    openAccessHelp();
}

QList<QWidget*> AppController::slotViews() const {
    return {slots_[0], slots_[1], slots_[2], slots_[3]};
}

PanelController* AppController::panelController(BrowserId browser) const {
    return controllers_[static_cast<size_t>(browser)];
}

CareModule* AppController::module(BrowserId browser) const {
    PanelController* controller = panelController(browser);
    return controller && controller->isViewLoaded() ? controller->module() : nullptr;
}

std::optional<BrowserId> AppController::browserInSlot(int slot) const {
    return (slot >= 0 && slot < 4) ? placed_[slot] : std::nullopt;
}

void AppController::place(PanelController* controller, int slot) {
    QWidget* slotView = slots_[slot];
    if (!controller || !slotView) {
        return;
    }
    QWidget* panel = controller->view();
    panel->setParent(slotView);
    const int width = slot == 0 ? kFirstPanelWidth : kPanelWidth;
    controller->setPanelWidth(width);
    panel->setGeometry(0, 0, width, kPanelHeight);
    panel->show();
    placed_[slot] = controller->browser();
}

}  // namespace qz
