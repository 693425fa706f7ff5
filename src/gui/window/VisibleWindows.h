// Which of the program's top-level widgets count as windows the user can see: the tray icon's
// helper, pop-ups, tool tips and minimised windows do not.
#pragma once

#include <QWidgetList>

class QWidget;

namespace qz {

bool countsAsVisibleWindow(const QWidget* widget);
// True when any of the application's top-level widgets counts.
bool hasVisibleWindows();

}  // namespace qz
