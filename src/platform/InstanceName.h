// The name of the local server the window holds while it runs, so that the command line can
// tell that the window owns the care history.
#pragma once

#include <QString>

namespace qz {

// "quenzel-" + the user id + "-" + a short hash of the folder that holds the care history.
QString singleInstanceServerName();
// Whether a window instance answers on that name.
bool windowInstanceRunning();

}  // namespace qz
