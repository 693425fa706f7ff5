// Frames given as (x, y, width, height) with y measured up from the superview's bottom-left,
// turned into Qt's top-left geometry.
#pragma once

#include <QRect>

namespace qz {

// The same frame with y measured down from the top of a superview of the given height.
inline QRect toQtFrame(const QRect& bottomLeftFrame, int superviewHeight) {
    return QRect(bottomLeftFrame.x(),
                 superviewHeight - bottomLeftFrame.y() - bottomLeftFrame.height(),
                 bottomLeftFrame.width(), bottomLeftFrame.height());
}

}  // namespace qz
