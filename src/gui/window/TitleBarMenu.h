// The main window's title-bar menu (right click): the window's commands in one list.
#pragma once

#include <QList>

class QAction;

namespace qz {

class AppDelegate;

// Adds the commands to the title bar of the delegate's window and returns them in menu order.
QList<QAction*> installTitleBarMenu(AppDelegate& delegate);

}  // namespace qz
