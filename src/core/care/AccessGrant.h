// The user's grant of the home folder, kept as a bookmark in the settings.
#pragma once

namespace qz {

class UserDefaults;

// Whether a grant is stored and still resolves (a stale bookmark counts as resolved).
bool accessGranted(const UserDefaults& defaults);

}  // namespace qz
