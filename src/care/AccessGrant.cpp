#include "care/AccessGrant.h"

#include "platform/Bookmark.h"
#include "platform/UserDefaults.h"

namespace qz {

bool accessGranted(const UserDefaults& defaults) {
    const QByteArray data = defaults.dataForKey(kExportDirectoryKey);
    return !data.isEmpty() && Bookmark::resolve(data).has_value();
}

}  // namespace qz
