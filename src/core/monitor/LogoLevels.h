// How far each browser's logo has grown: the logo's own measured set, the ten size levels, and
// the logo and update-button frames of each level (bottom-left coordinates, see Frames.h).
#pragma once

#include <QList>
#include <QRect>
#include <QtGlobal>
#include <array>

#include "core/browsers/Browser.h"
#include "core/browsers/Catalogue.h"

namespace qz {

class FileManager;
class FolderSizes;

// The logo's rows for a browser: its status item's rows unless its row sets others apart.
const QList<CarePath>& logoSet(BrowserId browser, Layout layout = Layout::MacOS);
// Folder totals come from `sizes` when given, else from a fresh walk of each folder.
quint64 measureLogoTotal(BrowserId browser, const FileManager& files, FolderSizes* sizes = nullptr);

// The sizes a total must exceed (strictly) to reach each next level.
inline constexpr std::array<quint64, 9> kLevelThresholds = {80000000,  130000000, 180000000,
                                                            230000000, 250000000, 300000000,
                                                            350000000, 390000000, 440000000};
inline constexpr int kLevelCount = kLogoLevelCount;

// 0 to 9: how many of the thresholds the total exceeds.
int levelForTotal(quint64 total);

struct LogoFrames {
    QRect logo;    // in the superview, y up from the bottom-left
    QRect button;  // the update button, always 28 x 28
};

// The frames for a level; a level outside 0-9 is clamped.
LogoFrames logoFrames(BrowserId browser, int level);

}  // namespace qz
