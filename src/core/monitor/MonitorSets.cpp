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
