#include "core/care/CookieRows.h"

namespace qz {

QList<RowCount> cookieHosts(SqliteDatabase& db, const SqliteTable& table) {
    QList<RowCount> hosts;
    const QString& host = table.columns.first();
    SqliteStatement select =
        db.prepare(QStringLiteral("SELECT %1, COUNT(*) FROM %2 GROUP BY %1").arg(host, table.name));
    while (select.valid() && select.step() == SqliteStatement::Step::Row) {
        hosts.append({select.text(0), select.int64(1)});
    }
    return hosts;
}

std::optional<SqliteTable> cookieTable(BrowserId browser) {
    const BrowserFamily& family = browserFamily(browser);
    if (family.cookieTable.isEmpty()) {
        return std::nullopt;
    }
    return SqliteTable{family.cookieTable, {family.cookieHostColumn}};
}

DatabaseEdit cookieRowsEdit(const SqliteTable& table, const CookieKeepList& keep) {
    DatabaseEdit edit;
    edit.schema = {table};
    edit.survey = [table, keep](SqliteDatabase& db) {
        RowCount going{QStringLiteral("cookies"), 0};
        RowCount kept{QStringLiteral("kept"), 0};
        for (const RowCount& host : cookieHosts(db, table)) {
            (keep.keepsHost(host.what) ? kept : going).rows += host.rows;
        }
        return QList<RowCount>{going, kept};
    };
    edit.change = [table, keep](SqliteDatabase& db, QList<RowCount>& removed) {
        // Rows go by their row id, so a host no text can match exactly (none, or not UTF-8)
        // goes too.
        QList<qint64> doomed;
        SqliteStatement select = db.prepare(
            QStringLiteral("SELECT rowid, %1 FROM %2").arg(table.columns.first(), table.name));
        if (!select.valid()) {
            return false;
        }
        SqliteStatement::Step step;
        while ((step = select.step()) == SqliteStatement::Step::Row) {
            if (!keep.keepsHost(select.text(1))) {
                doomed.append(select.int64(0));
            }
        }
        SqliteStatement remove =
            db.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(table.name));
        if (step != SqliteStatement::Step::Done || !remove.valid()) {
            return false;
        }
        for (qint64 row : doomed) {
            remove.reset();
            if (!remove.bind(1, row) || remove.step() != SqliteStatement::Step::Done) {
                return false;
            }
        }
        removed.append({QStringLiteral("cookies"), doomed.size()});
        return true;
    };
    return edit;
}

CookieRowCounts cookieRowCounts(const QList<RowCount>& counts) {
    CookieRowCounts result;
    for (const RowCount& count : counts) {
        (count.what == QStringLiteral("kept") ? result.kept : result.going) += count.rows;
    }
    return result;
}

}  // namespace qz
