// What removing one item left behind: nothing there to begin with, everything gone, or the
// paths that stayed with the reason each could not be removed.
#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <string>

#include "core/fs/ByteSum.h"

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

// Running totals of what removals took away: every entry but a folder counts as a file, with the
// size its lstat gave. Added to by the removing thread, read from any other while it goes.
struct RemovalCounter {
    std::atomic<quint64> files{0};
    std::atomic<quint64> bytes{0};

    void add(quint64 size) {
        files.fetch_add(1, std::memory_order_relaxed);
        saturatingAdd(bytes, size);
    }
};

// For tests of removals that race another remover: called after each folder beneath an item
// has been listed and before anything in it goes, with the folder's path beneath the item ("" for
// the item itself, "a/b/" beneath it). Null by default.
using RemovalListingHook = void (*)(const std::string& relative);
void setRemovalListingHook(RemovalListingHook hook);

}  // namespace qz
