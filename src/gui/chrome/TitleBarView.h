// The view that draws a TitleBarWindow's bar; it moves the window when dragged and minimises
// it on a double click when the user asks for that.
#pragma once

#include <QPoint>
#include <QWidget>

#include "core/settings/Settings.h"

namespace qz {

class TitleBarWindow;

class TitleBarView : public QWidget {
    Q_OBJECT
  public:
    TitleBarView(TitleBarWindow* window, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void drawBar(QPainter& painter, bool active);
    void drawTitle(QPainter& painter);

    TitleBarWindow* window_;
    QPoint pressPosition_;
    bool pressed_ = false;
    bool doubleClicked_ = false;
};

}  // namespace qz
