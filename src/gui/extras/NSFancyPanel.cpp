#include "gui/extras/NSFancyPanel.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace qz {

NSFancyPanel::NSFancyPanel(const QSize& contentSize, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("panelToDisplay"));
    setFixedSize(contentSize);
    setFocusPolicy(Qt::StrongFocus);
    installEventFilter(this);
}

void NSFancyPanel::setContentView(QWidget* content) {
    content_ = content;
    if (!content) {
        return;
    }
    content->setParent(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    content->installEventFilter(this);
    for (QWidget* control : content->findChildren<QWidget*>()) {
        control->installEventFilter(this);
    }
    content->show();
}

bool NSFancyPanel::sendEvent(QObject* /*receiver*/, QEvent* event) {
    if (!controller_) {
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        // A modifier pressed alone (Shift, Ctrl, …) changes the modifiers; it is not a key press.
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Shift:
            case Qt::Key_Control:
            case Qt::Key_Meta:
            case Qt::Key_Alt:
            case Qt::Key_AltGr:
            case Qt::Key_CapsLock:
            case Qt::Key_NumLock:
            case Qt::Key_Super_L:
            case Qt::Key_Super_R:
                return false;
            default:
                return controller_->handlesKeyDown(key, this);
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        auto* press = static_cast<QMouseEvent*>(event);
        if (press->button() == Qt::LeftButton || press->button() == Qt::RightButton) {
            return controller_->handlesMouseDown(press, this);
        }
    }
    return false;
}

bool NSFancyPanel::eventFilter(QObject* watched, QEvent* event) {
    if (sendEvent(watched, event)) {
        event->accept();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void NSFancyPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::ActivationChange) {
        if (isActiveWindow()) {
            wasActive_ = true;
        } else if (wasActive_) {
            wasActive_ = false;
            emit didResignMain();
        }
    }
    QWidget::changeEvent(event);
}

}  // namespace qz
