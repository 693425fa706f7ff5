#include "chrome/TitleBarWindow.h"

#include <QGuiApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <random>

namespace qz {

namespace {

constexpr int kButtonDiameter = 12;
constexpr qreal kCornerRadius = 4.0;

// One round window button, drawn in its own colour with a darker rim; under the mouse it shows
// what it does (a cross, a bar or a plus).
class TrafficLightButton : public QAbstractButton {
  public:
    TrafficLightButton(const QColor& color, int which, QWidget* parent)
        : QAbstractButton(parent), color_(color), which_(which) {
        setFixedSize(kButtonDiameter, kButtonDiameter);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor fill = isDown() ? color_.darker(130) : color_;
        painter.setPen(QPen(color_.darker(150), 1.0));
        painter.setBrush(fill);
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        if (!underMouse()) {
            return;
        }
        painter.setPen(QPen(color_.darker(300), 1.4, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = QRectF(rect()).center();
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
    void enterEvent(QEnterEvent* event) override {
        QAbstractButton::enterEvent(event);
        update();
    }
    void leaveEvent(QEvent* event) override {
        QAbstractButton::leaveEvent(event);
        update();
    }

  private:
    QColor color_;
    int which_;
};

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

TitleBarView::TitleBarView(TitleBarWindow* window) : QWidget(window), window_(window) {}

void TitleBarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool active = window_->isActive();
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
        painter.setClipPath(barClip(bar.adjusted(1, 1, -1, -1)));
        painter.setOpacity(0.1);
        painter.setCompositionMode(QPainter::CompositionMode_Screen);
        QPixmap tile = QPixmap::fromImage(TitleBarWindow::noiseTile());
        tile.setDevicePixelRatio(devicePixelRatioF());
        painter.drawTiledPixmap(bar, tile);
    }
}

void TitleBarView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && window_->windowHandle() && !window_->isFullScreen()) {
        window_->windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

TitleBarWindow::TitleBarWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      titleBarView_(new TitleBarView(this)),
      contentView_(new QWidget(this)) {
    const QColor colors[3] = {QColor(0xee, 0x5f, 0x57), QColor(0xf6, 0xbd, 0x3b),
                              QColor(0x5f, 0xc4, 0x4b)};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new TrafficLightButton(colors[i], i, this);
    }
    connect(buttons_[CloseButton], &QAbstractButton::clicked, this, &QWidget::close);
    connect(buttons_[MiniaturizeButton], &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(buttons_[ZoomButton], &QAbstractButton::clicked, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    setAutoFillBackground(true);
    layoutBar();
}

void TitleBarWindow::setTitleBarHeight(qreal height) {
    const QSize content = contentSize();
    titleBarHeight_ = height;
    setContentSize(content);
}

void TitleBarWindow::setTitleBarStartColor(const QColor& color) {
    startColor_ = color;
    titleBarView_->update();
}

void TitleBarWindow::setTitleBarEndColor(const QColor& color) {
    endColor_ = color;
    titleBarView_->update();
}

void TitleBarWindow::setInactiveTitleBarStartColor(const QColor& color) {
    inactiveStartColor_ = color;
    titleBarView_->update();
}

void TitleBarWindow::setInactiveTitleBarEndColor(const QColor& color) {
    inactiveEndColor_ = color;
    titleBarView_->update();
}

void TitleBarWindow::setShowsBaselineSeparator(bool shows) {
    showsBaselineSeparator_ = shows;
    titleBarView_->update();
}

void TitleBarWindow::setTrafficLightButtonsLeftMargin(qreal margin) {
    buttonsLeftMargin_ = margin;
    layoutBar();
}

void TitleBarWindow::setTrafficLightSeparation(qreal separation) {
    buttonSeparation_ = separation;
    layoutBar();
}

QAbstractButton* TitleBarWindow::standardWindowButton(WindowButton which) const {
    return (which >= CloseButton && which <= ZoomButton) ? buttons_[which] : nullptr;
}

void TitleBarWindow::setBackgroundColor(const QColor& color) {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, color);
    setPalette(colors);
}

void TitleBarWindow::setContentSize(const QSize& size) {
    const QSize frame(size.width(), size.height() + qRound(titleBarHeight_));
    setMinimumSize(frame);
    setMaximumSize(frame);
    resize(frame);
    layoutBar();
}

void TitleBarWindow::center() {
    QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TitleBarWindow::makeKeyAndOrderFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

const QImage& TitleBarWindow::noiseTile() {
    static const QImage tile = [] {
        QImage image(124, 124, QImage::Format_Grayscale8);
        std::minstd_rand random(120);
        for (int y = 0; y < image.height(); ++y) {
            uchar* line = image.scanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                line[x] = static_cast<uchar>(random() % 256);
            }
        }
        return image;
    }();
    return tile;
}

void TitleBarWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutBar();
}

void TitleBarWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        const bool active = isActive();
        for (QAbstractButton* control : titleBarView_->findChildren<QAbstractButton*>()) {
            control->setEnabled(active);
        }
        titleBarView_->update();
    }
}

void TitleBarWindow::layoutBar() {
    const int barHeight = qRound(titleBarHeight_);
    titleBarView_->setGeometry(0, 0, width(), barHeight);
    contentView_->setGeometry(0, barHeight, width(), qMax(0, height() - barHeight));
    const int y = qRound((titleBarHeight_ - kButtonDiameter) / 2.0);
    qreal x = buttonsLeftMargin_;
    for (QAbstractButton* button : buttons_) {
        button->move(qRound(x), y);
        button->raise();
        x += button->width() + buttonSeparation_;
    }
}

}  // namespace qz
