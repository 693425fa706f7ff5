// Firefox's history edited out of places.sqlite by a care: visits, typed input and page
// metadata go (the pending log's too), bookmarked pages stay without visit data; a layout
// without a table the edit needs, or a running browser, leaves the database as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>

#include "core/care/CareRun.h"
#include "core/care/DatabaseCare.h"
#include "core/formats/SqliteDatabase.h"
#include "fixtures/FirefoxPlaces.h"
#include "fixtures/LinuxHome.h"

namespace qz {
namespace {

const QString kProfile = QStringLiteral("/.mozilla/firefox/abcd.default-release");

QByteArray bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DatabaseCareTest, FirefoxHistoryGoesAndBookmarksStay) {
    const struct {
        const char* name;
        const char* before;   // SQL run on the fixture first (its log is then folded in)
        bool lockHeld;        // a live process holds the profile's lock
        const char* refused;  // empty: edited
    } cases[] = {
        {"pending log", "", false, ""},
        {"an older Firefox without page metadata",
         "DROP TABLE moz_places_metadata; DROP TABLE moz_places_metadata_search_queries; "
         "DROP TABLE moz_places_extra; DROP TABLE moz_historyvisits_extra",
         false, ""},
        {"no origins table", "DROP TABLE moz_origins", false, "no table moz_origins"},
        {"no keyword column",
         "DROP INDEX moz_keywords_placepostdata_uniqueindex; ALTER TABLE moz_keywords DROP COLUMN "
         "place_id",
         false, "no column moz_keywords.place_id"},
        {"browser running", "", true, "Firefox is running"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::LinuxHome home;
        const QString platformPath = kProfile + "/places.sqlite";
        const QString local = home.local(platformPath);
        if (*c.before) {
            SqliteDatabase db;
            ASSERT_TRUE(db.open(local, SqliteDatabase::Access::ReadWrite));
            ASSERT_TRUE(db.exec(c.before)) << db.errorText().toStdString();
        }
        if (c.lockHeld) {
            home.makeLink(kProfile + "/lock", "127.0.0.1:+" + QString::number(::getpid()));
        }
        const test::PlacesCounts before = test::countPlaces(local);
        const QByteArray database = bytes(local);
        const QByteArray log = bytes(local + "-wal");
        // Four bookmarked pages (one also tagged), two with keywords, and in the pending log's
        // part one of each.
        constexpr qint64 kKept = 8;

        const CarePath path{PathKind::Database, "places.sqlite", PathBase::Profile,
                            BrowserId::Firefox, false,           DatabaseChange::FirefoxHistory};
        // The dry run counts through the log, or says why the edit would be refused; a running
        // browser is the care's own refusal.
        PlannedRemoval plan{"historyF", path, platformPath, 0, false, 0, {}, {}};
        planDatabase(plan, home.files());
        EXPECT_TRUE(plan.exists);
        if (*c.refused && !c.lockHeld) {
            EXPECT_TRUE(plan.refused.contains(c.refused)) << plan.refused.toStdString();
        } else {
            EXPECT_EQ(
                rowCountText(plan.rows),
                QStringLiteral("%1 visits, %2 pages").arg(before.visits).arg(before.pages - kKept));
        }
        EXPECT_EQ(bytes(local), database);
        EXPECT_EQ(bytes(local + "-wal"), log);

        CareReport report;
        QList<EditedDatabase> heard;
        CareCallbacks callbacks;
        callbacks.edited = [&](const EditedDatabase& edited) { heard.append(edited); };
        careForDatabase(BrowserId::Firefox, path, platformPath, home.files(), report, callbacks);

        const test::PlacesCounts after = test::countPlaces(local);
        EXPECT_EQ(after.integrity, "ok");
        if (*c.refused) {
            ASSERT_EQ(report.failed.size(), 1);
            EXPECT_TRUE(report.failed[0].reason.contains(c.refused))
                << report.failed[0].reason.toStdString();
            EXPECT_TRUE(report.edited.isEmpty());
            EXPECT_EQ(bytes(local), database);
            EXPECT_EQ(bytes(local + "-wal"), log);
            continue;
        }
        ASSERT_TRUE(report.complete()) << report.failed.value(0).reason.toStdString();
        ASSERT_EQ(report.edited.size(), 1);
        EXPECT_EQ(heard.size(), 1);
        EXPECT_EQ(after.visits, 0);
        EXPECT_EQ(after.inputs, 0);
        EXPECT_EQ(after.metadata, *c.before ? -1 : 0);
        EXPECT_EQ(after.searchQueries, *c.before ? -1 : 0);
        EXPECT_EQ(after.pages, kKept);
        EXPECT_EQ(after.visitedPages, 0);
        EXPECT_EQ(after.unusedOrigins, 0);
        EXPECT_EQ(after.orphanAnnotations, 0);
        EXPECT_GT(before.downloads, 0);
        EXPECT_EQ(after.downloads, 0);    // the download list is history too
        EXPECT_GT(after.annotations, 0);  // the others of bookmarked pages stay
        EXPECT_EQ(after.bookmarks, before.bookmarks);
        EXPECT_EQ(after.bookmarkDigest, before.bookmarkDigest);
        EXPECT_EQ(after.keywordDigest, before.keywordDigest);
        EXPECT_FALSE(QFile::exists(local + "-wal"));

        const EditedDatabase& edited = report.edited[0];
        EXPECT_EQ(edited.path, platformPath);
        const auto removed = [&](const QString& what) {
            for (const RowCount& count : edited.removed) {
                if (count.what == what) {
                    return count.rows;
                }
            }
            return qint64(-1);
        };
        EXPECT_EQ(removed("visits"), before.visits);
        EXPECT_EQ(removed("pages"), before.pages - kKept);
        EXPECT_EQ(removed("input entries"), before.inputs);
        EXPECT_EQ(removed("page metadata"), *c.before ? 0 : before.metadata + before.searchQueries);
        EXPECT_EQ(removed("annotations"), before.annotations - after.annotations);
        EXPECT_EQ(removed("origins"), before.origins - after.origins);
        EXPECT_GT(edited.bytesFreed, 0u);
    }
}

TEST(DatabaseCareTest, CountsReadAsTheDryRunShowsThem) {
    const struct {
        QList<RowCount> counts;
        const char* text;
    } cases[] = {
        {{{"visits", 20000}, {"pages", 3700}}, "20,000 visits, 3,700 pages"},
        {{{"visits", 0}, {"pages", 12}, {"origins", 1}}, "12 pages, 1 origins"},
        {{{"visits", 0}}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(rowCountText(c.counts), c.text);
    }
}

}  // namespace
}  // namespace qz
