#include "monitor/MonitorSets.h"

#include "care/SizeRules.h"

namespace qz {

namespace {
CarePath file(const QString& path) {
    return {PathKind::File, path};
}
CarePath folder(const QString& path) {
    return {PathKind::Folder, path};
}
}  // namespace

const QList<CarePath>& statusItemSet(BrowserId browser) {
    static const std::array<QList<CarePath>, 4> sets = {{
        {file(QStringLiteral("/Users/%@/Library/Safari/History.plist")),
         file(QStringLiteral("/Users/%@/Library/Safari/HistoryIndex.sk")),
         folder(QStringLiteral("/Users/%@/Library/Caches/com.apple.Safari/Webpage Previews")),
         file(QStringLiteral("/Users/%@/Library/Caches/com.apple.Safari/Cache.db")),
         file(QStringLiteral("/Users/%@/Library/Safari/Downloads.plist"))},
        {folder(QStringLiteral("/Users/%@/Library/Caches/Firefox"))},
        {file(
             QStringLiteral("/Users/%@/Library/Application Support/Google/Chrome/Default/History")),
         file(QStringLiteral(
             "/Users/%@/Library/Application Support/Google/Chrome/Default/Visited Links")),
         folder(QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Cache")),
         folder(QStringLiteral("/Users/%@/Library/Caches/Google/Chrome/Default/Media Cache"))},
        // The older Opera generation: profile in Library/Opera, caches in Library/Caches/Opera.
        {file(QStringLiteral("/Users/%@/Library/Opera/global_history.dat")),
         file(QStringLiteral("/Users/%@/Library/Opera/vlink4.dat")),
         folder(QStringLiteral("/Users/%@/Library/Caches/Opera/opcache")),
         folder(kUserLibraryFolder + QStringLiteral("/Caches/Opera/cache")),
         file(QStringLiteral("/Users/%@/Library/Opera/download.dat")),
         folder(QStringLiteral("/Users/%@/Library/Caches/Opera/temporary_downloads"))},
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
