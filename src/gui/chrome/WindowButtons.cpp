#include "gui/chrome/WindowButtons.h"

#include <QFocusEvent>
#include <QPainter>

#include "gui/chrome/TitleBarWindow.h"

namespace qz {

namespace {

constexpr int kButtonDiameter = 12;
// The focus ring of a window button: a deep blue that stands out on the bar and on each light.
const QColor kFocusColor(0x1a, 0x4f, 0xb5);

}  // namespace

TrafficLightButton::TrafficLightButton(const QColor& color, int which, QWidget* parent)
    : QAbstractButton(parent), color_(color), which_(which) {
    setFixedSize(kButtonDiameter, kButtonDiameter);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::ArrowCursor);
}

void TrafficLightButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc = QRectF(rect());
    const QColor fill = isDown() ? color_.darker(130) : color_;
    painter.setPen(QPen(color_.darker(150), 1.0));
    painter.setBrush(fill);
    painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
    const bool ringed = hasFocus() && keyboardFocus_;
    if (ringed) {
        // The keyboard's place, within the button's own frame: its rim drawn thick in the
        // focus colour, and what it does shown as under the mouse.
        painter.setPen(QPen(kFocusColor, 2.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(1, 1, -1, -1));
    }
    if (!underMouse() && !ringed) {
        return;
    }
    painter.setPen(QPen(color_.darker(300), 1.4, Qt::SolidLine, Qt::RoundCap));
    const QPointF c = disc.center();
    const qreal r = kButtonDiameter * 0.22;
    if (which_ == TitleBarWindow::CloseButton) {
        painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
        painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
        return;
    }
    painter.drawLine(c + QPointF(-r - 0.5, 0), c + QPointF(r + 0.5, 0));
    if (which_ == TitleBarWindow::ZoomButton) {
        painter.drawLine(c + QPointF(0, -r - 0.5), c + QPointF(0, r + 0.5));
    }
}

void TrafficLightButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    update();
}

void TrafficLightButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    update();
}

// The ring shows where the keyboard went, not the focus a window hands out as it opens.
void TrafficLightButton::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason why = event->reason();
    keyboardFocus_ = why == Qt::TabFocusReason || why == Qt::BacktabFocusReason ||
                     why == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

FullScreenArrows::FullScreenArrows(QWidget* parent) : QAbstractButton(parent) {
    setFixedSize(14, 14);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
}

void FullScreenArrows::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x4a, 0x4d, 0x52, isDown() ? 255 : 190), 1.4));
    painter.drawLine(QPointF(3, 11), QPointF(11, 3));
    painter.drawPolyline(QPolygonF({{7, 3}, {11, 3}, {11, 7}}));
    painter.drawPolyline(QPolygonF({{3, 7}, {3, 11}, {7, 11}}));
}

}  // namespace qz
