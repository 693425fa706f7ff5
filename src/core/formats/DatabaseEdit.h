// Changing rows of a browser's database without ever leaving a broken one: the file reached
// without links, a layout we recognise, the write-ahead log folded in, the change made and
// checked on a copy that replaces the original in one rename.
#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>
#include <functional>

#include "core/formats/SqliteDatabase.h"

namespace qz {

class FileManager;

// How many rows of one kind an edit removes or would remove, e.g. {"visits", 20000}.
struct RowCount {
    QString what;
    qint64 rows = 0;
};

// What a caller gives: the tables and columns it relies on, and the change itself.
struct DatabaseEdit {
    // Every table and column the survey and the change use; a database lacking one is refused
    // and left untouched.
    QList<SqliteTable> schema;
    // Counts what the change would remove, reading only (a dry run). May be empty.
    std::function<QList<RowCount>(SqliteDatabase& db)> survey;
    // Makes the change on the copy, inside one transaction the edit opens and commits; appends
    // what it removed. False fails the edit (the reason is the database's errorText()).
    std::function<bool(SqliteDatabase& db, QList<RowCount>& removed)> change;
};

// The steps of an edit, in order; a test may stop an edit after any of them.
enum class DatabaseEditStep {
    Recognised,  // the file is a regular one reached without links, its layout is known
    Folded,      // the write-ahead log is checkpointed into the original, which SQLite makes safe
    Copied,      // the original is copied beside itself
    Changed,     // the change is committed in the copy
    Vacuumed,    // the copy is compacted
    Verified,    // the copy passed the integrity check
    Synced,      // the copy is on disk
    Renamed,     // the copy has replaced the original, and the folder is on disk
    Tidied,      // the original's empty log and shared-memory index are gone
};

// Called after each step; false stops the edit right there, leaving every file as a crash at
// that moment would (a seam for the tests).
using DatabaseEditHook = std::function<bool(DatabaseEditStep step)>;

struct DatabaseEditResult {
    enum class Outcome {
        Missing,  // no database at the path: nothing to do
        Edited,   // the new database is in place
        Refused,  // a link, not a regular file, or an unknown layout: nothing touched
        Failed,   // something went wrong on the way: the old database is in place
        Stopped,  // the hook stopped it
    };
    Outcome outcome = Outcome::Missing;
    QString reason;           // why it was refused or failed
    QList<RowCount> removed;  // as the change reported it
    quint64 bytesBefore = 0;  // the database and its write-ahead log before the edit
    quint64 bytesAfter = 0;   // the database after it

    qint64 rowsRemoved() const;
    quint64 bytesFreed() const { return bytesBefore > bytesAfter ? bytesBefore - bytesAfter : 0; }
};

// Edits the database at a platform path below the root. The caller makes sure that no program
// has the database open (the browser is closed): the edit does not wait for locks.
DatabaseEditResult editDatabase(const QString& platformPath, const DatabaseEdit& edit,
                                const FileManager& files, const DatabaseEditHook& hook = {});

struct DatabaseSurvey {
    enum class Outcome { Missing, Read, Refused, Failed };
    Outcome outcome = Outcome::Missing;
    QString reason;          // why it was refused or could not be read
    QList<RowCount> counts;  // what the change would remove
    quint64 bytes = 0;       // the database and its write-ahead log
};

// Reads what an edit would remove, changing nothing in the database (its pending log included).
DatabaseSurvey surveyDatabase(const QString& platformPath, const DatabaseEdit& edit,
                              const FileManager& files);

}  // namespace qz
