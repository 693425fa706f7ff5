#include "gui/chrome/PopupPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace qz {

namespace {

// Moves [start, start + length) inside [low, high); a span longer than the room starts at low.
int keepInside(int start, int length, int low, int high) {
    return std::max(low, std::min(start, high - length));
}

}  // namespace

QPoint popupPosition(const QRect& anchor, const QSize& size, const QRect& screen,
                     PopupAlignment alignment) {
    const int screenBottom = screen.y() + screen.height();
    const int below = anchor.y() + anchor.height();
    const int roomBelow = screenBottom - below;
    const int roomAbove = anchor.y() - screen.y();
    int y = below;
    if (size.height() > roomBelow) {
        if (size.height() <= roomAbove || roomAbove > roomBelow) {
            y = anchor.y() - size.height();
        }
        y = keepInside(y, size.height(), screen.y(), screenBottom);
    }
    const int preferredX = alignment == PopupAlignment::Center
                               ? anchor.x() + (anchor.width() - size.width()) / 2
                               : anchor.x();
    const int x = keepInside(preferredX, size.width(), screen.x(), screen.x() + screen.width());
    return {x, y};
}

void showPopup(QWidget* popup, const QWidget* anchor, PopupAlignment alignment) {
    popup->adjustSize();
    const QRect control(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QScreen* screen = QGuiApplication::screenAt(control.center());
    if (!screen) {
        screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : control;
    popup->move(popupPosition(control, popup->size(), area, alignment));
    popup->show();
    popup->raise();
}

}  // namespace qz
