#include "gui/chrome/TitleBarView.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "gui/chrome/TitleBarWindow.h"

namespace qz {

namespace {

constexpr qreal kCornerRadius = 4.0;

// The bar's outline less its top point, with the two top corners rounded.
QPainterPath barClip(const QRectF& bar) {
    const QRectF area = bar.adjusted(0, 1, 0, 0);
    QPainterPath path;
    path.moveTo(area.bottomLeft());
    path.lineTo(area.left(), area.top() + kCornerRadius);
    path.arcTo(QRectF(area.left(), area.top(), 2 * kCornerRadius, 2 * kCornerRadius), 180, -90);
    path.lineTo(area.right() - kCornerRadius, area.top());
    path.arcTo(
        QRectF(area.right() - 2 * kCornerRadius, area.top(), 2 * kCornerRadius, 2 * kCornerRadius),
        90, -90);
    path.lineTo(area.bottomRight());
    path.closeSubpath();
    return path;
}

}  // namespace

TitleBarView::TitleBarView(TitleBarWindow* window, QWidget* parent)
    : QWidget(parent), window_(window) {
    setObjectName(QStringLiteral("titleBarView"));
}

void TitleBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (window_->isFullScreen()) {
        painter.fillRect(rect(), Qt::black);
    }
    drawBar(painter, window_->isActive());
    if (window_->showsTitle()) {
        drawTitle(painter);
    }
}

void TitleBarView::drawBar(QPainter& painter, bool active) {
    const QRectF bar = rect();
    painter.save();
    painter.setClipPath(barClip(bar));
    QLinearGradient gradient(bar.bottomLeft(), bar.topLeft());
    gradient.setColorAt(
        0, active ? window_->titleBarStartColor() : window_->inactiveTitleBarStartColor());
    gradient.setColorAt(1,
                        active ? window_->titleBarEndColor() : window_->inactiveTitleBarEndColor());
    painter.fillRect(bar, gradient);
    if (window_->showsBaselineSeparator()) {
        const qreal white = active ? 0.408 : 0.655;
        painter.fillRect(QRectF(0, bar.height() - 1, bar.width(), 1),
                         QColor::fromRgbF(white, white, white));
        painter.fillRect(QRectF(0, bar.height() - 2, bar.width(), 1),
                         QColor::fromRgbF(1, 1, 1, 0.12));
    }
    painter.restore();
    if (active) {
        painter.save();
        painter.setClipPath(barClip(bar.adjusted(1, 1, -1, -1)));
        painter.setOpacity(0.1);
        painter.setCompositionMode(QPainter::CompositionMode_Screen);
        QPixmap tile = QPixmap::fromImage(TitleBarWindow::noiseTile());
        tile.setDevicePixelRatio(devicePixelRatioF());
        painter.drawTiledPixmap(bar, tile);
        painter.restore();
    }
}

void TitleBarView::drawTitle(QPainter& painter) {
    painter.setPen(palette().color(QPalette::WindowText));
    const QString title =
        fontMetrics().elidedText(window_->windowTitle(), Qt::ElideRight, width() / 2);
    painter.drawText(rect(), Qt::AlignCenter, title);
}

void TitleBarView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    pressed_ = true;
    doubleClicked_ = false;
    pressPosition_ = event->position().toPoint();
    event->accept();
}

void TitleBarView::mouseMoveEvent(QMouseEvent* event) {
    // The window moves once the mouse has really moved, so that a click's release (and a
    // double click's) still comes here.
    const bool dragged = (event->position().toPoint() - pressPosition_).manhattanLength() >=
                         QApplication::startDragDistance();
    if (pressed_ && dragged && (event->buttons() & Qt::LeftButton) && !window_->isFullScreen() &&
        window_->windowHandle()) {
        pressed_ = false;
        doubleClicked_ = false;
        window_->windowHandle()->startSystemMove();
    }
    event->accept();
}

void TitleBarView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    doubleClicked_ = event->button() == Qt::LeftButton;
}

void TitleBarView::mouseReleaseEvent(QMouseEvent* event) {
    const bool minimise = doubleClicked_ && event->button() == Qt::LeftButton &&
                          Settings::standard().miniaturizeOnDoubleClick();
    pressed_ = false;
    doubleClicked_ = false;
    event->accept();
    if (minimise) {
        window_->showMinimized();
    }
}

}  // namespace qz
