// Frames given as (x, y, width, height) with y measured up from the superview's bottom-left,
// turned into Qt's top-left geometry.
#pragma once

#include <QRect>
#include <QRectF>

namespace qz {

// The same frame with y measured down from the top of a superview of the given height.
inline QRect toQtFrame(const QRect& bottomLeftFrame, int superviewHeight) {
    return QRect(bottomLeftFrame.x(),
                 superviewHeight - bottomLeftFrame.y() - bottomLeftFrame.height(),
                 bottomLeftFrame.width(), bottomLeftFrame.height());
}

// The same for frames with fractional points: qtY = superviewHeight - y - height.
inline QRectF toQtFrame(const QRectF& bottomLeftFrame, qreal superviewHeight) {
    return {bottomLeftFrame.x(), superviewHeight - bottomLeftFrame.y() - bottomLeftFrame.height(),
            bottomLeftFrame.width(), bottomLeftFrame.height()};
}

// A fractional frame turned and rounded to whole pixels for QWidget::setGeometry.
inline QRect toQtRect(const QRectF& bottomLeftFrame, qreal superviewHeight) {
    const QRectF frame = toQtFrame(bottomLeftFrame, superviewHeight);
    return {qRound(frame.x()), qRound(frame.y()), qRound(frame.width()), qRound(frame.height())};
}

}  // namespace qz
