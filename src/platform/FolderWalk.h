// Sums the sizes of everything beneath an open folder, on several threads for large trees.
#pragma once

#include <QtGlobal>

namespace qz {

// Takes ownership of dirFd (an open folder). Files, links and other entries count their own
// size; folders count 0; entries that cannot be read are skipped. Links are never followed.
quint64 sumEntrySizesBeneath(int dirFd);

}  // namespace qz
