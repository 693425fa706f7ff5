#include "core/formats/DatabaseEdit.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>
#include <optional>

#include "core/fs/FileManager.h"
#include "core/fs/UniqueFd.h"

// Why the steps run in this order. SQLite replays a "-wal" onto whatever database carries the
// name beside it, so a log left next to a renamed-in copy would be written over the new
// database. The log is therefore folded into the original first, by SQLite's own checkpoint,
// which keeps the log until the database holds every page of it (a crash then leaves the old
// database, with or without its log). Only then is the self-contained file copied; the copy is
// changed, compacted, checked and synced, and one rename puts it in place. What remains of the
// old log is empty, and an empty log is never replayed.

namespace qz {

using Outcome = DatabaseEditResult::Outcome;

namespace {

QString systemText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

std::optional<struct stat> statAt(int folder, const std::string& name) {
    struct stat info {};
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return std::nullopt;
    }
    return info;
}

quint64 sizeAt(int folder, const std::string& name) {
    const std::optional<struct stat> info = statAt(folder, name);
    return info && S_ISREG(info->st_mode) ? static_cast<quint64>(info->st_size) : 0;
}

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The companions SQLite keeps beside a database.
constexpr std::array<const char*, 3> kCompanions = {"-wal", "-shm", "-journal"};

// The database file, reached from the root without a link, and the names around it.
struct Located {
    Outcome outcome = Outcome::Missing;  // Edited: found
    QString reason;
    UniqueFd folder;
    std::string leaf;
    QString localPath;  // the folder's own path on this disk (no link in it) and the leaf
    QString folderPath;
};

Located locate(const QString& platformPath, const FileManager& files) {
    Located at;
    ResolvedPath resolved = files.resolve(platformPath);
    if (!resolved.valid()) {
        at.reason = files.unreachableReason(platformPath);
        at.outcome = at.reason.isEmpty() ? Outcome::Missing : Outcome::Refused;
        return at;
    }
    at.folder = std::move(resolved.parent);
    at.leaf = std::move(resolved.leaf);
    struct stat info {};
    if (::fstatat(at.folder.get(), at.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        at.outcome = error == ENOENT ? Outcome::Missing : Outcome::Failed;
        at.reason = error == ENOENT ? QString() : systemText(error);
        return at;
    }
    if (!S_ISREG(info.st_mode)) {
        at.outcome = Outcome::Refused;
        at.reason = S_ISLNK(info.st_mode) ? QStringLiteral("refused: a symbolic link")
                                          : QStringLiteral("refused: not a regular file");
        return at;
    }
    for (const char* suffix : kCompanions) {
        const std::optional<struct stat> companion = statAt(at.folder.get(), at.leaf + suffix);
        if (companion && !S_ISREG(companion->st_mode)) {
            at.outcome = Outcome::Refused;
            at.reason = QStringLiteral("refused: %1%2 is not a regular file")
                            .arg(QFile::decodeName(at.leaf.c_str()), QString::fromLatin1(suffix));
            return at;
        }
    }
    // SQLite opens by name: give it the name the kernel has for the folder we hold, which has
    // no link in it, so its own refusal of links covers every component.
    char target[4096];
    const std::string self = "/proc/self/fd/" + std::to_string(at.folder.get());
    const ssize_t length = ::readlink(self.c_str(), target, sizeof target);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof target) || target[0] != '/') {
        at.outcome = Outcome::Failed;
        at.reason = QStringLiteral("the folder's own path cannot be read");
        return at;
    }
    at.folderPath = QFile::decodeName(QByteArray(target, static_cast<qsizetype>(length)));
    if (at.folderPath.endsWith(QStringLiteral(" (deleted)"))) {
        at.outcome = Outcome::Failed;
        at.reason = QStringLiteral("the folder is gone");
        return at;
    }
    at.localPath = (at.folderPath == QStringLiteral("/") ? QString() : at.folderPath) + u'/' +
                   QFile::decodeName(at.leaf.c_str());
    at.outcome = Outcome::Edited;
    return at;
}

// Opens the database so that closing it never checkpoints: what the edit does not fold in on
// purpose stays exactly as it was. Notes which companions were there before.
struct Connection {
    SqliteDatabase db;
    bool hadLog = false;
    bool hadIndex = false;
};

bool openOriginal(Connection& connection, const Located& at) {
    connection.hadLog = statAt(at.folder.get(), at.leaf + "-wal").has_value();
    connection.hadIndex = statAt(at.folder.get(), at.leaf + "-shm").has_value();
    if (!connection.db.open(at.localPath, SqliteDatabase::Access::ReadWrite)) {
        return false;
    }
    connection.db.setCheckpointOnClose(false);
    return true;
}

// Closes without a checkpoint and takes away an empty log and an index that only reading made.
void closeUntouched(Connection& connection, const Located& at) {
    connection.db.close();
    if (!connection.hadLog && sizeAt(at.folder.get(), at.leaf + "-wal") == 0) {
        ::unlinkat(at.folder.get(), (at.leaf + "-wal").c_str(), 0);
    }
    if (!connection.hadIndex) {
        ::unlinkat(at.folder.get(), (at.leaf + "-shm").c_str(), 0);
    }
}

bool copyBytes(int from, int to, off_t size) {
    off_t done = 0;
    bool plain = false;
    while (done < size) {
        ssize_t moved = -1;
        if (!plain) {
            moved =
                ::copy_file_range(from, nullptr, to, nullptr, static_cast<size_t>(size - done), 0);
            if (moved < 0 &&
                (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
                plain = true;
                continue;
            }
        } else {
            char buffer[1 << 16];
            const ssize_t got = ::read(from, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) {
                continue;
            }
            moved = got;
            for (ssize_t written = 0; got > 0 && written < got;) {
                const ssize_t n = ::write(to, buffer + written, static_cast<size_t>(got - written));
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n <= 0) {
                    return false;
                }
                written += n;
            }
        }
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            return false;  // an error, or the file shrank under us
        }
        done += moved;
    }
    return true;
}

}  // namespace

qint64 DatabaseEditResult::rowsRemoved() const {
    qint64 total = 0;
    for (const RowCount& count : removed) {
        total += count.rows;
    }
    return total;
}

DatabaseEditResult editDatabase(const QString& platformPath, const DatabaseEdit& edit,
                                const FileManager& files, const DatabaseEditHook& hook) {
    DatabaseEditResult result;
    Located at = locate(platformPath, files);
    if (at.outcome != Outcome::Edited) {
        result.outcome = at.outcome;
        result.reason = at.reason;
        return result;
    }
    const int folder = at.folder.get();
    const std::string copyName = '.' + at.leaf + ".quenzel-edit";
    const QString copyPath = (at.folderPath == QStringLiteral("/") ? QString() : at.folderPath) +
                             u'/' + QFile::decodeName(copyName.c_str());
    const auto finish = [&](Outcome outcome, const QString& reason = {}) {
        result.outcome = outcome;
        result.reason = reason;
        return result;
    };
    const auto stopAfter = [&](DatabaseEditStep step) { return hook && !hook(step); };
    // A failure before the rename leaves the original as it was and takes the copy away.
    const auto dropCopy = [&] {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
            const std::string name = copyName + suffix;
            if (const std::optional<struct stat> info = statAt(folder, name);
                info && (S_ISREG(info->st_mode) || S_ISLNK(info->st_mode))) {
                ::unlinkat(folder, name.c_str(), 0);
            }
        }
    };
    const auto abandon = [&](const QString& reason) {
        dropCopy();
        return finish(Outcome::Failed, reason);
    };
    result.bytesBefore = sizeAt(folder, at.leaf) + sizeAt(folder, at.leaf + "-wal");

    // Recognise the layout before anything is written.
    Connection original;
    if (!openOriginal(original, at)) {
        return finish(Outcome::Failed, original.db.errorText());
    }
    if (const QString missing = original.db.missingFromSchema(edit.schema); !missing.isEmpty()) {
        closeUntouched(original, at);
        return finish(Outcome::Refused,
                      QStringLiteral("refused: unknown layout (%1)").arg(missing));
    }
    if (stopAfter(DatabaseEditStep::Recognised)) {
        return finish(Outcome::Stopped);
    }

    // Fold the log in; closing with a checkpoint then removes the log and its index.
    const std::optional<QString> mode =
        original.db.textValue(QStringLiteral("PRAGMA journal_mode"));
    const bool logged = mode && mode->compare(QStringLiteral("wal"), Qt::CaseInsensitive) == 0;
    {
        SqliteStatement checkpoint =
            original.db.prepare(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        if (!checkpoint.valid() || checkpoint.step() != SqliteStatement::Step::Row ||
            checkpoint.int64(0) != 0) {
            const QString reason = checkpoint.valid() ? QStringLiteral("the database is in use")
                                                      : original.db.errorText();
            checkpoint = {};
            closeUntouched(original, at);
            return finish(Outcome::Failed, reason);
        }
    }
    original.db.setCheckpointOnClose(true);
    original.db.close();
    if (sizeAt(folder, at.leaf + "-wal") != 0) {
        return finish(Outcome::Failed,
                      QStringLiteral("the write-ahead log could not be folded in"));
    }
    if (stopAfter(DatabaseEditStep::Folded)) {
        return finish(Outcome::Stopped);
    }

    // Copy the now self-contained file beside itself, from a descriptor that never followed a
    // link. A copy left by an edit that was cut short goes first.
    UniqueFd source(::openat(folder, at.leaf.c_str(),
                             O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat before {};
    if (!source.valid() || ::fstat(source.get(), &before) != 0) {
        return finish(Outcome::Failed, systemText(errno));
    }
    if (!S_ISREG(before.st_mode)) {
        return finish(Outcome::Refused, QStringLiteral("refused: not a regular file"));
    }
    dropCopy();
    {
        UniqueFd copy(::openat(folder, copyName.c_str(),
                               O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!copy.valid()) {
            return finish(Outcome::Failed, QStringLiteral("no copy: %1").arg(systemText(errno)));
        }
        if (::fchmod(copy.get(), before.st_mode & 07777) != 0 ||
            !copyBytes(source.get(), copy.get(), before.st_size)) {
            const int error = errno;
            copy.reset();
            return abandon(QStringLiteral("no copy: %1").arg(systemText(error)));
        }
    }
    source.reset();
    if (stopAfter(DatabaseEditStep::Copied)) {
        return finish(Outcome::Stopped);
    }

    // The copy is nobody's database until the rename: it needs no journal on disk and no sync
    // per statement, since a crash only leaves a copy the next edit throws away.
    {
        SqliteDatabase work;
        if (!work.open(copyPath, SqliteDatabase::Access::ReadWrite)) {
            return abandon(work.errorText());
        }
        if (!work.exec(QStringLiteral("PRAGMA journal_mode=MEMORY; PRAGMA synchronous=OFF; "
                                      "PRAGMA temp_store=MEMORY; PRAGMA cache_size=-65536"))) {
            return abandon(work.errorText());
        }
        if (!work.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
            return abandon(work.errorText());
        }
        if (!edit.change || !edit.change(work, result.removed) ||
            !work.exec(QStringLiteral("COMMIT"))) {
            const QString reason = work.errorText();
            work.exec(QStringLiteral("ROLLBACK"));
            result.removed.clear();
            return abandon(reason);
        }
        if (stopAfter(DatabaseEditStep::Changed)) {
            return finish(Outcome::Stopped);
        }
        if (!work.exec(QStringLiteral("VACUUM"))) {
            return abandon(work.errorText());
        }
        if (stopAfter(DatabaseEditStep::Vacuumed)) {
            return finish(Outcome::Stopped);
        }
        if (const QString problem = work.integrityProblem(); !problem.isEmpty()) {
            return abandon(
                QStringLiteral("the edited copy failed the integrity check: %1").arg(problem));
        }
        if (stopAfter(DatabaseEditStep::Verified)) {
            return finish(Outcome::Stopped);
        }
        // The browser finds its database in the journal mode it left it in.
        if (logged && !work.exec(QStringLiteral("PRAGMA journal_mode=WAL"))) {
            return abandon(work.errorText());
        }
    }
    if (statAt(folder, copyName + "-wal")) {
        return abandon(QStringLiteral("the copy's log could not be folded in"));
    }
    {
        UniqueFd copy(::openat(folder, copyName.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
        if (!copy.valid() || ::fsync(copy.get()) != 0) {
            return abandon(
                QStringLiteral("the copy could not be synced: %1").arg(systemText(errno)));
        }
        struct stat written {};
        if (::fstat(copy.get(), &written) == 0) {
            result.bytesAfter = static_cast<quint64>(written.st_size);
        }
    }
    if (stopAfter(DatabaseEditStep::Synced)) {
        return finish(Outcome::Stopped);
    }

    // Replace the original only if nobody wrote to it meanwhile.
    const std::optional<struct stat> now = statAt(folder, at.leaf);
    if (!now || !sameFile(*now, before) || sizeAt(folder, at.leaf + "-wal") != 0) {
        return abandon(QStringLiteral("the database changed while it was edited"));
    }
    if (::renameat(folder, copyName.c_str(), folder, at.leaf.c_str()) != 0) {
        return abandon(QStringLiteral("the copy could not replace it: %1").arg(systemText(errno)));
    }
    // The rename lasts only once the folder is on disk too; some file systems cannot say.
    if (::fsync(folder) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return finish(Outcome::Failed,
                      QStringLiteral("the folder could not be synced: %1").arg(systemText(errno)));
    }
    if (stopAfter(DatabaseEditStep::Renamed)) {
        return finish(Outcome::Stopped);
    }

    // What is left of the old log is empty; the index describes a file that is gone.
    if (const std::optional<struct stat> log = statAt(folder, at.leaf + "-wal");
        log && S_ISREG(log->st_mode) && log->st_size == 0) {
        ::unlinkat(folder, (at.leaf + "-wal").c_str(), 0);
    }
    if (const std::optional<struct stat> index = statAt(folder, at.leaf + "-shm");
        index && S_ISREG(index->st_mode)) {
        ::unlinkat(folder, (at.leaf + "-shm").c_str(), 0);
    }
    if (stopAfter(DatabaseEditStep::Tidied)) {
        return finish(Outcome::Stopped);
    }
    return finish(Outcome::Edited);
}

DatabaseSurvey surveyDatabase(const QString& platformPath, const DatabaseEdit& edit,
                              const FileManager& files) {
    DatabaseSurvey survey;
    Located at = locate(platformPath, files);
    switch (at.outcome) {
        case Outcome::Edited:
            break;
        case Outcome::Missing:
            return survey;
        case Outcome::Refused:
            survey.outcome = DatabaseSurvey::Outcome::Refused;
            survey.reason = at.reason;
            return survey;
        default:
            survey.outcome = DatabaseSurvey::Outcome::Failed;
            survey.reason = at.reason;
            return survey;
    }
    survey.bytes = sizeAt(at.folder.get(), at.leaf) + sizeAt(at.folder.get(), at.leaf + "-wal");
    Connection connection;
    if (!openOriginal(connection, at) ||
        !connection.db.exec(QStringLiteral("PRAGMA query_only=1"))) {
        survey.outcome = DatabaseSurvey::Outcome::Failed;
        survey.reason = connection.db.errorText();
        closeUntouched(connection, at);
        return survey;
    }
    if (const QString missing = connection.db.missingFromSchema(edit.schema); !missing.isEmpty()) {
        survey.outcome = DatabaseSurvey::Outcome::Refused;
        survey.reason = QStringLiteral("refused: unknown layout (%1)").arg(missing);
    } else {
        survey.outcome = DatabaseSurvey::Outcome::Read;
        if (edit.survey) {
            survey.counts = edit.survey(connection.db);
        }
    }
    closeUntouched(connection, at);
    return survey;
}

}  // namespace qz
