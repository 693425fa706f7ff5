#include "gui/panels/CareModule.h"

#include <QGraphicsDropShadowEffect>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "core/browsers/Catalogue.h"
#include "core/browsers/Presets.h"
#include "core/care/AccessGrant.h"
#include "core/care/SizeRules.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "gui/chrome/BundleImage.h"
#include "gui/chrome/PopupPlacement.h"
#include "gui/panels/CareRunController.h"
#include "services/AccessLinks.h"
#include "services/Executor.h"
#include "services/Workspace.h"

namespace qz {

CareModule* createCareModule(BrowserId browser, const PanelControls& controls,
                             const SizeMonitor& sizes, FileManager& files) {
    auto* module = new CareModule(browser, controls, sizes, files);
    module->awakeFromNib();
    return module;
}

CareModule::CareModule(BrowserId browser, const PanelControls& controls, const SizeMonitor& sizes,
                       FileManager& files)
    : QObject(controls.panel),
      browser_(browser),
      items_(catalogue(browser, files)),
      traits_(browserInfo(browser).panel),
      panel_(controls.panel),
      texts_(&Localization::shared()),
      boxes_(controls.boxes),
      presetButton_(controls.preset),
      careButton_(controls.care),
      indicator_(controls.indicator),
      result_(controls.result),
      segment_(controls.segment),
      logo_(controls.logo),
      caption_(controls.caption),
      summary_(controls.summary),
      update_(controls.update),
      popoverText_(controls.popoverText),
      files_(&files),
      measuring_(sizes, traits_.interval, [this] { return measuringJob(); }) {
    for (QCheckBox* box : boxes_) {
        box->setTristate(false);
        // A mixed state is only ever set by the program; a click from it lands on plain on/off.
        connect(box, &QCheckBox::stateChanged, box, [box](int state) {
            if (state != Qt::PartiallyChecked) {
                box->setTristate(false);
            }
        });
        connect(box, &QCheckBox::stateChanged, this, [this] {
            if (!applyingPreset_) {
                showSelectionSummary();  // a preset shows its summary once, when all boxes are set
            }
        });
        connect(box, &QCheckBox::stateChanged, this, &CareModule::storeCustomItems);
    }
    connect(segment_, &SegmentedControl::segmentClicked, this, &CareModule::applySelectedPreset);
    connect(careButton_, &QAbstractButton::clicked, this, &CareModule::careAction);
    if (controls.info) {
        connect(controls.info, &QAbstractButton::clicked, this, &CareModule::showPoppver);
    }
    if (controls.support) {
        connect(controls.support, &QAbstractButton::clicked, this, &CareModule::openSupportPage);
    }
    if (QWidget* popover = controls.popover) {
        // The panel carries the popover's content; it opens as a pop-up below its button.
        popover->setWindowFlags(Qt::Popup);
        popover->hide();
        popover_ = popover;
    }
    careRun_ = new CareRunController(*this, files);
    setCaptions();
}

QCheckBox* CareModule::checkBox(const QString& item) const {
    const qsizetype index = items_.declarationOrder.indexOf(item);
    return index < 0 || index >= boxes_.size() ? nullptr : boxes_[index];
}

QSet<QString> CareModule::selectedItems() const {
    QSet<QString> selected;
    for (QCheckBox* box : boxes_) {
        if (box->checkState() == Qt::Checked) {
            selected.insert(box->objectName());
        }
    }
    return selected;
}

void CareModule::setTexts(const Localization& texts) {
    texts_ = &texts;
    setCaptions();
}

void CareModule::measure() {
    measuring_.tick();
}

SizeSubscription::Job CareModule::measuringJob() {
    if (traits_.needsGrant && !accessGranted(UserDefaults::standard())) {
        return {};  // without the grant the label keeps what it shows
    }
    // The job carries this module only into the answer, which runs while the module lives.
    return [this, browser = browser_, selection = selectedItems()](
               const FileManager& files, FolderSizes& sizes) -> std::function<void()> {
        const quint64 total = measureSelection(browser, selection, files, &sizes);
        return [this, total] { showTotal(total); };
    };
}

void CareModule::applySelectedPreset() {
    const int segment = segment_->selectedSegment();
    if (!presetForSegment(segment)) {
        return;
    }
    applyPreset(segment);
    if (measuring_.busy()) {
        remeasure_ = true;  // the running figure belongs to the old selection
    } else {
        measure();
    }
}

void CareModule::showPoppver() {
    QWidget* popover = popover_;
    if (!popover) {
        return;
    }
    setPopoverText();
    auto* anchor = qobject_cast<QWidget*>(sender());
    showPopup(popover, anchor ? anchor : panel_, PopupAlignment::Left);
    measureItems();
}

void CareModule::measureItems() {
    if (traits_.needsGrant && !accessGranted(UserDefaults::standard())) {
        return;  // without the grant the boxes keep their plain captions
    }
    const auto job = [browser = browser_, files = FileManager(*files_)] {
        QHash<QString, quint64> sizes;
        ProfileLookup profiles(files);
        for (const CareItem& item : catalogue(browser, files).items) {
            sizes.insert(item.name, measureItem(item, files, profiles));
        }
        return sizes;
    };
    Executor::submit(Executor::Queue::Measuring, job, this,
                     [this](const QHash<QString, quint64>& sizes) { showItemSizes(sizes); });
}

void CareModule::showItemSizes(const QHash<QString, quint64>& sizes) {
    for (QCheckBox* box : boxes_) {
        const auto size = sizes.constFind(box->objectName());
        if (size == sizes.cend()) {
            continue;
        }
        const QString caption = texts_->format(box->objectName());
        box->setText(texts_
                         ->format(QStringLiteral("ItemWithSize"),
                                  {caption, convertSizeToString(*size, *texts_)})
                         .replace(u'&', QStringLiteral("&&")));
    }
    emit itemsMeasured();
}

void CareModule::openSupportPage() {
    Workspace::openURL(dictionaryUrl(browser_));
}

void CareModule::careAction() {
    careRun_->careAction();
}

void CareModule::awakeFromNib() {
    indicator_->setHidden(true);
    segment_->setSelectedSegment(0);
    if (segment_->selectedSegment() == 0) {
        applyPreset(0);
    }
    measuring_.start(/*runAtOnce=*/traits_.firstMeasurementAtOnce);
    if (!traits_.firstMeasurementAtOnce) {
        QTimer::singleShot(TimeScale::milliseconds(0), this, &CareModule::measure);
    }
}

void CareModule::applyPreset(int segment) {
    const std::optional<Preset> preset = presetForSegment(segment);
    if (!preset) {
        return;
    }
    applyingPreset_ = true;
    for (QCheckBox* box : boxes_) {
        box->setCheckState(presetState(items_, segment, box->objectName()) == 1 ? Qt::Checked
                                                                                : Qt::Unchecked);
        box->setEnabled(preset->boxesEnabled);
    }
    applyingPreset_ = false;
    showSelectionSummary();
    presetButton_->setIcon(bundleImage(preset->image));
}

void CareModule::storeCustomItems() {
    if (applyingPreset_ || segment_->selectedSegment() != 2) {
        return;
    }
    QStringList items = selectedItems().values();
    std::sort(items.begin(), items.end());
    Settings settings(UserDefaults::standard());
    settings.setCustomItems(browserInfo(browser_).key, items);
    settings.synchronize();
}

void CareModule::showTotal(quint64 total) {
    if (remeasure_) {
        remeasure_ = false;
        measure();
        return;
    }
    result_->setText(texts_->format(QStringLiteral("%@"), {convertSizeToString(total, *texts_)}));
    if (traits_.redShadow && !result_->graphicsEffect()) {
        // With the first figure, a soft red glow just below it (the blur is not drawn before
        // there is a figure to glow). The given shadow (ten points down, blur 30) lands on the
        // preset control under the label here and reads as a smeared copy.
        auto* shadow = new QGraphicsDropShadowEffect(result_);
        shadow->setColor(QColor(255, 0, 0, 150));
        shadow->setOffset(0, 2);
        shadow->setBlurRadius(12);
        result_->setGraphicsEffect(shadow);
    }
    emit measured(total);
}

void CareModule::setCaptions() {
    for (QCheckBox* box : boxes_) {
        // "Cookies & Site Data": a lone "&" would turn into a shortcut underline.
        box->setText(texts_->format(box->objectName()).replace(u'&', QStringLiteral("&&")));
        // The help line says what goes, for the items that have one.
        const QString helpKey = box->objectName() + QStringLiteral("Help");
        const QString help = texts_->text(helpKey);
        box->setToolTip(help == helpKey ? QString() : help);
    }
    segment_->setLabel(0, texts_->format(QStringLiteral("segmentBasic")));
    segment_->setLabel(1, texts_->format(QStringLiteral("segmentComplete")));
    segment_->setLabel(2, texts_->format(QStringLiteral("segmentCustom")));
    careButton_->setText(texts_->format(QStringLiteral("careButton")));
    // The panel, its emblem and its pop-up say which browser they are about.
    const QString name = browserInfo(browser_).displayName;
    for (QWidget* named : {static_cast<QWidget*>(logo_), static_cast<QWidget*>(caption_)}) {
        if (named) {
            named->setToolTip(name);
        }
    }
    if (caption_) {
        caption_->setText(name);
        caption_->show();
    }
    showSelectionSummary();
}

void CareModule::setPopoverText() {
    // Set as the pop-up opens: laid out while hidden, its rich text would cost the first frame.
    if (QLabel* text = popoverText_) {
        text->setText(QStringLiteral("<b>%1</b><br>%2")
                          .arg(browserInfo(browser_).displayName.toHtmlEscaped(),
                               texts_->format(QStringLiteral("presetInfo")).toHtmlEscaped()));
    }
}

void CareModule::showSelectionSummary() {
    if (!summary_) {
        return;
    }
    QStringList items;
    for (QCheckBox* box : boxes_) {
        if (box->checkState() != Qt::Unchecked) {
            items.append(texts_->format(box->objectName()));
        }
    }
    QString line = items.join(QStringLiteral(", "));
    if (items.isEmpty()) {
        line = texts_->text(QStringLiteral("summaryNone"));
    } else if (items.size() == boxes_.size()) {
        line = texts_->text(QStringLiteral("summaryAll"));
    }
    summary_->setToolTip(items.join(u'\n'));
    summary_->setText(summary_->fontMetrics().elidedText(line, Qt::ElideRight, summary_->width()));
    summary_->show();
}

}  // namespace qz
