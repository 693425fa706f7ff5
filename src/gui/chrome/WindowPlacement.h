// Placing a top-level window in the middle of its screen's free area, and showing it there.
#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace qz {

inline void centreOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        window->move(screen->availableGeometry().center() - window->rect().center());
    }
}

// Shows a secondary window, the first time in the middle of the screen, and brings it forward.
inline void showWindowCentredFirstTime(QWidget* window) {
    if (!window->property("qzPlaced").toBool()) {
        window->setProperty("qzPlaced", true);
        centreOnScreen(window);
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace qz
