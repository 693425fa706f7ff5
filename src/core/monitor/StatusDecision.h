// What the size alert shows for four totals: the status item's icon, which status-menu entries
// are visible, and, once per launch, which browsers get a notification.
#pragma once

#include <QList>
#include <QString>
#include <array>
#include <functional>

#include "core/monitor/MonitorSets.h"

namespace qz {

class FileManager;
class Localization;

inline const QString kIconCalm = QStringLiteral("qzb.pdf");      // nothing at the threshold
inline const QString kIconAlert = QStringLiteral("qza.pdf");     // something at or above it
inline const QString kIconSelected = QStringLiteral("qzw.pdf");  // shown while highlighted

// Per browser, in the fixed order: whether the alert takes it into account.
using BrowserFlags = std::array<bool, kBrowserCount>;

// macOS: the system browser (Safari) always; the others while one of their application bundles
// exists (system-wide first, then the user's own Applications folder). Linux: the installed
// browsers. Tested afresh at every call.
BrowserFlags consideredBrowsers(const FileManager& files);
// What counts before anything is measured: the system browser alone.
BrowserFlags alwaysConsidered();

struct StatusState {
    QString icon;
    BrowserFlags entryVisible{};  // menusafari, menufirefox, menuchrome, menuopera
    bool okVisible = true;        // the entry saying nothing needs care
    BrowserFlags considered{};
};

// A size counts as at or above the threshold when size >= threshold.
StatusState decideStatus(const BrowserTotals& totals, const BrowserFlags& considered,
                         quint64 threshold);

// A notification for a browser whose data reached the threshold.
struct AlertNotification {
    BrowserId browser;
    QString title;            // "QZ"
    QString informativeText;  // "CareS", "CareF", "CareC" or "CareO"
    bool defaultSound = true;
};

// The key of a browser's status-menu entry title, also its notification's text: "CareS".
QString menuEntryKey(BrowserId browser);

// Notifies each considered browser at or above the threshold, in the fixed order, the first
// time it runs; later runs in the same launch notify nothing.
class StartupNotifications {
  public:
    using Deliver = std::function<void(const AlertNotification&)>;
    explicit StartupNotifications(Deliver deliver) : deliver_(std::move(deliver)) {}

    // Returns the browsers notified by this call.
    QList<BrowserId> checkNotifiche(const BrowserTotals& totals, const BrowserFlags& considered,
                                    quint64 threshold, const Localization& texts);
    bool hasRun() const { return hasRun_; }

  private:
    Deliver deliver_;
    bool hasRun_ = false;
};

}  // namespace qz
