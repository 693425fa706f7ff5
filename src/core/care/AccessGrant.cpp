#include "core/care/AccessGrant.h"

#include "core/formats/Bookmark.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

bool accessGranted(const UserDefaults& defaults) {
    const QByteArray data = defaults.dataForKey(Settings::Key::folderGrant);
    return !data.isEmpty() && Bookmark::resolve(data).has_value();
}

}  // namespace qz
