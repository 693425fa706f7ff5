// The main-window controller's actions: links, the preferences window and the About panel.
#include "core/settings/UserDefaults.h"
#include "gui/extras/AboutPanelController.h"
#include "gui/window/AppController.h"
#include "gui/window/AutoCleanSection.h"
#include "gui/window/KeepCookiesSection.h"
#include "gui/window/PreferencesWindowController.h"
#include "services/AccessLinks.h"

namespace qz {

void AppController::twitter() {
    openEndpoint(Endpoint::SocialPage);
}

void AppController::blog() {
    openEndpoint(Endpoint::Blog);
}

void AppController::website() {
    openEndpoint(Endpoint::WebSite);
}

void AppController::support() {
    openEndpoint(Endpoint::SupportPage);
}

void AppController::review() {
    openEndpoint(Endpoint::RatingPage);
}

void AppController::preferences() {
    if (!preferences_) {
        preferences_ =
            std::make_unique<PreferencesWindowController>(imageFactory_, preferenceControls_);
        preferences_->addSection(new AutoCleanSection(files_, UserDefaults::standard()));
        preferences_->addSection(new KeepCookiesSection(files_, UserDefaults::standard()));
    }
    preferences_->showWindow();
}

void AppController::orderFrontCustomAboutPanel() {
    AboutPanelController::sharedInstance()->setShowsScroller(false);
    AboutPanelController::sharedInstance()->showPanel();
}

}  // namespace qz
