// The title bar's own window buttons: the three round lights and the full-screen arrows.
#pragma once

#include <QAbstractButton>
#include <QColor>

namespace qz {

// One round window button, drawn in its own colour with a darker rim; under the mouse or with
// the keyboard's focus it shows what it does (a cross, a bar or a plus). `which` is a
// TitleBarWindow::WindowButton.
class TrafficLightButton : public QAbstractButton {
  public:
    TrafficLightButton(const QColor& color, int which, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    QColor color_;
    int which_;
    bool keyboardFocus_ = false;
};

// The full-screen button: two small arrows pointing apart, drawn in the bar's dark grey.
class FullScreenArrows : public QAbstractButton {
  public:
    explicit FullScreenArrows(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qz
