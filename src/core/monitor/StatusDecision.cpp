#include "core/monitor/StatusDecision.h"

#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"

namespace qz {

BrowserFlags alwaysConsidered() {
    BrowserFlags considered{};
    for (BrowserId browser : kAllBrowsers) {
        considered[static_cast<size_t>(browser)] = browserInfo(browser).systemBrowser;
    }
    return considered;
}

BrowserFlags consideredBrowsers(const FileManager& files) {
    BrowserFlags considered{};
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        considered[static_cast<size_t>(browser)] =
            browserInfo(browser).systemBrowser || isInstalled(browser, files);
    }
    return considered;
}

StatusState decideStatus(const BrowserTotals& totals, const BrowserFlags& considered,
                         quint64 threshold) {
    StatusState state;
    state.icon = kIconCalm;
    state.considered = considered;
    for (BrowserId browser : kAllBrowsers) {
        const size_t i = static_cast<size_t>(browser);
        const bool alert = considered[i] && totals[browser] >= threshold;
        state.entryVisible[i] = alert;
        if (alert) {
            state.icon = kIconAlert;
            state.okVisible = false;
        }
    }
    return state;
}

QString menuEntryKey(BrowserId browser) {
    return QStringLiteral("Care") + browserInfo(browser).suffix;
}

QList<BrowserId> StartupNotifications::checkNotifiche(const BrowserTotals& totals,
                                                      const BrowserFlags& considered,
                                                      quint64 threshold,
                                                      const Localization& texts) {
    if (hasRun_) {
        return {};
    }
    hasRun_ = true;
    QList<BrowserId> notified;
    const StatusState state = decideStatus(totals, considered, threshold);
    for (BrowserId browser : kAllBrowsers) {
        if (!state.entryVisible[static_cast<size_t>(browser)]) {
            continue;
        }
        notified.append(browser);
        if (deliver_) {
            deliver_({browser, texts.text(QStringLiteral("QZ")), texts.text(menuEntryKey(browser)),
                      true});
        }
    }
    return notified;
}

}  // namespace qz
