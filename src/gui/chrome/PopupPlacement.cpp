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
                     PopupAlignment alignment, PopupSide side) {
    const int screenBottom = screen.y() + screen.height();
    const int belowY = anchor.y() + anchor.height();
    const int aboveY = anchor.y() - size.height();
    const int roomBelow = screenBottom - belowY;
    const int roomAbove = anchor.y() - screen.y();
    const bool below = side == PopupSide::Below;
    const int roomPreferred = below ? roomBelow : roomAbove;
    const int roomOther = below ? roomAbove : roomBelow;
    int y = below ? belowY : aboveY;
    if (size.height() > roomPreferred) {
        if (size.height() <= roomOther || roomOther > roomPreferred) {
            y = below ? aboveY : belowY;
        }
        y = keepInside(y, size.height(), screen.y(), screenBottom);
    }
    const int preferredX = alignment == PopupAlignment::Center
                               ? anchor.x() + (anchor.width() - size.width()) / 2
                               : anchor.x();
    const int x = keepInside(preferredX, size.width(), screen.x(), screen.x() + screen.width());
    return {x, y};
}

void showPopup(QWidget* popup, const QWidget* anchor, PopupAlignment alignment, PopupSide side) {
    popup->adjustSize();
    const QRect control(anchor->mapToGlobal(QPoint(0, 0)), anchor->size());
    QScreen* screen = QGuiApplication::screenAt(control.center());
    if (!screen) {
        screen = anchor->screen() ? anchor->screen() : QGuiApplication::primaryScreen();
    }
    const QRect area = screen ? screen->availableGeometry() : control;
    popup->move(popupPosition(control, popup->size(), area, alignment, side));
    popup->show();
    popup->raise();
}

}  // namespace qz
