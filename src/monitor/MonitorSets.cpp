#include "monitor/MonitorSets.h"

#include "care/SizeRules.h"

namespace qz {

const QList<CarePath>& statusItemSet(BrowserId browser) {
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
    quint64 total = 0;
    for (const CarePath& row : rows) {
        total += measurePath(row, files);
    }
    return total;
}

BrowserTotals measureTotals(const FileManager& files) {
    BrowserTotals totals;
    for (BrowserId browser : kAllBrowsers) {
        totals[browser] = measureSet(statusItemSet(browser), files);
    }
    return totals;
}

}  // namespace qz
