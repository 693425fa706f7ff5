#include "gui/window/VisibleWindows.h"

#include <QApplication>
#include <QWidget>

namespace qz {

bool countsAsVisibleWindow(const QWidget* widget) {
    if (!widget || !widget->isWindow() || !widget->isVisible() || widget->isMinimized()) {
        return false;
    }
    const Qt::WindowType type = widget->windowType();
    if (type != Qt::Window && type != Qt::Dialog) {
        return false;  // pop-ups, tool tips, splash screens and the like
    }
    // The tray icon embeds a top-level widget of its own that the window manager never sees.
    return !widget->windowFlags().testFlag(Qt::BypassWindowManagerHint) &&
           !widget->inherits("QSystemTrayIconSys");
}

bool hasVisibleWindows() {
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (countsAsVisibleWindow(widget)) {
            return true;
        }
    }
    return false;
}

}  // namespace qz
