// The database paths of a care: which edit a path makes, what it would remove in a dry run,
// and the edit itself, made only while the browser is closed.
#pragma once

#include <QList>
#include <QString>

#include "core/browsers/Browser.h"
#include "core/formats/DatabaseEdit.h"

namespace qz {

class FileManager;
struct CareCallbacks;
struct CareReport;
struct PlannedRemoval;

// The edit a database path stands for; an edit without a change for DatabaseChange::None.
DatabaseEdit databaseEdit(DatabaseChange change);

// "20,000 visits, 3,700 pages": the counts that are not zero, in their order.
QString rowCountText(const QList<RowCount>& counts);

// Fills a dry run's entry for a database path: what the edit would remove (the pending log
// included) or why it would be refused; its size is the database's with its companions.
void planDatabase(PlannedRemoval& entry, const FileManager& files);

// Edits one database of the browser unless the browser is running (checked again here, so no
// caller can reach an edit while it runs) and records the outcome: the edit, the database that
// was not there, or the refusal or failure with its reason (also logged).
void careForDatabase(BrowserId browser, const CarePath& path, const QString& platformPath,
                     const FileManager& files, CareReport& report, const CareCallbacks& callbacks);

}  // namespace qz
