// A view that fills itself with a fixed vertical gradient, light grey at the top to a darker
// slate at the bottom; used as a background behind controls.
#pragma once

#include <QColor>
#include <QWidget>

namespace qz {

class GradientView : public QWidget {
    Q_OBJECT
  public:
    static const QColor kTopColor;
    static const QColor kBottomColor;

    explicit GradientView(QWidget* parent = nullptr) : QWidget(parent) {}

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace qz
