#include "app/AppController.h"

#include "app/PreferencesWindowController.h"
#include "app/access/AccessLinks.h"
#include "care/modules/CareModule.h"
#include "platform/FileManager.h"

namespace qz {

AppController::AppController(FileManager& files, const std::array<QWidget*, 4>& slotViews,
                             QObject* parent)
    : QObject(parent), files_(files) {
    for (size_t i = 0; i < slotViews.size(); ++i) {
        slots_[i] = slotViews[i];
    }
}

AppController::~AppController() = default;

void AppController::awakeFromNib() {
    ourViewControllerSafari_ = new SafariViewController(files_, this);
    ourViewControllerFirefox_ = new FirefoxViewController(files_, this);
    ourViewControllerChrome_ = new ChromeViewController(files_, this);
    ourViewControllerOpera_ = new OperaViewController(files_, this);

    const QList<BrowserId> installed = installedBrowsers(files_);
    if (!installed.contains(BrowserId::Safari)) {
        return;  // without Safari no panel is shown at all
    }
    int slot = 0;
    for (BrowserId browser : installed) {
        place(panelController(browser), slot++);
    }
}

void AppController::supportSandbox() {
    openAccessHelp();
}

QList<QWidget*> AppController::slotViews() const {
    return {slots_[0], slots_[1], slots_[2], slots_[3]};
}

PanelController* AppController::panelController(BrowserId browser) const {
    switch (browser) {
        case BrowserId::Safari:
            return ourViewControllerSafari_;
        case BrowserId::Firefox:
            return ourViewControllerFirefox_;
        case BrowserId::Chrome:
            return ourViewControllerChrome_;
        case BrowserId::Opera:
            return ourViewControllerOpera_;
    }
    return nullptr;
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
    panel->setGeometry(0, 0, width, kPanelHeight);
    panel->show();
    placed_[slot] = controller->browser();
}

}  // namespace qz
