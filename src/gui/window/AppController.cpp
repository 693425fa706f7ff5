#include "gui/window/AppController.h"

#include <algorithm>

#include "core/fs/FileManager.h"
#include "gui/panels/CareModule.h"
#include "gui/window/PreferencesWindowController.h"
#include "services/AccessLinks.h"

namespace qz {

QRect AppController::slotFrame(int slot) {
    const int column = slot % kColumns;
    const int x = column == 0 ? 0 : kFirstPanelWidth + kPanelWidth * (column - 1);
    return {x, kSlotTop + (kSlotTop + kPanelHeight) * (slot / kColumns),
            column == 0 ? kFirstPanelWidth : kPanelWidth, kPanelHeight};
}

QSize AppController::panelsSize(int n) {
    const int columns = std::clamp(n, 1, kColumns);
    const int rows = std::max(1, (n + kColumns - 1) / kColumns);
    return {slotFrame(columns - 1).right() + 1, slotFrame((rows - 1) * kColumns).bottom() + 1};
}

AppController::AppController(FileManager& files, const SizeMonitor& sizes,
                             const QList<QWidget*>& slotViews, QObject* parent)
    : QObject(parent), files_(files), sizes_(sizes) {
    for (QWidget* slotView : slotViews) {
        slots_.append(slotView);
        placed_.append(std::nullopt);
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
    openAccessHelp(files_.layout());
}

QList<QWidget*> AppController::slotViews() const {
    QList<QWidget*> views;
    for (const QPointer<QWidget>& slotView : slots_) {
        views.append(slotView);
    }
    return views;
}

PanelController* AppController::panelController(BrowserId browser) const {
    return controllers_[static_cast<size_t>(browser)];
}

CareModule* AppController::module(BrowserId browser) const {
    PanelController* controller = panelController(browser);
    return controller && controller->isViewLoaded() ? controller->module() : nullptr;
}

std::optional<BrowserId> AppController::browserInSlot(int slot) const {
    return placed_.value(slot);
}

void AppController::place(PanelController* controller, int slot) {
    QWidget* slotView = slots_[slot];
    if (!controller || !slotView) {
        return;
    }
    QWidget* panel = controller->view();
    panel->setParent(slotView);
    const int width = slotFrame(slot).width();
    controller->setPanelWidth(width);
    panel->setGeometry(0, 0, width, kPanelHeight);
    panel->show();
    placed_[slot] = controller->browser();
}

}  // namespace qz
