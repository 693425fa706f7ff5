#include "care/AccessGrant.h"

#include "platform/Bookmark.h"
#include "platform/Settings.h"
#include "platform/UserDefaults.h"

namespace qz {

bool accessGranted(const UserDefaults& defaults) {
    const QByteArray data = defaults.dataForKey(Settings::Key::folderGrant);
    return !data.isEmpty() && Bookmark::resolve(data).has_value();
}

}  // namespace qz
