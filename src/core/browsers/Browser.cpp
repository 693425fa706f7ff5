#include "core/browsers/Browser.h"

#include "core/fs/FileManager.h"

namespace qz {

namespace {
// A layout has the browsers with data in it: application bundles on macOS, installs on Linux.
bool inLayout(const BrowserInfo& row, Layout layout) {
    return layout == Layout::Linux ? !row.linuxInstalls.isEmpty() : !row.applicationPaths.isEmpty();
}
}  // namespace

std::optional<BrowserId> browserForKey(const QString& key) {
    for (const BrowserInfo& row : browserTable()) {
        if (row.key == key) {
            return row.id;
        }
    }
    return std::nullopt;
}

ProfileList profileList(BrowserId browser) {
    return browserInfo(browser).dataFolderIsProfile ? ProfileList::DataFolder
                                                    : browserFamily(browser).profileList;
}

const QList<BrowserId>& layoutBrowsers(Layout layout) {
    static const auto listed = [](Layout of) {
        QList<BrowserId> browsers;
        for (const BrowserInfo& row : browserTable()) {
            if (inLayout(row, of)) {
                browsers.append(row.id);
            }
        }
        return browsers;
    };
    // Never destroyed: a walk still running as the process exits may read them.
    static const auto* macos = new QList<BrowserId>(listed(Layout::MacOS));
    static const auto* linuxList = new QList<BrowserId>(listed(Layout::Linux));
    return layout == Layout::Linux ? *linuxList : *macos;
}

QString layoutName(Layout layout) {
    return layout == Layout::Linux ? QStringLiteral("linux") : QStringLiteral("macos");
}

std::optional<Layout> layoutForName(const QString& name) {
    if (name == QStringLiteral("macos")) {
        return Layout::MacOS;
    }
    if (name == QStringLiteral("linux")) {
        return Layout::Linux;
    }
    return std::nullopt;
}

QString linuxPath(const QString& pathTemplate, const FileManager& files) {
    if (pathTemplate.startsWith(QStringLiteral("$CONFIG"))) {
        return files.configFolder() + pathTemplate.mid(7);
    }
    if (pathTemplate.startsWith(QStringLiteral("$CACHE"))) {
        return files.cacheFolder() + pathTemplate.mid(6);
    }
    return files.homeFolder() + pathTemplate;  // below the home
}

bool isInstalled(BrowserId browser, const FileManager& files) {
    const BrowserInfo& row = browserInfo(browser);
    if (!inLayout(row, files.layout())) {
        return false;
    }
    if (files.layout() == Layout::Linux) {
        for (const LinuxInstall& install : row.linuxInstalls) {
            if (files.isDirectory(linuxPath(install.dataFolder, files))) {
                return true;
            }
        }
        return false;
    }
    for (const QString& path : row.applicationPaths) {
        if (files.fileExistsAtPath(files.userPath(path))) {
            return true;
        }
    }
    return false;
}

QList<BrowserId> installedBrowsers(const FileManager& files) {
    QList<BrowserId> installed;
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        if (isInstalled(browser, files)) {
            installed.append(browser);
        }
    }
    return installed;
}

QList<BrowserId> panelBrowsers(const FileManager& files) {
    const QList<BrowserId> installed = installedBrowsers(files);
    if (files.layout() == Layout::MacOS) {
        for (BrowserId browser : layoutBrowsers(Layout::MacOS)) {
            if (browserInfo(browser).systemBrowser && !installed.contains(browser)) {
                return {};  // the macOS window shows no panel at all without the system's browser
            }
        }
    }
    return installed;
}

}  // namespace qz
