// Frames given as (x, y, width, height) with y measured upward from the superview's bottom-left,
// turned into Qt geometry whose y runs downward from the top-left.
#pragma once

#include <QRect>
#include <QRectF>

namespace qz {

// qtY = superviewHeight - y - height; x, width and height stay as they are.
inline QRectF toQtFrame(const QRectF& bottomLeftFrame, qreal superviewHeight) {
    return {bottomLeftFrame.x(), superviewHeight - bottomLeftFrame.y() - bottomLeftFrame.height(),
            bottomLeftFrame.width(), bottomLeftFrame.height()};
}

// The same, rounded to whole pixels for QWidget::setGeometry.
inline QRect toQtRect(const QRectF& bottomLeftFrame, qreal superviewHeight) {
    const QRectF frame = toQtFrame(bottomLeftFrame, superviewHeight);
    return {qRound(frame.x()), qRound(frame.y()), qRound(frame.width()), qRound(frame.height())};
}

}  // namespace qz
