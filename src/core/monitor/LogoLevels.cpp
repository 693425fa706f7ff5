#include "core/monitor/LogoLevels.h"

#include <algorithm>

#include "core/monitor/MonitorSets.h"

namespace qz {

const QList<CarePath>& logoSet(BrowserId browser, Layout layout) {
    return layout == Layout::Linux ? linuxMonitorSet(browser, /*logo=*/true)
                                   : browserInfo(browser).macLogoSet;
}

quint64 measureLogoTotal(BrowserId browser, const FileManager& files, FolderSizes* sizes) {
    return measureSet(logoSet(browser, files.layout()), files, sizes);
}

int levelForTotal(quint64 total) {
    return static_cast<int>(std::count_if(kLevelThresholds.begin(), kLevelThresholds.end(),
                                          [total](quint64 limit) { return total > limit; }));
}

LogoFrames logoFrames(BrowserId browser, int level) {
    constexpr int kButtonSide = 28;
    const LogoDesign& design = *browserInfo(browser).logoDesign;
    const LogoDesign::Level& row =
        design.levels[static_cast<size_t>(std::clamp(level, 0, kLevelCount - 1))];
    return {QRect(design.x, design.y, design.width, row.height),
            QRect(row.buttonX, row.buttonY, kButtonSide, kButtonSide)};
}

}  // namespace qz
