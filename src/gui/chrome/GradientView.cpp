#include "gui/chrome/GradientView.h"

#include <QLinearGradient>
#include <QPainter>

namespace qz {

const QColor GradientView::kTopColor = QColor::fromRgbF(0.8392f, 0.8431f, 0.847f, 1.0f);
const QColor GradientView::kBottomColor = QColor::fromRgbF(0.4431f, 0.4509f, 0.479f, 1.0f);

void GradientView::paintEvent(QPaintEvent*) {
    // A 270-degree gradient: it runs downwards, from the top colour to the bottom one.
    QPainter painter(this);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, kTopColor);
    gradient.setColorAt(1, kBottomColor);
    painter.fillRect(rect(), gradient);
}

}  // namespace qz
