// Whether a top-level window shows in the task bar and the task switcher: the Linux form of
// an application's Dock icon. On X11 this is the window's skip-taskbar and skip-pager state.
#pragma once

class QWidget;

namespace qz {

// Takes effect at once on a shown window and again each time the window is shown.
void setSkipsTaskbar(QWidget* window, bool skips);
bool skipsTaskbar(const QWidget* window);
// Whether the choice can take effect: an X11 display; under Wayland the desktop decides.
bool taskbarPresenceApplies();

}  // namespace qz
