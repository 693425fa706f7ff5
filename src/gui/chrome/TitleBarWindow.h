// A top-level window whose title bar the program draws itself: adjustable height and colours,
// the window buttons where the properties put them, a view that can hold our own controls,
// full screen, and sheets that open just below the bar.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPalette>
#include <QSize>
#include <QWidget>

class QDialog;
class QStyle;

namespace qz {

class TitleBarContainer;
class TitleBarView;

class TitleBarWindow : public QWidget {
    Q_OBJECT
  public:
    // Which standard button: close, minimise (miniaturise) and zoom in their row order, then
    // full screen at the right end of the bar (hidden until a window shows it).
    enum WindowButton { CloseButton = 0, MiniaturizeButton = 1, ZoomButton = 2, FullScreenButton };

    explicit TitleBarWindow(QWidget* parent = nullptr);

    qreal titleBarHeight() const { return titleBarHeight_; }
    void setTitleBarHeight(qreal height);
    QColor titleBarStartColor() const { return startColor_; }
    void setTitleBarStartColor(const QColor& color);
    QColor titleBarEndColor() const { return endColor_; }
    void setTitleBarEndColor(const QColor& color);
    QColor inactiveTitleBarStartColor() const { return inactiveStartColor_; }
    void setInactiveTitleBarStartColor(const QColor& color);
    QColor inactiveTitleBarEndColor() const { return inactiveEndColor_; }
    void setInactiveTitleBarEndColor(const QColor& color);
    bool showsBaselineSeparator() const { return showsBaselineSeparator_; }
    void setShowsBaselineSeparator(bool shows);
    qreal trafficLightButtonsLeftMargin() const { return buttonsLeftMargin_; }
    void setTrafficLightButtonsLeftMargin(qreal margin);
    qreal trafficLightSeparation() const { return buttonSeparation_; }
    void setTrafficLightSeparation(qreal separation);
    bool centerTrafficLightButtons() const { return centerTrafficLights_; }
    void setCenterTrafficLightButtons(bool center);
    qreal trafficLightButtonsTopMargin() const { return buttonsTopMargin_; }
    void setTrafficLightButtonsTopMargin(qreal margin);
    qreal fullScreenButtonTopMargin() const { return fullScreenTopMargin_; }
    void setFullScreenButtonTopMargin(qreal margin);
    qreal fullScreenButtonRightMargin() const { return fullScreenRightMargin_; }
    void setFullScreenButtonRightMargin(qreal margin);
    bool centerFullScreenButton() const { return centerFullScreen_; }
    void setCenterFullScreenButton(bool center);
    bool hideTitleBarInFullScreen() const { return hideInFullScreen_; }
    void setHideTitleBarInFullScreen(bool hide);
    bool showsTitle() const { return showsTitle_; }
    void setShowsTitle(bool shows);

    // The strip at the top, and the view in it that draws the bar; our own controls are added
    // to the view as children.
    TitleBarContainer* titleBarContainer() const { return container_; }
    QWidget* titleBarView() const;
    // The area below the bar that holds the window's content.
    QWidget* contentView() const { return contentView_; }
    QAbstractButton* standardWindowButton(WindowButton which) const;

    // Fixes the window's whole palette (text, buttons and fields included) from this background,
    // and draws the window with a style that keeps to it, so that the desktop's theme changes
    // none of the colours it shows.
    void setBackgroundColor(const QColor& color);
    static QPalette fixedPalette(const QColor& window);
    // Resizes the window so that the content area below the bar gets this size.
    void setContentSize(const QSize& size);
    QSize contentSize() const { return contentView_->size(); }
    // Moves the window to the middle of its screen.
    void center();
    // Shows the window, raises it and gives it the keyboard focus.
    void makeKeyAndOrderFront();
    // Enters full screen, or leaves it back to the window's fixed size.
    void toggleFullScreen();

    // Whether the bar is drawn with its active colours.
    bool isActive() const { return isActiveWindow(); }
    // The noise tile laid over the active bar: 124 × 124 grey pixels from a fixed seed.
    static const QImage& noiseTile();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Places this window's sheets just below the bar and lays out again when one ends.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void layoutBar();
    // Gives a widget of this window (not of its sheets or pop-ups) the window's own style.
    void applyFixedStyle(QWidget* widget);
    void applyFullScreen(bool entering);
    bool isSheetOfThisWindow(QObject* object) const;
    void placeSheet(QDialog* sheet);
    template <typename T>
    void setThenLayout(T& member, const T& value) {
        member = value;
        layoutBar();
    }
    template <typename T>
    void setThenRedraw(T& member, const T& value) {
        member = value;
        redrawBar();
    }
    void redrawBar();

    qreal titleBarHeight_ = 22.0;
    QColor startColor_ = QColor::fromRgbF(0.66f, 0.66f, 0.66f);
    QColor endColor_ = QColor::fromRgbF(0.9f, 0.9f, 0.9f);
    QColor inactiveStartColor_ = QColor::fromRgbF(0.878f, 0.878f, 0.878f);
    QColor inactiveEndColor_ = QColor::fromRgbF(0.976f, 0.976f, 0.976f);
    bool showsBaselineSeparator_ = true;
    qreal buttonsLeftMargin_ = 7.0;
    qreal buttonSeparation_ = 8.0;
    bool centerTrafficLights_ = true;
    qreal buttonsTopMargin_ = 3.0;
    qreal fullScreenTopMargin_ = 3.0;
    qreal fullScreenRightMargin_ = 7.0;
    bool centerFullScreen_ = false;
    bool hideInFullScreen_ = false;
    bool showsTitle_ = false;
    bool inFullScreen_ = false;
    qreal heightBeforeFullScreen_ = 0;
    int sheetFrameTop_ = 0;  // the height of a sheet's window-manager frame above its content
    QSize minimumBeforeFullScreen_;
    QSize maximumBeforeFullScreen_;
    TitleBarContainer* container_;
    QWidget* contentView_;
    QAbstractButton* buttons_[4];
    QStyle* fixedStyle_ = nullptr;  // the style that follows the fixed palette, once it is fixed
};

}  // namespace qz
