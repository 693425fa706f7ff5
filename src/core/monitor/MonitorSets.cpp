#include "core/monitor/MonitorSets.h"

#include "core/care/SizeRules.h"
#include "core/fs/ByteSum.h"

namespace qz {

const QList<CarePath>& linuxMonitorSet(BrowserId browser, bool logo) {
    const auto set = [](BrowserId b, bool withWebData) {
        const auto in = [b](const QString& name) {
            return CarePath{PathKind::File, name, PathBase::Profile, b, false};
        };
        const auto cache = [b](const QString& name) {
            return CarePath{PathKind::Folder, name, PathBase::ProfileCache, b, false};
        };
        if (b == BrowserId::Firefox) {
            return QList<CarePath>{cache("cache2"), cache("startupCache"), cache("thumbnails")};
        }
        QList<CarePath> rows = {in("History"), in("Visited Links")};
        if (withWebData) {
            rows.append(in("Web Data"));
        }
        rows.append({cache("Cache"), cache("Code Cache")});
        return rows;
    };
    static const std::array<QList<CarePath>, kBrowserCount> status = {
        QList<CarePath>{}, set(BrowserId::Firefox, false), set(BrowserId::Chrome, false),
        set(BrowserId::Opera, false), set(BrowserId::Chromium, false)};
    static const QList<CarePath> operaLogo = set(BrowserId::Opera, true);
    return logo && browser == BrowserId::Opera ? operaLogo : status[static_cast<size_t>(browser)];
}

const QList<CarePath>& statusItemSet(BrowserId browser, Layout layout) {
    if (layout == Layout::Linux) {
        return linuxMonitorSet(browser, /*logo=*/false);
    }
    static const QList<CarePath> none;
    if (browser == BrowserId::Chromium) {
        return none;
    }
    static const std::array<QList<CarePath>, 4> sets = {{
        {filePath(QStringLiteral("/Users/%@/Library/Safari/History.plist")),
         filePath(QStringLiteral("/Users/%@/Library/Safari/HistoryIndex.sk")),
         folderPath(QStringLiteral("/Users/%@/Library/Caches/com.apple.Safari/Webpage Previews")),
         filePath(QStringLiteral("/Users/%@/Library/Caches/com.apple.Safari/Cache.db")),
         filePath(QStringLiteral("/Users/%@/Library/Safari/Downloads.plist"))},
        {folderPath(QStringLiteral("/Users/%@/Library/Caches/Firefox"))},
        {filePath(
             QStringLiteral("/Users/%@/Library/Application Support/Google/Chrome/Default/History")),
         filePath(QStringLiteral(
             "/Users/%@/Library/Application Support/Google/Chrome/Default/Visited Links")),
         folderPath(QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache")),
         folderPath(QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Media Cache"))},
        // The older Opera generation: profile in Library/Opera, caches in Library/Caches/Opera.
        {filePath(QStringLiteral("/Users/%@/Library/Opera/global_history.dat")),
         filePath(QStringLiteral("/Users/%@/Library/Opera/vlink4.dat")),
         folderPath(QStringLiteral("/Users/%@/Library/Caches/Opera/opcache")),
         folderPath(kUserLibraryFolder + QStringLiteral("/Caches/Opera/cache")),
         filePath(QStringLiteral("/Users/%@/Library/Opera/download.dat")),
         folderPath(QStringLiteral("/Users/%@/Library/Caches/Opera/temporary_downloads"))},
    }};
    return sets[static_cast<size_t>(browser)];
}

quint64 measureSet(const QList<CarePath>& rows, const FileManager& files) {
    ProfileLookup profiles(files);
    quint64 total = 0;
    for (const CarePath& row : rows) {
        total = saturatingAdd(total, measurePath(row, files, profiles));
    }
    return total;
}

BrowserTotals measureTotals(const FileManager& files) {
    BrowserTotals totals;
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        totals[browser] = measureSet(statusItemSet(browser, files.layout()), files);
    }
    return totals;
}

}  // namespace qz
