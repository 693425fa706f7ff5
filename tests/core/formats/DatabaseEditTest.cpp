// Editing a browser's database: cut short after any step it leaves the old or the new database,
// whole; an unknown layout, a link or a special file is refused and left as it was.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <functional>
#include <optional>

#include "core/formats/DatabaseEdit.h"
#include "core/fs/FileManager.h"
#include "fixtures/FirefoxPlaces.h"

namespace qz {
namespace {

using Outcome = DatabaseEditResult::Outcome;
using Step = DatabaseEditStep;

// A plain edit over Firefox's tables: every visit goes, and every page without a bookmark.
DatabaseEdit visitsAndLoosePages() {
    DatabaseEdit edit;
    edit.schema = {
        {"moz_historyvisits", {"place_id"}}, {"moz_places", {"id"}}, {"moz_bookmarks", {"fk"}}};
    edit.change = [](SqliteDatabase& db, QList<RowCount>& removed) {
        if (!db.exec("DELETE FROM moz_historyvisits")) {
            return false;
        }
        removed.append({"visits", db.changes()});
        if (!db.exec("DELETE FROM moz_places WHERE id NOT IN (SELECT fk FROM moz_bookmarks "
                     "WHERE fk NOT NULL)")) {
            return false;
        }
        removed.append({"pages", db.changes()});
        return true;
    };
    edit.survey = [](SqliteDatabase& db) {
        return QList<RowCount>{{"visits", *db.scalar("SELECT count(*) FROM moz_historyvisits")}};
    };
    return edit;
}

class DatabaseEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(files_.setRoot(dir_.path()));
        ASSERT_TRUE(QDir().mkpath(dir_.filePath("profile")));
    }
    QString local(const QString& platformPath) const { return dir_.path() + platformPath; }
    QStringList entries(const QString& folder) const {
        return QDir(local(folder))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                       QDir::Name);
    }
    static QByteArray bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    FileManager files_;
};

// Runs the edit in a child process that is killed (SIGKILL) once it has finished `step`, or
// that ends on its own without one: nothing of the edit gets to close or clean up.
void editAndKill(const QString& path, const FileManager& files, std::optional<Step> step) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(ready[0]);
        editDatabase(path, visitsAndLoosePages(), files, [&](Step reached) {
            if (reached == step) {
                (void)!::write(ready[1], "k", 1);
                for (;;) {
                    ::pause();  // until the parent kills it
                }
            }
            return true;
        });
        ::_exit(0);
    }
    ::close(ready[1]);
    char signal = 0;
    const bool reached = ::read(ready[0], &signal, 1) == 1;  // end of file: the child is done
    ::close(ready[0]);
    EXPECT_EQ(reached, step.has_value());
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

// Each step is a moment a crash could happen, cut short by the hook or by killing the process.
// Until the rename the original is the old database (its log folded in or not), from then on
// the new one; either passes the integrity check with all of its history or none, and the
// next edit finishes the job.
TEST_F(DatabaseEditTest, CutShortAfterAnyStepLeavesTheOldOrTheNewDatabase) {
    const struct {
        std::optional<Step> stop;
        bool replaced;
    } cases[] = {
        {Step::Recognised, false}, {Step::Folded, false},   {Step::Copied, false},
        {Step::Changed, false},    {Step::Vacuumed, false}, {Step::Verified, false},
        {Step::Synced, false},     {Step::Renamed, true},   {Step::Tidied, true},
        {std::nullopt, true},
    };
    const QString path = "/profile/places.sqlite";
    for (const auto& c : cases) {
        for (const bool killed : {false, true}) {
            SCOPED_TRACE(QStringLiteral("after step %1, %2")
                             .arg(c.stop ? static_cast<int>(*c.stop) : -1)
                             .arg(killed ? "killed" : "stopped")
                             .toStdString());
            ASSERT_TRUE(test::writePlaces(local(path), {.pages = 40, .pendingLog = true}));
            const test::PlacesCounts before = test::countPlaces(local(path));
            ASSERT_EQ(before.visits, 120);
            ASSERT_TRUE(QFile::exists(local(path + "-wal")));

            DatabaseEditResult result;
            if (killed) {
                editAndKill(path, files_, c.stop);
            } else {
                QList<Step> seen;
                result = editDatabase(path, visitsAndLoosePages(), files_, [&](Step step) {
                    seen.append(step);
                    return step != c.stop;
                });
                EXPECT_EQ(result.outcome, c.stop ? Outcome::Stopped : Outcome::Edited);
                EXPECT_EQ(seen.size(), c.stop ? static_cast<int>(*c.stop) + 1 : 9);
            }

            const test::PlacesCounts after = test::countPlaces(local(path));
            EXPECT_EQ(after.integrity, "ok");
            EXPECT_EQ(after.visits, c.replaced ? 0 : before.visits);
            EXPECT_EQ(after.bookmarkDigest, before.bookmarkDigest);
            if (c.replaced) {
                // The log's own bookmark came through the fold; none of its visits did.
                EXPECT_TRUE(after.bookmarkDigest.contains("/page/39"));
                EXPECT_FALSE(QFile::exists(local(path + "-wal")) &&
                             QFileInfo(local(path + "-wal")).size() > 0);
            }
            if (!c.stop && !killed) {
                EXPECT_EQ(result.removed.value(0).rows, 120);
                EXPECT_EQ(result.rowsRemoved(), 120 + 40 - 5);
                EXPECT_GT(result.bytesBefore, result.bytesAfter);
                EXPECT_EQ(result.bytesFreed(), result.bytesBefore - result.bytesAfter);
                EXPECT_EQ(entries("/profile"), QStringList{"places.sqlite"});
                continue;
            }
            // The next edit throws away what the cut left and ends with the new database alone.
            EXPECT_EQ(editDatabase(path, visitsAndLoosePages(), files_).outcome, Outcome::Edited);
            const test::PlacesCounts finished = test::countPlaces(local(path));
            EXPECT_EQ(finished.integrity, "ok");
            EXPECT_EQ(finished.visits, 0);
            EXPECT_EQ(finished.bookmarkDigest, before.bookmarkDigest);
            EXPECT_EQ(entries("/profile"), QStringList{"places.sqlite"});
        }
    }
}

// What cannot be edited safely is refused with a reason, and every file stays byte for byte.
TEST_F(DatabaseEditTest, RefusesWhatItCannotEditSafelyAndTouchesNothing) {
    const struct {
        const char* name;
        const char* path;  // what is edited
        std::function<void(const QString& root)> make;
        Outcome outcome;
        const char* reason;
    } cases[] = {
        {"unknown layout", "/profile/places.sqlite",
         [](const QString& root) {
             SqliteDatabase db;
             ASSERT_TRUE(db.create(root + "/profile/places.sqlite"));
             ASSERT_TRUE(
                 db.exec("PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0; "
                         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT); "
                         "INSERT INTO moz_places VALUES (1, 'https://a.example/')"));
             // The log stays: the copy is taken while the connection is open.
             QFile::copy(root + "/profile/places.sqlite", root + "/profile/p");
             QFile::copy(root + "/profile/places.sqlite-wal", root + "/profile/p-wal");
             db.close();
             QFile::remove(root + "/profile/places.sqlite");
             QFile::rename(root + "/profile/p", root + "/profile/places.sqlite");
             QFile::rename(root + "/profile/p-wal", root + "/profile/places.sqlite-wal");
         },
         Outcome::Refused, "unknown layout (no table moz_historyvisits)"},
        {"missing column", "/profile/places.sqlite",
         [](const QString& root) {
             SqliteDatabase db;
             ASSERT_TRUE(db.create(root + "/profile/places.sqlite"));
             ASSERT_TRUE(
                 db.exec("CREATE TABLE moz_historyvisits (id INTEGER PRIMARY KEY);"
                         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY);"
                         "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, fk);"));
         },
         Outcome::Refused, "no column moz_historyvisits.place_id"},
        {"file link", "/profile/places.sqlite",
         [](const QString& root) {
             ASSERT_TRUE(test::writePlaces(root + "/elsewhere.sqlite", {}));
             ASSERT_EQ(::symlink((root + "/elsewhere.sqlite").toUtf8().constData(),
                                 (root + "/profile/places.sqlite").toUtf8().constData()),
                       0);
         },
         Outcome::Refused, "a symbolic link"},
        {"folder link", "/linked/places.sqlite",
         [](const QString& root) {
             ASSERT_TRUE(test::writePlaces(root + "/profile/places.sqlite", {}));
             ASSERT_EQ(::symlink((root + "/profile").toUtf8().constData(),
                                 (root + "/linked").toUtf8().constData()),
                       0);
         },
         Outcome::Refused, "link"},
        {"log is a link", "/profile/places.sqlite",
         [](const QString& root) {
             ASSERT_TRUE(test::writePlaces(root + "/profile/places.sqlite", {}));
             ASSERT_EQ(::symlink("/dev/null", (root + "/profile/places.sqlite-wal").toUtf8()), 0);
         },
         Outcome::Refused, "places.sqlite-wal is not a regular file"},
        {"pipe", "/profile/places.sqlite",
         [](const QString& root) {
             ASSERT_EQ(::mkfifo((root + "/profile/places.sqlite").toUtf8().constData(), 0600), 0);
         },
         Outcome::Refused, "not a regular file"},
        {"not a database", "/profile/places.sqlite",
         [](const QString& root) {
             QFile file(root + "/profile/places.sqlite");
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(QByteArray(4096, 'x'));
         },
         Outcome::Refused, "not a database"},
        {"missing", "/profile/places.sqlite", [](const QString&) {}, Outcome::Missing, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        FileManager files;
        ASSERT_TRUE(files.setRoot(dir.path()));
        ASSERT_TRUE(QDir().mkpath(dir.filePath("profile")));
        c.make(dir.path());
        QMap<QString, QByteArray> before;
        for (const QString& name : QDir(dir.filePath("profile")).entryList(QDir::Files)) {
            before.insert(name, bytes(dir.filePath("profile/" + name)));
        }
        const QByteArray elsewhere = bytes(dir.filePath("elsewhere.sqlite"));

        const DatabaseEditResult result = editDatabase(c.path, visitsAndLoosePages(), files);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_TRUE(result.reason.contains(c.reason)) << result.reason.toStdString();
        const DatabaseSurvey survey = surveyDatabase(c.path, visitsAndLoosePages(), files);
        EXPECT_TRUE(survey.reason.contains(c.reason)) << survey.reason.toStdString();
        EXPECT_TRUE(survey.counts.isEmpty());

        QMap<QString, QByteArray> after;
        for (const QString& name : QDir(dir.filePath("profile")).entryList(QDir::Files)) {
            after.insert(name, bytes(dir.filePath("profile/" + name)));
        }
        EXPECT_EQ(after, before);
        EXPECT_EQ(bytes(dir.filePath("elsewhere.sqlite")), elsewhere);
    }
}

// A dry run counts through the pending log and leaves the files as they were.
TEST_F(DatabaseEditTest, SurveyReadsThePendingLogAndChangesNothing) {
    const QString path = "/profile/places.sqlite";
    ASSERT_TRUE(test::writePlaces(local(path), {.pages = 40, .pendingLog = true}));
    const QByteArray database = bytes(local(path));
    const QByteArray log = bytes(local(path + "-wal"));
    const DatabaseSurvey survey = surveyDatabase(path, visitsAndLoosePages(), files_);
    EXPECT_EQ(survey.outcome, DatabaseSurvey::Outcome::Read);
    ASSERT_EQ(survey.counts.size(), 1);
    EXPECT_EQ(survey.counts[0].rows, 120);  // 30 of the pages' visits are only in the log
    EXPECT_EQ(survey.bytes, static_cast<quint64>(database.size() + log.size()));
    EXPECT_EQ(bytes(local(path)), database);
    EXPECT_EQ(bytes(local(path + "-wal")), log);
    EXPECT_EQ(entries("/profile"), (QStringList{"places.sqlite", "places.sqlite-wal"}));
}

}  // namespace
}  // namespace qz
