#include "core/monitor/LogoLevels.h"

#include <algorithm>

#include "core/monitor/MonitorSets.h"

namespace qz {

namespace {

struct LevelRow {
    int height;
    int buttonX;
    int buttonY;
};

struct LogoDesign {
    int x;
    int y;
    int width;
    std::array<LevelRow, kLevelCount> levels;
};

constexpr int kButtonSide = 28;

// The logo's x, y and width stay; its height and the button's origin follow the level. Rows do
// not always change: Firefox stops growing at level 8 and Opera's button drops at level 9.
const std::array<LogoDesign, 4>& designs() {
    static const std::array<LogoDesign, 4> table = {{
        {-1,
         71,
         200,
         {{{107, 114, 146},
           {110, 115, 150},
           {120, 117, 157},
           {130, 119, 163},
           {135, 122, 167},
           {140, 123, 170},
           {150, 125, 180},
           {155, 128, 183},
           {160, 130, 185},
           {165, 135, 190}}}},
        {0,
         71,
         155,
         {{{105, 100, 146},
           {110, 102, 150},
           {120, 106, 157},
           {130, 108, 165},
           {135, 110, 172},
           {140, 112, 176},
           {150, 113, 183},
           {155, 114, 192},
           {160, 114, 196},
           {160, 114, 196}}}},
        {0,
         71,
         160,
         {{{100, 100, 146},
           {108, 102, 150},
           {117, 105, 157},
           {127, 108, 165},
           {135, 112, 172},
           {140, 113, 176},
           {150, 113, 183},
           {155, 114, 192},
           {160, 115, 196},
           {165, 115, 196}}}},
        {0,
         71,
         160,
         {{{100, 97, 146},
           {108, 99, 150},
           {117, 103, 157},
           {127, 105, 165},
           {135, 107, 172},
           {140, 109, 176},
           {150, 110, 183},
           {155, 112, 192},
           {160, 112, 196},
           {165, 112, 194}}}},
    }};
    return table;
}
}  // namespace

const QList<CarePath>& logoSet(BrowserId browser, Layout layout) {
    if (layout == Layout::Linux) {
        return linuxMonitorSet(browser, /*logo=*/true);
    }
    // Safari, Firefox and Chrome grow with the status item's sets; the Opera logo follows the
    // newer Opera, whose profile lives under Application Support.
    static const QList<CarePath> newerOpera = {
        filePath(QStringLiteral(
            "/Users/%@/Library/Application Support/com.operasoftware.Opera/History")),
        filePath(QStringLiteral(
            "/Users/%@/Library/Application Support/com.operasoftware.Opera/Visited Links")),
        filePath(QStringLiteral(
            "/Users/%@/Library/Application Support/com.operasoftware.Opera/Web Data")),
        folderPath(QStringLiteral("/Users/%@/Library/Caches/com.operasoftware.Opera/Cache"))};
    return browser == BrowserId::Opera ? newerOpera : statusItemSet(browser);
}

quint64 measureLogoTotal(BrowserId browser, const FileManager& files) {
    return measureSet(logoSet(browser, files.layout()), files);
}

int levelForTotal(quint64 total) {
    return static_cast<int>(std::count_if(kLevelThresholds.begin(), kLevelThresholds.end(),
                                          [total](quint64 limit) { return total > limit; }));
}

LogoFrames logoFrames(BrowserId browser, int level) {
    // Chromium's logo grows as Chrome's does.
    const BrowserId like = browser == BrowserId::Chromium ? BrowserId::Chrome : browser;
    const LogoDesign& design = designs()[static_cast<size_t>(like)];
    const LevelRow& row = design.levels[static_cast<size_t>(std::clamp(level, 0, kLevelCount - 1))];
    return {QRect(design.x, design.y, design.width, row.height),
            QRect(row.buttonX, row.buttonY, kButtonSide, kButtonSide)};
}

}  // namespace qz
