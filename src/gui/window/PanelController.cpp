#include "gui/window/PanelController.h"

#include <QCheckBox>
#include <QLayout>

#include "core/browsers/Catalogue.h"
#include "core/monitor/LogoLevels.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/ImageView.h"
#include "gui/panels/CareModule.h"
#include "gui/tray/CustomLogo.h"
#include "ui_BrowserPanel.h"

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
        loadView(panel);
        view_ = panel;
    }
    return view_;
}

void PanelController::loadView(QWidget* panel) {
    Ui::BrowserPanel ui;
    ui.setupUi(panel);
    const BrowserInfo& info = browserInfo(browser_);
    const PanelTraits& traits = info.panel;
    panel->setObjectName(info.moduleClass + QStringLiteral("Panel"));
    // The controls take the names the browser's module and logo controller look for.
    ui.logo->setObjectName(traits.logo);
    ui.logo->setImageName(QStringLiteral("emblem") + info.moduleClass);
    ui.preset->setObjectName(traits.presetButton);
    ui.indicator->setObjectName(traits.indicator);
    ui.care->setObjectName(traits.careButton);
    // The logo and its update button start at the smallest level's frames.
    const LogoFrames frames = logoFrames(browser_, 0);
    ui.logo->setGeometry(toQtFrame(frames.logo, kPanelHeight));
    ui.update->setGeometry(toQtFrame(frames.button, kPanelHeight));
    for (const QString& item : catalogue(browser_).declarationOrder) {
        auto* box = new QCheckBox(item, ui.items);
        box->setObjectName(item);
        ui.items->layout()->addWidget(box);
    }
    module_ = createCareModule(browser_, panel, files_);
    logo_ = createLogoController(browser_, panel, files_);
}

void PanelController::setPanelWidth(int width) {
    QWidget* panel = view();
    panel->resize(width, kPanelHeight);
    const auto place = [panel](const char* name, auto&& geometry) {
        if (auto* control = panel->findChild<QWidget*>(QLatin1String(name))) {
            control->setGeometry(geometry(control->geometry()));
        }
    };
    // Widths keep the margins the interface file gives for a 175-wide panel.
    const auto margins = [width](int left, int right) {
        return [=](QRect r) { return QRect(left, r.y(), width - left - right, r.height()); };
    };
    place("support", [width](QRect r) { return r.translated(width - 26 - r.x(), 0); });
    place("caption", margins(26, 26));
    place("presetSummary", margins(4, 4));
    place("result", margins(0, 0));
    place("segment", [width](QRect r) { return QRect(r.x(), r.y(), width - 16, r.height()); });
    if (module_) {
        QWidget* care = module_->careButton();
        care->move(width - 80, care->y());
    }
}

QWidget* PanelController::caption() const {
    return view_ ? view_->findChild<QWidget*>(QStringLiteral("caption")) : nullptr;
}

}  // namespace qz
