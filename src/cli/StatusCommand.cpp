// `quenzel status`: per browser, whether it is installed and what each care item occupies.
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/MonitorJson.h"
#include "cli/TerminalText.h"
#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Catalogue.h"
#include "core/care/AccessGrant.h"
#include "core/care/AutoCleanChoice.h"
#include "core/care/SizeRules.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/fs/ByteSum.h"
#include "core/fs/FileManager.h"
#include "core/fs/FolderSizeMemo.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {

struct ItemSize {
    QString name;
    quint64 bytes;
};

struct BrowserStatus {
    BrowserId browser;
    bool installed;
    QList<ItemSize> items;  // in the catalogue's row order
    quint64 basic = 0;
    quint64 complete = 0;
    QList<BrowserProfile> profiles;  // Linux layout only
    QList<ProfileListProblem> listProblems;
};

BrowserStatus measureBrowser(BrowserId browser, const FileManager& files, FolderSizes& sizes) {
    const BrowserCatalogue& items = catalogue(browser, files);
    BrowserProfileList lists = readBrowserProfiles(browser, files);
    BrowserStatus status{browser,
                         isInstalled(browser, files),
                         {},
                         0,
                         0,
                         std::move(lists.profiles),
                         std::move(lists.problems)};
    ProfileLookup lookup(files);
    for (const CareItem& item : items.items) {
        const quint64 bytes = measureItem(item, files, lookup, &sizes);
        status.items.append({item.name, bytes});
        status.complete = saturatingAdd(status.complete, bytes);
        if (items.basicSet.contains(item.name)) {
            status.basic = saturatingAdd(status.basic, bytes);
        }
    }
    return status;
}

Json sizeJson(quint64 bytes, const Localization& english) {
    Json size = Json::object();
    size.set("bytes", bytes);
    size.set("text", convertSizeToString(bytes, english));
    return size;
}

// Each profile with its folders; a refused one says why it is left alone.
Json profilesJson(const QList<BrowserProfile>& profiles, const FileManager& files) {
    Json list = Json::array();
    for (const BrowserProfile& profile : profiles) {
        Json entry = Json::object();
        entry.set("name", profile.name);
        entry.set("install", profile.install);
        entry.set("path", files.localPath(profile.folder));
        entry.set("cache", profile.cacheFolder.isEmpty()
                               ? Json()
                               : Json(files.localPath(profile.cacheFolder)));
        entry.set("default", profile.isDefault);
        entry.set("refused", profile.refused.isEmpty() ? Json() : Json(profile.refused));
        if (!profile.cacheRefused.isEmpty()) {
            entry.set("cache_refused", profile.cacheRefused);
        }
        list.append(std::move(entry));
    }
    return list;
}

// The lists that could not be read whole: the profiles they name are not all measured.
Json listProblemsJson(const QList<ProfileListProblem>& problems, const FileManager& files) {
    Json list = Json::array();
    for (const ProfileListProblem& problem : problems) {
        Json entry = Json::object();
        entry.set("install", problem.install);
        entry.set("path", files.localPath(problem.list));
        entry.set("problem", problem.reason);
        entry.set("unreadable", problem.unreadable);
        list.append(std::move(entry));
    }
    return list;
}

Json statusJson(const QList<BrowserStatus>& report, const FileManager& files, bool granted,
                FolderSizes& sizes) {
    const Localization english = Localization::forLanguage(QStringLiteral("en"));
    Json root = Json::object();
    root.set("layout", layoutName(files.layout()));
    root.set("user", files.userName());
    root.set("access_granted", granted);
    Json& browsers = root.set("browsers", Json::array());
    for (const BrowserStatus& status : report) {
        const BrowserInfo& info = browserInfo(status.browser);
        Json browser = Json::object();
        browser.set("browser", info.displayName);
        browser.set("key", info.key);
        browser.set("installed", status.installed);
        if (files.layout() == Layout::Linux) {
            browser.set("profiles", profilesJson(status.profiles, files));
            browser.set("profile_list_problems", listProblemsJson(status.listProblems, files));
        }
        Json& items = browser.set("items", Json::array());
        for (const ItemSize& item : status.items) {
            Json entry = Json::object();
            entry.set("item", item.name);
            entry.set("bytes", item.bytes);
            items.append(std::move(entry));
        }
        browser.set("basic", sizeJson(status.basic, english));
        browser.set("complete", sizeJson(status.complete, english));
        const std::optional<AutoCleanPreset> autoClean =
            autoCleanChoice(status.browser, Settings(UserDefaults::standard()));
        Json& onClose = browser.set("auto_clean", Json::object());
        onClose.set("on", autoClean.has_value());
        onClose.set("preset", autoClean ? Json(autoCleanPresetName(*autoClean)) : Json());
        browsers.append(std::move(browser));
    }
    root.set("monitor", monitorJson(files, sizes));
    root.set("logos", logosJson(files, sizes));
    return root;
}

void printTable(QTextStream& out, const QList<BrowserStatus>& report, const FileManager& files,
                bool granted) {
    const Localization& texts = Localization::shared();
    const auto row = [&](const QString& label, quint64 bytes) {
        out << QStringLiteral("  %1 %2  %3 bytes\n")
                   .arg(label, -16)
                   .arg(convertSizeToString(bytes, texts), 10)
                   .arg(bytes);
    };
    const bool onLinux = files.layout() == Layout::Linux;
    out << "User " << terminalText(files.userName()) << (onLinux ? ", home " : ", root ")
        << terminalText(onLinux ? files.homePath() : files.root())
        << (onLinux ? " (Linux layout)" : "") << ", home-folder access "
        << (granted ? "granted" : "not granted") << "\n";
    for (const BrowserStatus& status : report) {
        out << "\n"
            << browserInfo(status.browser).displayName
            << (status.installed ? "" : " (not installed)") << "\n";
        for (const BrowserProfile& profile : status.profiles) {
            out << "  profile " << terminalText(profile.name) << "  "
                << terminalText(files.localPath(profile.folder))
                << (profile.usable()
                        ? QString()
                        : QStringLiteral("  refused: ") + terminalText(profile.refused))
                << "\n";
        }
        for (const ProfileListProblem& problem : status.listProblems) {
            out << "  profile list " << terminalText(files.localPath(problem.list))
                << (problem.unreadable ? "  cannot be read: " : "  ")
                << terminalText(problem.reason) << "\n";
        }
        for (const ItemSize& item : status.items) {
            row(item.name, item.bytes);
        }
        row(QStringLiteral("basic preset"), status.basic);
        row(QStringLiteral("complete preset"), status.complete);
    }
    out.flush();
}

}  // namespace

int runStatus(CliContext& context, const QStringList& arguments) {
    bool json = false;
    if (!CommandLine::takeJsonFlag(context, QStringLiteral("status"), arguments, &json)) {
        return CommandLine::kUsage;
    }
    // The items, the presets, the status item's and the logos' sets share their folders.
    FolderSizeMemo oneWalkPerFolder(context.files);
    QList<BrowserStatus> report;
    for (BrowserId browser : layoutBrowsers(context.files.layout())) {
        report.append(measureBrowser(browser, context.files, oneWalkPerFolder));
    }
    const bool granted = accessGranted(UserDefaults::standard());
    if (json) {
        context.out << statusJson(report, context.files, granted, oneWalkPerFolder).serialize()
                    << Qt::endl;
    } else {
        printTable(context.out, report, context.files, granted);
    }
    return CommandLine::kOk;
}

}  // namespace qz
