#include "core/formats/FirefoxHistory.h"

namespace qz {

namespace {

// A page stays while a bookmark (a tag is a bookmark too) or a keyword points at it.
const QString kPageIsKept = QStringLiteral(
    "(EXISTS (SELECT 1 FROM moz_bookmarks b WHERE b.fk = moz_places.id) OR "
    "EXISTS (SELECT 1 FROM moz_keywords k WHERE k.place_id = moz_places.id))");

// What some Firefox versions record about viewed pages beside the visits: how long a page was
// looked at, what was typed or searched, sessions of pages. Emptied wherever present.
const char* const kPageMetadata[] = {
    "moz_places_metadata",
    "moz_places_metadata_search_queries",
    "moz_places_metadata_snapshots",
    "moz_places_metadata_snapshots_extra",
    "moz_places_metadata_snapshots_groups",
    "moz_places_metadata_groups_to_snapshots",
    "moz_session_metadata",
    "moz_session_to_places",
};

bool hasColumn(SqliteDatabase& db, const QString& table, const QString& column) {
    return db.missingFromSchema({{table, {column}}}).isEmpty();
}

// Runs one statement and adds the rows it changed to `rows`.
bool removeRows(SqliteDatabase& db, const QString& sql, qint64& rows) {
    if (!db.exec(sql)) {
        return false;
    }
    rows += db.changes();
    return true;
}

bool change(SqliteDatabase& db, QList<RowCount>& removed) {
    qint64 visits = 0;
    qint64 pages = 0;
    qint64 inputs = 0;
    qint64 metadata = 0;
    qint64 annotations = 0;
    qint64 origins = 0;
    qint64 ignored = 0;
    if (!removeRows(db, QStringLiteral("DELETE FROM moz_historyvisits"), visits) ||
        (db.hasTable(QStringLiteral("moz_historyvisits_extra")) &&
         !removeRows(db, QStringLiteral("DELETE FROM moz_historyvisits_extra"), ignored)) ||
        !removeRows(db, QStringLiteral("DELETE FROM moz_inputhistory"), inputs)) {
        return false;
    }
    for (const char* table : kPageMetadata) {
        if (db.hasTable(QLatin1String(table)) &&
            !removeRows(db, QStringLiteral("DELETE FROM %1").arg(QLatin1String(table)), metadata)) {
            return false;
        }
    }
    if (!removeRows(db, QStringLiteral("DELETE FROM moz_places WHERE NOT %1").arg(kPageIsKept),
                    pages) ||
        (db.hasTable(QStringLiteral("moz_places_extra")) &&
         !removeRows(db,
                     QStringLiteral("DELETE FROM moz_places_extra WHERE NOT EXISTS (SELECT 1 "
                                    "FROM moz_places p WHERE p.id = moz_places_extra.place_id)"),
                     ignored)) ||
        !removeRows(db,
                    QStringLiteral("DELETE FROM moz_annos WHERE NOT EXISTS (SELECT 1 FROM "
                                   "moz_places p WHERE p.id = moz_annos.place_id)"),
                    annotations) ||
        // The download list lives in annotations too, on bookmarked pages as on others.
        (db.hasTable(QStringLiteral("moz_anno_attributes")) &&
         !removeRows(db,
                     QStringLiteral("DELETE FROM moz_annos WHERE anno_attribute_id IN (SELECT id "
                                    "FROM moz_anno_attributes WHERE name LIKE 'downloads/%')"),
                     annotations)) ||
        !removeRows(db,
                    QStringLiteral("DELETE FROM moz_origins WHERE NOT EXISTS (SELECT 1 FROM "
                                   "moz_places p WHERE p.origin_id = moz_origins.id)"),
                    origins)) {
        return false;
    }
    // The pages that stay keep their address and title but no trace of a visit. Their
    // frecency goes back to "not yet computed" (the column's default), and where this Firefox
    // keeps a flag for it, it recomputes pages and origins.
    QString reset = QStringLiteral(
        "UPDATE moz_places SET visit_count = 0, last_visit_date = NULL, typed = 0, frecency = -1");
    for (const char* flag : {"recalc_frecency", "recalc_alt_frecency"}) {
        if (hasColumn(db, QStringLiteral("moz_places"), QLatin1String(flag))) {
            reset += QStringLiteral(", %1 = 1").arg(QLatin1String(flag));
        }
    }
    if (hasColumn(db, QStringLiteral("moz_places"), QStringLiteral("alt_frecency"))) {
        reset += QStringLiteral(", alt_frecency = NULL");
    }
    if (!db.exec(reset) ||
        (hasColumn(db, QStringLiteral("moz_origins"), QStringLiteral("recalc_frecency")) &&
         !db.exec(QStringLiteral("UPDATE moz_origins SET recalc_frecency = 1")))) {
        return false;
    }
    removed.append({QStringLiteral("visits"), visits});
    removed.append({QStringLiteral("pages"), pages});
    removed.append({QStringLiteral("input entries"), inputs});
    removed.append({QStringLiteral("page metadata"), metadata});
    removed.append({QStringLiteral("annotations"), annotations});
    removed.append({QStringLiteral("origins"), origins});
    return true;
}

QList<RowCount> survey(SqliteDatabase& db) {
    QList<RowCount> counts;
    counts.append(
        {QStringLiteral("visits"),
         db.scalar(QStringLiteral("SELECT count(*) FROM moz_historyvisits")).value_or(0)});
    counts.append(
        {QStringLiteral("pages"),
         db.scalar(QStringLiteral("SELECT count(*) FROM moz_places WHERE NOT %1").arg(kPageIsKept))
             .value_or(0)});
    return counts;
}

}  // namespace

DatabaseEdit firefoxHistoryEdit() {
    DatabaseEdit edit;
    edit.schema = {
        {QStringLiteral("moz_places"),
         {QStringLiteral("id"), QStringLiteral("url"), QStringLiteral("title"),
          QStringLiteral("visit_count"), QStringLiteral("last_visit_date"), QStringLiteral("typed"),
          QStringLiteral("frecency"), QStringLiteral("origin_id")}},
        {QStringLiteral("moz_historyvisits"), {QStringLiteral("id"), QStringLiteral("place_id")}},
        {QStringLiteral("moz_inputhistory"), {QStringLiteral("place_id")}},
        {QStringLiteral("moz_bookmarks"), {QStringLiteral("id"), QStringLiteral("fk")}},
        {QStringLiteral("moz_keywords"), {QStringLiteral("id"), QStringLiteral("place_id")}},
        {QStringLiteral("moz_annos"), {QStringLiteral("id"), QStringLiteral("place_id")}},
        {QStringLiteral("moz_origins"), {QStringLiteral("id")}},
    };
    edit.survey = survey;
    edit.change = change;
    return edit;
}

}  // namespace qz
