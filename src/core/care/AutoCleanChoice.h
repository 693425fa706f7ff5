// Cleaning a browser when it closes: the preset each browser has for it in the settings, the
// check-box states that preset gives, and what the user is told afterwards.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <optional>

#include "core/browsers/Browser.h"
#include "core/care/CareRun.h"

namespace qz {

class Settings;

enum class AutoCleanPreset { Basic, Complete, Custom };

// "basic", "complete" or "custom": the stored value and the command line's word.
QString autoCleanPresetName(AutoCleanPreset preset);
std::optional<AutoCleanPreset> autoCleanPresetForName(const QString& name);

// The browser's preset for cleaning when it closes; nothing while that is off (a stored value
// that names no preset counts as off).
std::optional<AutoCleanPreset> autoCleanChoice(BrowserId browser, const Settings& settings);
// Nothing turns it off.
void setAutoCleanChoice(BrowserId browser, std::optional<AutoCleanPreset> preset,
                        Settings& settings);
// The layout's browsers that have it on, in the layout's order.
QList<BrowserId> autoCleanBrowsers(Layout layout, const Settings& settings);

// Each item's state (1 or 0) under the preset: basic and complete as the panel's presets,
// custom as the browser's stored custom items (names it does not have are left out).
QHash<QString, int> autoCleanSelection(BrowserId browser, const BrowserCatalogue& items,
                                       AutoCleanPreset preset, const Settings& settings);

// Why a cleaning on close did not run or did not finish, for the failure notification.
enum class AutoCleanRefusal { NoGrant, NothingSelected };

// After a cleaning on close: the browser named in the title, the care's own completion text.
UserNotification autoCleanNotification(const CareReport& report, const Localization& texts);
// A cleaning on close that was refused, with its reason.
UserNotification autoCleanRefused(BrowserId browser, AutoCleanRefusal refusal,
                                  const Localization& texts);

}  // namespace qz
