// A browser's cookie database edited row by row: the cookies of every site but the kept ones go,
// the file stays. The browser table names each family's table and host column.
#pragma once

#include "core/browsers/Browser.h"
#include "core/care/CookieKeepList.h"
#include "core/formats/DatabaseEdit.h"

namespace qz {

// The cookie table of the browser's cookie database and its host column, as its family names
// them; nothing for a family whose cookies are not rows of ours.
std::optional<SqliteTable> cookieTable(BrowserId browser);

// The edit that deletes every cookie whose host the list does not keep. Its survey answers
// {"cookies", rows that would go} and {"kept", rows that stay}; its change reports
// {"cookies", rows deleted}.
DatabaseEdit cookieRowsEdit(const SqliteTable& table, const CookieKeepList& keep);

// The hosts in the table, each with its number of cookies (a missing host counts as "").
QList<RowCount> cookieHosts(SqliteDatabase& db, const SqliteTable& table);

// What a survey of that edit found.
struct CookieRowCounts {
    qint64 going = 0;
    qint64 kept = 0;
};
CookieRowCounts cookieRowCounts(const QList<RowCount>& counts);

}  // namespace qz
