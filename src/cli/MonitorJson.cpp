#include "cli/MonitorJson.h"

#include "core/monitor/AlertThreshold.h"
#include "core/monitor/LogoLevels.h"
#include "core/monitor/MonitorSets.h"
#include "core/monitor/StatusDecision.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {
Json optionalText(const std::optional<QString>& text) {
    return text ? Json(*text) : Json();
}
}  // namespace

Json monitorJson(const FileManager& files, FolderSizes& sizes) {
    const quint64 threshold = AlertThreshold(UserDefaults::standard()).value();
    const BrowserTotals totals = measureTotals(files, &sizes);
    const StatusState state = decideStatus(totals, consideredBrowsers(files), threshold);
    Json monitor = Json::object();
    monitor.set("threshold", threshold);
    Json& totalsJson = monitor.set("totals", Json::object());
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        totalsJson.set(browserInfo(browser).key, totals[browser]);
    }
    monitor.set("icon", state.icon);
    Json& menu = monitor.set("menu", Json::object());
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        menu.set(browserInfo(browser).key, state.entryVisible[static_cast<size_t>(browser)]);
    }
    menu.set("ok", state.okVisible);
    return monitor;
}

Json logosJson(const FileManager& files, FolderSizes& sizes) {
    Json logos = Json::object();
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        const quint64 bytes = measureLogoTotal(browser, files, &sizes);
        Json logo = Json::object();
        logo.set("bytes", bytes);
        logo.set("level", levelForTotal(bytes));
        logos.set(browserInfo(browser).key, std::move(logo));
    }
    return logos;
}

Json browserUpdatesJson(const FileManager& files, const VersionList& list) {
    Json browsers = Json::object();
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        const UpdateAdvice advice = checkBrowserUpdate(browser, files, list);
        Json entry = Json::object();
        entry.set("installed", optionalText(advice.installed));
        entry.set("published", optionalText(advice.published));
        entry.set("key", advice.key);
        entry.set("advice", advice.advice);
        browsers.set(browserInfo(browser).key, std::move(entry));
    }
    return browsers;
}

}  // namespace qz
