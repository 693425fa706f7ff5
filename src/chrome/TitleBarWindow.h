// A top-level window whose title bar the program draws itself: adjustable height and colours,
// the three window buttons at a chosen left margin, and a view that can hold our own controls.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QWidget>

namespace qz {

class TitleBarWindow;

// The strip at the top of a TitleBarWindow: draws the bar and moves the window when dragged.
class TitleBarView : public QWidget {
    Q_OBJECT
  public:
    explicit TitleBarView(TitleBarWindow* window);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TitleBarWindow* window_;
};

class TitleBarWindow : public QWidget {
    Q_OBJECT
  public:
    // Which standard button: close, minimise (miniaturise) and zoom, in their row order.
    enum WindowButton { CloseButton = 0, MiniaturizeButton = 1, ZoomButton = 2 };

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

    // The view that draws the bar; our own controls are added to it as children.
    QWidget* titleBarView() const { return titleBarView_; }
    // The area below the bar that holds the window's content.
    QWidget* contentView() const { return contentView_; }
    QAbstractButton* standardWindowButton(WindowButton which) const;

    void setBackgroundColor(const QColor& color);
    // Resizes the window so that the content area below the bar gets this size.
    void setContentSize(const QSize& size);
    QSize contentSize() const { return contentView_->size(); }
    // Moves the window to the middle of its screen.
    void center();
    // Shows the window, raises it and gives it the keyboard focus.
    void makeKeyAndOrderFront();

    // Whether the bar is drawn with its active colours.
    bool isActive() const { return isActiveWindow(); }
    // The noise tile laid over the active bar: 124 × 124 grey pixels from a fixed seed.
    static const QImage& noiseTile();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void layoutBar();

    qreal titleBarHeight_ = 22.0;
    QColor startColor_ = QColor::fromRgbF(0.66f, 0.66f, 0.66f);
    QColor endColor_ = QColor::fromRgbF(0.9f, 0.9f, 0.9f);
    QColor inactiveStartColor_ = QColor::fromRgbF(0.878f, 0.878f, 0.878f);
    QColor inactiveEndColor_ = QColor::fromRgbF(0.976f, 0.976f, 0.976f);
    bool showsBaselineSeparator_ = true;
    qreal buttonsLeftMargin_ = 7.0;
    qreal buttonSeparation_ = 8.0;
    TitleBarView* titleBarView_;
    QWidget* contentView_;
    QAbstractButton* buttons_[3];
};

}  // namespace qz
