#include "core/monitor/MonitorSets.h"

#include "core/care/SizeRules.h"
#include "core/fs/ByteSum.h"

namespace qz {

const QList<CarePath>& linuxMonitorSet(BrowserId browser, bool logo) {
    const BrowserInfo& row = browserInfo(browser);
    return logo ? row.linuxLogoSet : row.linuxMonitorSet;
}

const QList<CarePath>& statusItemSet(BrowserId browser, Layout layout) {
    return layout == Layout::Linux ? linuxMonitorSet(browser, /*logo=*/false)
                                   : browserInfo(browser).macStatusSet;
}

quint64 measureSet(const QList<CarePath>& rows, const FileManager& files, FolderSizes* sizes) {
    ProfileLookup profiles(files);
    quint64 total = 0;
    for (const CarePath& row : rows) {
        total = saturatingAdd(total, measurePath(row, files, profiles, sizes));
    }
    return total;
}

BrowserTotals measureTotals(const FileManager& files, FolderSizes* sizes) {
    BrowserTotals totals;
    for (BrowserId browser : layoutBrowsers(files.layout())) {
        totals[browser] = measureSet(statusItemSet(browser, files.layout()), files, sizes);
    }
    return totals;
}

}  // namespace qz
