// What removing one item left behind: nothing there to begin with, everything gone, or the
// paths that stayed with the reason each could not be removed.
#pragma once

#include <QList>
#include <QString>
#include <string>

namespace qz {

struct RemovalFailure {
    QString path;    // platform path of the entry that stayed
    QString reason;  // the system's text for the error
};

struct RemovalResult {
    enum class Outcome { Missing, Removed, Failed };
    Outcome outcome = Outcome::Missing;
    QList<RemovalFailure> failures;  // filled only when the outcome is Failed

    bool failed() const { return outcome == Outcome::Failed; }
};

// For tests of removals that race another remover: called after each folder beneath an item
// has been listed and before anything in it goes, with the folder's path beneath the item ("" for
// the item itself, "a/b/" beneath it). Null by default.
using RemovalListingHook = void (*)(const std::string& relative);
void setRemovalListingHook(RemovalListingHook hook);

}  // namespace qz
