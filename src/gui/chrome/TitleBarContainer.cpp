#include "gui/chrome/TitleBarContainer.h"

#include "gui/chrome/TitleBarView.h"
#include "gui/chrome/TitleBarWindow.h"

namespace qz {

TitleBarContainer::TitleBarContainer(TitleBarWindow* window)
    : QWidget(window), view_(new TitleBarView(window, this)) {
    setObjectName(QStringLiteral("titleBarContainer"));
}

void TitleBarContainer::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    view_->setGeometry(rect());
}

}  // namespace qz
