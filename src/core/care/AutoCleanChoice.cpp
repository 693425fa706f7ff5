#include "core/care/AutoCleanChoice.h"

#include "core/browsers/Catalogue.h"
#include "core/browsers/Presets.h"
#include "core/formats/Localization.h"
#include "core/settings/Settings.h"

namespace qz {

QString autoCleanPresetName(AutoCleanPreset preset) {
    switch (preset) {
        case AutoCleanPreset::Complete:
            return QStringLiteral("complete");
        case AutoCleanPreset::Custom:
            return QStringLiteral("custom");
        case AutoCleanPreset::Basic:
            break;
    }
    return QStringLiteral("basic");
}

std::optional<AutoCleanPreset> autoCleanPresetForName(const QString& name) {
    for (AutoCleanPreset preset :
         {AutoCleanPreset::Basic, AutoCleanPreset::Complete, AutoCleanPreset::Custom}) {
        if (autoCleanPresetName(preset) == name) {
            return preset;
        }
    }
    return std::nullopt;
}

std::optional<AutoCleanPreset> autoCleanChoice(BrowserId browser, const Settings& settings) {
    return autoCleanPresetForName(settings.autoCleanPreset(browserInfo(browser).key));
}

void setAutoCleanChoice(BrowserId browser, std::optional<AutoCleanPreset> preset,
                        Settings& settings) {
    settings.setAutoCleanPreset(browserInfo(browser).key,
                                preset ? autoCleanPresetName(*preset) : QString());
}

QList<BrowserId> autoCleanBrowsers(Layout layout, const Settings& settings) {
    QList<BrowserId> browsers;
    for (BrowserId browser : layoutBrowsers(layout)) {
        if (autoCleanChoice(browser, settings)) {
            browsers.append(browser);
        }
    }
    return browsers;
}

QHash<QString, int> autoCleanSelection(BrowserId browser, const BrowserCatalogue& items,
                                       AutoCleanPreset preset, const Settings& settings) {
    const QStringList custom = settings.customItems(browserInfo(browser).key);
    QHash<QString, int> states;
    for (const CareItem& item : items.items) {
        switch (preset) {
            case AutoCleanPreset::Basic:
                states.insert(item.name, presetState(items, 0, item.name));
                break;
            case AutoCleanPreset::Complete:
                states.insert(item.name, presetState(items, 1, item.name));
                break;
            case AutoCleanPreset::Custom:
                states.insert(item.name, custom.contains(item.name) ? 1 : 0);
                break;
        }
    }
    return states;
}

UserNotification autoCleanNotification(const CareReport& report, const Localization& texts) {
    UserNotification notification = completionNotification(report, texts);
    const QString name = browserInfo(report.browser).displayName;
    if (report.complete()) {
        notification.title = texts.format(QStringLiteral("AutoCleanTitle"), {name});
        return notification;
    }
    notification.title = texts.format(QStringLiteral("AutoCleanFailedTitle"), {name});
    const CareFailure& first = report.failed.first();
    notification.informativeText += u'\n' + first.path + QStringLiteral(": ") + first.reason;
    return notification;
}

UserNotification autoCleanRefused(BrowserId browser, AutoCleanRefusal refusal,
                                  const Localization& texts) {
    const QString reason = refusal == AutoCleanRefusal::NoGrant
                               ? QStringLiteral("AutoCleanNoGrant")
                               : QStringLiteral("AutoCleanNothingSelected");
    return {
        texts.format(QStringLiteral("AutoCleanFailedTitle"), {browserInfo(browser).displayName}),
        texts.text(reason), true};
}

}  // namespace qz
