// Asks the desktop's application database (freedesktop MIME associations) whether some
// installed program opens addresses of a scheme.
#pragma once

#include <QString>

namespace qz {

bool desktopHandlesScheme(const QString& scheme);

}  // namespace qz
