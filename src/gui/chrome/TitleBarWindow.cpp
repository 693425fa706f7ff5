#include "gui/chrome/TitleBarWindow.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QWindow>
#include <random>

#include "gui/chrome/TitleBarContainer.h"
#include "gui/chrome/TitleBarView.h"
#include "gui/chrome/WindowButtons.h"

namespace qz {

namespace {

// Names, on a sheet's native window, the sheet it belongs to until it is first on screen.
constexpr const char* kSheetOfWindow = "quenzelSheet";

}  // namespace

TitleBarWindow::TitleBarWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      container_(new TitleBarContainer(this)),
      contentView_(new QWidget(this)) {
    const QColor colors[3] = {QColor(0xee, 0x5f, 0x57), QColor(0xf6, 0xbd, 0x3b),
                              QColor(0x5f, 0xc4, 0x4b)};
    for (int i = 0; i < 3; ++i) {
        buttons_[i] = new TrafficLightButton(colors[i], i, container_);
    }
    buttons_[FullScreenButton] = new FullScreenArrows(container_);
    buttons_[FullScreenButton]->hide();
    connect(buttons_[CloseButton], &QAbstractButton::clicked, this, &QWidget::close);
    connect(buttons_[MiniaturizeButton], &QAbstractButton::clicked, this, &QWidget::showMinimized);
    connect(buttons_[ZoomButton], &QAbstractButton::clicked, this,
            [this] { isMaximized() ? showNormal() : showMaximized(); });
    connect(buttons_[FullScreenButton], &QAbstractButton::clicked, this,
            &TitleBarWindow::toggleFullScreen);
    setAutoFillBackground(true);
    qApp->installEventFilter(this);
    layoutBar();
}

QWidget* TitleBarWindow::titleBarView() const {
    return container_->titleBarView();
}

void TitleBarWindow::redrawBar() {
    titleBarView()->update();
}

void TitleBarWindow::setTitleBarHeight(qreal height) {
    const QSize content = contentSize();
    titleBarHeight_ = height;
    setContentSize(content);
}

void TitleBarWindow::setTitleBarStartColor(const QColor& color) {
    setThenRedraw(startColor_, color);
}

void TitleBarWindow::setTitleBarEndColor(const QColor& color) {
    setThenRedraw(endColor_, color);
}

void TitleBarWindow::setInactiveTitleBarStartColor(const QColor& color) {
    setThenRedraw(inactiveStartColor_, color);
}

void TitleBarWindow::setInactiveTitleBarEndColor(const QColor& color) {
    setThenRedraw(inactiveEndColor_, color);
}

void TitleBarWindow::setShowsBaselineSeparator(bool shows) {
    setThenRedraw(showsBaselineSeparator_, shows);
}

void TitleBarWindow::setShowsTitle(bool shows) {
    setThenRedraw(showsTitle_, shows);
}

void TitleBarWindow::setHideTitleBarInFullScreen(bool hide) {
    hideInFullScreen_ = hide;
}

void TitleBarWindow::setTrafficLightButtonsLeftMargin(qreal margin) {
    setThenLayout(buttonsLeftMargin_, margin);
}

void TitleBarWindow::setTrafficLightSeparation(qreal separation) {
    setThenLayout(buttonSeparation_, separation);
}

void TitleBarWindow::setCenterTrafficLightButtons(bool center) {
    setThenLayout(centerTrafficLights_, center);
}

void TitleBarWindow::setTrafficLightButtonsTopMargin(qreal margin) {
    setThenLayout(buttonsTopMargin_, margin);
}

void TitleBarWindow::setFullScreenButtonTopMargin(qreal margin) {
    setThenLayout(fullScreenTopMargin_, margin);
}

void TitleBarWindow::setFullScreenButtonRightMargin(qreal margin) {
    setThenLayout(fullScreenRightMargin_, margin);
}

void TitleBarWindow::setCenterFullScreenButton(bool center) {
    setThenLayout(centerFullScreen_, center);
}

QAbstractButton* TitleBarWindow::standardWindowButton(WindowButton which) const {
    return (which >= CloseButton && which <= FullScreenButton) ? buttons_[which] : nullptr;
}

void TitleBarWindow::setBackgroundColor(const QColor& color) {
    setPalette(fixedPalette(color));
    // Some desktop styles (Adwaita-Dark) paint buttons in their own dark colours whatever the
    // palette says; the window and everything in it are drawn by a style that follows it.
    if (!fixedStyle_) {
        // One for every such window, kept by the application: a window's widgets may still ask
        // for their style while the window goes.
        static QPointer<QStyle> shared;
        if (!shared && QApplication::style()->name() == QStringLiteral("fusion")) {
            shared = QApplication::style();  // the application's own is one already
        } else if (!shared && (shared = QStyleFactory::create(QStringLiteral("Fusion")))) {
            shared->setParent(qApp);
        }
        fixedStyle_ = shared;
        if (fixedStyle_) {
            applyFixedStyle(this);
            for (QWidget* child : findChildren<QWidget*>()) {
                applyFixedStyle(child);
            }
        }
    }
}

void TitleBarWindow::applyFixedStyle(QWidget* widget) {
    if (fixedStyle_ && widget->style() != fixedStyle_ && widget->window() == this) {
        widget->setStyle(fixedStyle_);
    }
}

QPalette TitleBarWindow::fixedPalette(const QColor& window) {
    // Every role derived from the one background, so no colour of a dark (or light) theme meets
    // it: white text, a dark button face or a dark field would vanish or clash on it.
    QPalette colors(window, window);
    const bool light = window.lightnessF() > 0.5;
    const QColor text = light ? QColor(0x1d, 0x1d, 0x1f) : QColor(Qt::white);
    const QColor base = light ? QColor(Qt::white) : window.darker(140);
    const QColor button = light ? window.lighter(108) : window.lighter(130);
    // Locked boxes still say what a preset covers: their text reads too (4.5:1 and more).
    const QColor disabled = light ? QColor(0x55, 0x55, 0x55) : QColor(0xb4, 0xb4, 0xb8);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool enabled = group != QPalette::Disabled;
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
            colors.setColor(group, role, enabled ? text : disabled);
        }
        colors.setColor(group, QPalette::Base, base);
        colors.setColor(group, QPalette::AlternateBase, window);
        colors.setColor(group, QPalette::Button, button);
        colors.setColor(group, QPalette::Light, button.lighter(130));
        colors.setColor(group, QPalette::Midlight, button.lighter(110));
        colors.setColor(group, QPalette::Mid, window.darker(130));
        colors.setColor(group, QPalette::Dark, window.darker(160));
        colors.setColor(group, QPalette::Shadow, QColor(0, 0, 0, 90));
        colors.setColor(group, QPalette::Highlight,
                        enabled ? QColor(0x1a, 0x5f, 0xb4) : window.darker(120));
        colors.setColor(group, QPalette::HighlightedText, enabled ? QColor(Qt::white) : disabled);
        colors.setColor(group, QPalette::PlaceholderText, disabled);
        colors.setColor(group, QPalette::Link, QColor(0x1a, 0x5f, 0xb4));
        colors.setColor(group, QPalette::ToolTipBase, QColor(0xff, 0xff, 0xe1));
        colors.setColor(group, QPalette::ToolTipText, QColor(0x1d, 0x1d, 0x1f));
    }
    return colors;
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

void TitleBarWindow::toggleFullScreen() {
    if (isFullScreen()) {
        showNormal();
        return;
    }
    // A window of fixed size may grow to the screen while it is in full screen.
    minimumBeforeFullScreen_ = minimumSize();
    maximumBeforeFullScreen_ = maximumSize();
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
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

void TitleBarWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    layoutBar();
}

void TitleBarWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
        case QEvent::ActivationChange: {
            const bool active = isActive();
            for (QAbstractButton* control : titleBarView()->findChildren<QAbstractButton*>()) {
                control->setEnabled(active);
            }
            layoutBar();
            titleBarView()->update();
            break;
        }
        case QEvent::WindowTitleChange:
            layoutBar();
            titleBarView()->update();
            break;
        case QEvent::WindowStateChange:
            if (isFullScreen() != inFullScreen_) {
                applyFullScreen(isFullScreen());
            }
            break;
        default:
            break;
    }
}

void TitleBarWindow::applyFullScreen(bool entering) {
    inFullScreen_ = entering;
    if (hideInFullScreen_) {
        if (entering) {
            heightBeforeFullScreen_ = titleBarHeight_;
            titleBarHeight_ = 0;
        } else {
            titleBarHeight_ = heightBeforeFullScreen_;
        }
        container_->setVisible(!entering);
    }
    if (!entering && maximumBeforeFullScreen_.isValid()) {
        setMinimumSize(minimumBeforeFullScreen_);
        setMaximumSize(maximumBeforeFullScreen_);
        maximumBeforeFullScreen_ = QSize();
    }
    layoutBar();
    titleBarView()->update();
}

bool TitleBarWindow::isSheetOfThisWindow(QObject* object) const {
    auto* dialog = qobject_cast<QDialog*>(object);
    return dialog && dialog->isWindow() && dialog->windowModality() == Qt::WindowModal &&
           dialog->parentWidget() && dialog->parentWidget()->window() == this;
}

bool TitleBarWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (fixedStyle_ && (type == QEvent::Polish || type == QEvent::ParentChange) &&
        watched->isWidgetType()) {
        // A control added to the window later; one moved in brings its children, which may
        // have been polished already.
        auto* widget = static_cast<QWidget*>(watched);
        applyFixedStyle(widget);
        if (type == QEvent::ParentChange && widget->window() == this) {
            for (QWidget* child : widget->findChildren<QWidget*>()) {
                applyFixedStyle(child);
            }
        }
    }
    if (type == QEvent::Expose && watched->property(kSheetOfWindow).value<QObject*>()) {
        // On screen: the window manager has framed the sheet, so its frame is known now.
        watched->removeEventFilter(this);
        if (auto* sheet =
                qobject_cast<QDialog*>(watched->property(kSheetOfWindow).value<QObject*>());
            sheet && sheet->isVisible()) {
            placeSheet(sheet);
        }
    } else if ((type == QEvent::Show || type == QEvent::Resize || type == QEvent::Hide) &&
               isSheetOfThisWindow(watched)) {
        auto* sheet = static_cast<QDialog*>(watched);
        if (type == QEvent::Hide) {
            layoutBar();  // the end of a sheet
        } else if (sheet->isVisible()) {
            if (type == QEvent::Show && sheet->windowHandle()) {
                sheet->windowHandle()->setProperty(kSheetOfWindow,
                                                   QVariant::fromValue<QObject*>(sheet));
                sheet->windowHandle()->installEventFilter(this);
            }
            placeSheet(sheet);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TitleBarWindow::placeSheet(QDialog* sheet) {
    // Its frame's top just below the bar, centred across the window, also when it grows. A
    // frame not known yet (the sheet is not on screen) is taken to be the last sheet's.
    QMargins frame = sheet->windowHandle() ? sheet->windowHandle()->frameMargins() : QMargins();
    if (frame.top() > 0) {
        sheetFrameTop_ = frame.top();
    } else if (!sheet->windowFlags().testFlag(Qt::FramelessWindowHint)) {
        frame.setTop(sheetFrameTop_);
    }
    const QPoint barBottom = mapToGlobal(QPoint(0, qRound(titleBarHeight_)));
    const int frameWidth = sheet->width() + frame.left() + frame.right();
    const QPoint content(barBottom.x() + (width() - frameWidth) / 2 + frame.left(),
                         barBottom.y() + frame.top());
    if (sheet->geometry().topLeft() != content) {
        // move() places the frame as Qt believes it to be; allow for that belief.
        sheet->move(content - (sheet->geometry().topLeft() - sheet->frameGeometry().topLeft()));
    }
}

void TitleBarWindow::layoutBar() {
    const int barHeight = qRound(titleBarHeight_);
    container_->setGeometry(0, 0, width(), barHeight);
    contentView_->setGeometry(0, barHeight, width(), qMax(0, height() - barHeight));
    auto top = [this](const QAbstractButton* button, bool centred, qreal margin) {
        return centred ? qRound((titleBarHeight_ - button->height()) / 2.0) : qRound(margin);
    };
    qreal x = buttonsLeftMargin_;
    for (int i = CloseButton; i <= ZoomButton; ++i) {
        QAbstractButton* button = buttons_[i];
        button->move(qRound(x), top(button, centerTrafficLights_, buttonsTopMargin_));
        button->raise();
        x += button->width() + buttonSeparation_;
    }
    QAbstractButton* fullScreen = buttons_[FullScreenButton];
    fullScreen->move(qRound(width() - fullScreenRightMargin_ - fullScreen->width()),
                     top(fullScreen, centerFullScreen_, fullScreenTopMargin_));
    fullScreen->raise();
}

}  // namespace qz
