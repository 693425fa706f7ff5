// The program's own data folders.
#pragma once

#include <QString>

namespace qz {

// The user's Application Support folder: $XDG_DATA_HOME (default ~/.local/share).
QString applicationSupportDirectory();

}  // namespace qz
