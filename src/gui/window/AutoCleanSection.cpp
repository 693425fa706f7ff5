#include "gui/window/AutoCleanSection.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "core/care/AutoCleanChoice.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {
constexpr AutoCleanPreset kChoices[] = {AutoCleanPreset::Basic, AutoCleanPreset::Complete,
                                        AutoCleanPreset::Custom};
}  // namespace

AutoCleanSection::AutoCleanSection(const FileManager& files, UserDefaults& defaults,
                                   QWidget* parent)
    : QWidget(parent), defaults_(defaults), browsers_(installedBrowsers(files)) {
    const Localization& texts = Localization::shared();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 8, 0, 0);
    auto* title =
        new QLabel(QStringLiteral("<b>%1</b>")
                       .arg(texts.text(QStringLiteral("AutoCleanSection")).toHtmlEscaped()),
                   this);
    column->addWidget(title);
    auto* hint = new QLabel(texts.text(QStringLiteral("AutoCleanHint")), this);
    hint->setWordWrap(true);
    column->addWidget(hint);
    auto* rows = new QGridLayout;
    column->addLayout(rows);
    for (BrowserId browser : std::as_const(browsers_)) {
        const int row = rows->rowCount();
        auto* name = new QLabel(browserInfo(browser).displayName, this);
        auto* box = new QCheckBox(texts.text(QStringLiteral("AutoCleanBox")), this);
        auto* preset = new QComboBox(this);
        for (const char* key : {"segmentBasic", "segmentComplete", "segmentCustom"}) {
            preset->addItem(texts.text(QLatin1String(key)));
        }
        box->setAccessibleName(browserInfo(browser).displayName + u' ' + box->text());
        rows->addWidget(name, row, 0);
        rows->addWidget(box, row, 1);
        rows->addWidget(preset, row, 2);
        boxes_.insert(browser, box);
        presets_.insert(browser, preset);
        connect(box, &QCheckBox::toggled, this, [this, browser] { store(browser); });
        connect(preset, &QComboBox::currentIndexChanged, this, [this, browser] { store(browser); });
    }
    showStored();
}

void AutoCleanSection::showStored() {
    showing_ = true;
    const Settings settings(defaults_);
    for (BrowserId browser : std::as_const(browsers_)) {
        const std::optional<AutoCleanPreset> chosen = autoCleanChoice(browser, settings);
        boxes_[browser]->setChecked(chosen.has_value());
        presets_[browser]->setCurrentIndex(chosen ? static_cast<int>(*chosen) : 0);
        presets_[browser]->setEnabled(chosen.has_value());
    }
    showing_ = false;
}

void AutoCleanSection::showEvent(QShowEvent* event) {
    defaults_.synchronize();
    showStored();
    QWidget::showEvent(event);
}

void AutoCleanSection::store(BrowserId browser) {
    if (showing_) {
        return;
    }
    const bool on = boxes_[browser]->isChecked();
    const int index = presets_[browser]->currentIndex();
    presets_[browser]->setEnabled(on);
    Settings settings(defaults_);
    setAutoCleanChoice(
        browser, on && index >= 0 && index < 3 ? std::optional(kChoices[index]) : std::nullopt,
        settings);
    settings.synchronize();
}

}  // namespace qz
