#include "gui/window/PanelController.h"

#include <QCheckBox>
#include <QLayout>

#include "core/browsers/Catalogue.h"
#include "core/monitor/LogoLevels.h"
#include "gui/chrome/Frames.h"
#include "gui/chrome/ImageView.h"
#include "gui/panels/CareModule.h"
#include "gui/panels/PanelControls.h"
#include "gui/panels/SegmentedControl.h"
#include "gui/tray/CustomLogo.h"
#include "ui_BrowserPanel.h"

namespace qz {

PanelController::PanelController(BrowserId browser, FileManager& files, const SizeMonitor& sizes,
                                 QObject* parent)
    : QObject(parent), browser_(browser), files_(files), sizes_(sizes) {}

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
    ui_ = std::make_unique<Ui::BrowserPanel>();
    ui_->setupUi(panel);
    ui_->presetSummary->setFont(SegmentedControl::smallFont(ui_->presetSummary->font()));
    const BrowserInfo& info = browserInfo(browser_);
    panel->setObjectName(info.moduleClass + QStringLiteral("Panel"));
    ui_->logo->setImageName(QStringLiteral("emblem") + info.moduleClass);
    // The logo and its update button start at the smallest level's frames.
    const LogoFrames frames = logoFrames(browser_, 0);
    ui_->logo->setGeometry(toQtFrame(frames.logo, kPanelHeight));
    ui_->update->setGeometry(toQtFrame(frames.button, kPanelHeight));
    // The largest logos reach the browser's name and summary; the picture stays below them.
    ui_->logo->setClearAbove(ui_->presetSummary->geometry().bottom() + 1);
    PanelControls controls{.panel = panel,
                           .segment = ui_->segment,
                           .preset = ui_->preset,
                           .care = ui_->care,
                           .indicator = ui_->indicator,
                           .result = ui_->result,
                           .caption = ui_->caption,
                           .summary = ui_->presetSummary,
                           .info = ui_->info,
                           .support = ui_->support,
                           .popover = ui_->popover,
                           .popoverText = ui_->popoverText,
                           .logo = ui_->logo,
                           .update = ui_->update};
    for (const QString& item : catalogue(browser_, files_).declarationOrder) {
        auto* box = new QCheckBox(item, ui_->items);
        box->setObjectName(item);  // the item the box stands for, as tests and tools see it
        ui_->itemsLayout->addWidget(box);
        controls.boxes.append(box);
    }
    module_ = createCareModule(browser_, controls, sizes_, files_);
    logo_ = createLogoController(browser_, controls, sizes_, files_);
}

void PanelController::setPanelWidth(int width) {
    view()->resize(width, kPanelHeight);
    // Widths keep the margins the interface file gives for a 175-wide panel.
    const auto stretch = [width](QWidget* control, int left, int right) {
        const QRect r = control->geometry();
        control->setGeometry(left, r.y(), width - left - right, r.height());
    };
    ui_->support->move(width - 26, ui_->support->y());
    stretch(ui_->caption, 26, 26);
    stretch(ui_->presetSummary, 4, 4);
    stretch(ui_->result, 0, 0);
    const QRect segment = ui_->segment->geometry();
    ui_->segment->setGeometry(segment.x(), segment.y(), width - 16, segment.height());
    if (module_) {
        QWidget* care = module_->careButton();
        care->move(width - 80, care->y());
    }
}

QWidget* PanelController::caption() const {
    return view_ ? ui_->caption : nullptr;
}

}  // namespace qz
