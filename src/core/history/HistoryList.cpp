#include "core/history/HistoryList.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QVariantList>
#include <QVariantMap>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/formats/PropertyList.h"
#include "core/fs/ApplicationSupport.h"
#include "core/fs/OwnFile.h"
#include "core/fs/UniqueFd.h"
#include "core/settings/Log.h"

namespace qz {

namespace {

// When a care ran, for sorting: the stored time, else the date text read back; 0 when neither.
qint64 timeOf(const HistoryEntry& entry) {
    if (entry.timeCare > 0) {
        return entry.timeCare;
    }
    QDateTime parsed = QLocale::system().toDateTime(entry.dateCare, QLocale::ShortFormat);
    if (parsed.isValid() && parsed.date().year() < 1970) {
        parsed = parsed.addYears(100);  // a two-digit year is read as 19yy
    }
    return parsed.isValid() ? parsed.toSecsSinceEpoch() : 0;
}

QString valueOf(const HistoryEntry& entry, const QString& key) {
    if (key == HistoryList::kNameKey) {
        return entry.browserName;
    }
    return key == HistoryList::kDateKey ? entry.dateCare : QString();
}

int compareOn(const QString& key, const HistoryEntry& left, const HistoryEntry& right) {
    if (key == HistoryList::kDateKey) {
        const qint64 a = timeOf(left), b = timeOf(right);
        if (a > 0 && b > 0) {
            return a < b ? -1 : (a > b ? 1 : 0);
        }
    }
    return QString::compare(valueOf(left, key), valueOf(right, key));
}

// The history's advisory lock between processes, held while the object lives.
class FileLock {
  public:
    explicit FileLock(const QString& historyPath) {
        QDir().mkpath(QFileInfo(historyPath).absolutePath());
        fd_.reset(::open(QFile::encodeName(historyPath + QStringLiteral(".lock")).constData(),
                         O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!fd_.valid()) {
            error_ = QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        while (::flock(fd_.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                error_ = QString::fromLocal8Bit(std::strerror(errno));
                fd_.reset();
                return;
            }
        }
    }
    ~FileLock() {
        if (fd_.valid()) {
            ::flock(fd_.get(), LOCK_UN);
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_.valid(); }
    const QString& error() const { return error_; }

  private:
    UniqueFd fd_;
    QString error_;
};

// Takes one entry equal to `entry` out of `pool`; whether there was one.
bool takeOne(QList<HistoryEntry>& pool, const HistoryEntry& entry) {
    const qsizetype at = pool.indexOf(entry);
    if (at < 0) {
        return false;
    }
    pool.removeAt(at);
    return true;
}

QString freeAsidePath(const QString& path) {
    QString candidate = path + QStringLiteral(".unreadable");
    for (int number = 1; QFileInfo::exists(candidate) || QFileInfo(candidate).isSymLink();
         ++number) {
        candidate = path + QStringLiteral(".unreadable.%1").arg(number);
    }
    return candidate;
}

}  // namespace

QString HistoryList::folderPath() {
    return applicationSupportDirectory() + QStringLiteral("/DIZEROV");
}

QString HistoryList::defaultFilePath() {
    return folderPath() + QStringLiteral("/History.plist");
}

QString HistoryList::formatCareDate(const QDateTime& when, const QLocale& locale) {
    return locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(when.time(), QLocale::ShortFormat);
}

HistoryList::FileRead HistoryList::readEntries(const QString& path) {
    const OwnFile::ReadResult file = OwnFile::read(path, PropertyListLimits{}.maxBytes);
    FileRead result;
    switch (file.status) {
        case OwnFile::ReadStatus::Missing:
            result.entries.emplace();
            return result;
        case OwnFile::ReadStatus::Failed:
            result.mayPass = true;
            result.error = file.error;
            return result;
        case OwnFile::ReadStatus::Refused:
            result.error = file.error;
            return result;
        case OwnFile::ReadStatus::Read:
            break;
    }
    result.error = QStringLiteral("%1 is not a list of history entries").arg(path);
    const std::optional<QVariant> root = PropertyList::read(file.data);
    if (!root || root->typeId() != QMetaType::QVariantList) {
        return result;
    }
    QList<HistoryEntry> entries;
    for (const QVariant& element : root->toList()) {
        if (element.typeId() != QMetaType::QVariantMap) {
            return result;
        }
        const QVariantMap map = element.toMap();
        const QVariant name = map.value(kNameKey);
        const QVariant date = map.value(kDateKey);
        if (name.typeId() != QMetaType::QString || date.typeId() != QMetaType::QString) {
            return result;
        }
        // The time is optional: older files have none, and a strange one is left out.
        const QVariant time = map.value(kTimeKey);
        const qint64 seconds = time.typeId() == QMetaType::LongLong ? time.toLongLong() : 0;
        const bool automatic = map.value(kAutomaticKey).typeId() == QMetaType::Bool &&
                               map.value(kAutomaticKey).toBool();
        HistoryEntry entry{name.toString(), date.toString(), seconds > 0 ? seconds : 0, {}, {},
                           automatic};
        // What went and how much: in newer entries only; a strange value is left out too.
        const QVariant items = map.value(kItemsKey);
        if (items.typeId() == QMetaType::QVariantList) {
            for (const QVariant& item : items.toList()) {
                if (item.typeId() == QMetaType::QString) {
                    entry.items.append(item.toString());
                }
            }
        }
        const QVariant bytes = map.value(kBytesKey);
        if (bytes.typeId() == QMetaType::LongLong && bytes.toLongLong() >= 0) {
            entry.bytesFreed = static_cast<quint64>(bytes.toLongLong());
        } else if (bytes.typeId() == QMetaType::ULongLong) {
            entry.bytesFreed = bytes.toULongLong();
        }
        entries.append(std::move(entry));
    }
    result.entries = std::move(entries);
    result.error.clear();
    return result;
}

std::optional<QList<HistoryEntry>> HistoryList::readFile(const QString& path) {
    return readEntries(path).entries;
}

HistoryList::LoadOutcome HistoryList::load(const QString& path, QString* movedTo) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        clear();
        return LoadOutcome::NoFile;
    }
    const FileRead read = readEntries(path);
    if (read.entries) {
        std::lock_guard lock(mutex_);
        entries_ = *read.entries;
        unwritten_.clear();
        replaced_.clear();
        return LoadOutcome::Loaded;
    }
    clear();
    if (read.mayPass) {
        // Left where it is: the next write reads it again and merges, so nothing is lost.
        Log::write(
            QStringLiteral("History file %1 cannot be read just now: %2").arg(path, read.error));
        return LoadOutcome::Unavailable;
    }
    // Kept aside rather than overwritten by the next save, so nothing is lost for good.
    const QString aside = freeAsidePath(path);
    if (QFile::rename(path, aside)) {
        Log::write(QStringLiteral("History file %1 cannot be read; moved to %2").arg(path, aside));
        if (movedTo) {
            *movedTo = aside;
        }
    } else {
        Log::write(QStringLiteral("History file %1 cannot be read nor moved aside; it will not be "
                                  "written")
                       .arg(path));
        std::lock_guard lock(mutex_);
        unreadableKept_ = true;
    }
    return LoadOutcome::Unreadable;
}

bool HistoryList::record(const QString& path, const HistoryEntry& entry, QString* error) {
    std::lock_guard lock(mutex_);
    entries_.append(entry);
    unwritten_.append(entry);
    return mergeAndWrite(path, error);
}

bool HistoryList::save(const QString& path, QString* error) {
    std::lock_guard lock(mutex_);
    return mergeAndWrite(path, error);
}

bool HistoryList::removeFile(const QString& path, QString* error) {
    std::lock_guard lock(mutex_);
    const auto fail = [&](const QString& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    const QFileInfo info(path);
    if (info.exists() || info.isSymLink()) {
        const FileLock fileLock(path);
        if (!fileLock.held()) {
            return fail(fileLock.error());
        }
        if (::unlink(QFile::encodeName(path).constData()) != 0 && errno != ENOENT) {
            return fail(QString::fromLocal8Bit(std::strerror(errno)));
        }
    }
    entries_.clear();
    unwritten_.clear();
    replaced_.clear();
    unreadableKept_ = false;
    return true;
}

bool HistoryList::mergeAndWrite(const QString& path, QString* error) {
    const auto fail = [&](const QString& reason) {
        if (error) {
            *error = reason;
        }
        return false;
    };
    if (unreadableKept_) {
        return fail(QStringLiteral("an unreadable history file is in the way"));
    }
    const FileLock fileLock(path);
    if (!fileLock.held()) {
        return fail(fileLock.error());
    }
    const FileRead read = readEntries(path);
    if (read.mayPass) {
        return fail(QStringLiteral("the history file cannot be read just now: %1").arg(read.error));
    }
    std::optional<QList<HistoryEntry>> onDisk = read.entries;
    if (!onDisk) {
        // Damaged since it was loaded: kept aside, never overwritten.
        const QString aside = freeAsidePath(path);
        if (!QFile::rename(path, aside)) {
            return fail(QStringLiteral("an unreadable history file is in the way"));
        }
        Log::write(QStringLiteral("History file %1 cannot be read; moved to %2").arg(path, aside));
        onDisk.emplace();
    }
    // This list's order for what is still in the file, then what another process recorded,
    // then what this one has not written yet; what another process cleared goes.
    QList<HistoryEntry> others = *onDisk;
    // An entry replaced here takes the written one's place; one another process cleared stays
    // cleared.
    for (const auto& [written, now] : std::as_const(replaced_)) {
        if (const qsizetype at = others.lastIndexOf(written); at >= 0) {
            others[at] = now;
        }
    }
    QList<HistoryEntry> pending = unwritten_;
    QList<HistoryEntry> merged;
    QList<HistoryEntry> mine;
    for (const HistoryEntry& entry : std::as_const(entries_)) {
        if (takeOne(pending, entry)) {
            mine.append(entry);
        } else if (takeOne(others, entry)) {
            merged.append(entry);
        }
    }
    merged += others;
    merged += mine;
    entries_ = merged;
    if (merged.isEmpty()) {
        return true;
    }
    QVariantList array;
    for (const HistoryEntry& entry : std::as_const(merged)) {
        QVariantMap item{{kNameKey, entry.browserName}, {kDateKey, entry.dateCare}};
        if (entry.timeCare > 0) {
            item.insert(kTimeKey, QVariant::fromValue<qint64>(entry.timeCare));
        }
        if (!entry.items.isEmpty()) {
            item.insert(kItemsKey, QVariant(entry.items).toList());
        }
        if (entry.bytesFreed) {
            item.insert(kBytesKey, QVariant::fromValue<quint64>(*entry.bytesFreed));
        }
        if (entry.automatic) {
            item.insert(kAutomaticKey, true);
        }
        array.append(item);
    }
    // Through the safe writer: on a full disk the old file stays whole and this says so.
    if (!OwnFile::write(path, PropertyList::toXml(array), error)) {
        return false;
    }
    unwritten_.clear();
    replaced_.clear();
    return true;
}

bool HistoryList::replace(const QString& path, const HistoryEntry& recorded,
                          const HistoryEntry& completed, QString* error) {
    std::lock_guard lock(mutex_);
    const qsizetype at = entries_.lastIndexOf(recorded);
    if (at < 0) {
        return false;  // cleared meanwhile: nothing to complete
    }
    entries_[at] = completed;
    if (const qsizetype pending = unwritten_.lastIndexOf(recorded); pending >= 0) {
        unwritten_[pending] = completed;
    } else {
        replaced_.append({recorded, completed});
    }
    return mergeAndWrite(path, error);
}

void HistoryList::append(const HistoryEntry& entry) {
    std::lock_guard lock(mutex_);
    entries_.append(entry);
    unwritten_.append(entry);
}

QList<HistoryEntry> HistoryList::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void HistoryList::setEntries(const QList<HistoryEntry>& entries) {
    std::lock_guard lock(mutex_);
    entries_ = entries;
    unwritten_ = entries;  // given by hand, so none of them is known to be in the file
    replaced_.clear();
}

qsizetype HistoryList::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void HistoryList::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    unwritten_.clear();
    replaced_.clear();
    unreadableKept_ = false;
}

void HistoryList::sort(const QList<HistorySortDescriptor>& descriptors) {
    std::lock_guard lock(mutex_);
    std::stable_sort(entries_.begin(), entries_.end(),
                     [&](const HistoryEntry& left, const HistoryEntry& right) {
                         for (const HistorySortDescriptor& descriptor : descriptors) {
                             const int order = compareOn(descriptor.key, left, right);
                             if (order != 0) {
                                 return descriptor.ascending ? order < 0 : order > 0;
                             }
                         }
                         return false;
                     });
}

}  // namespace qz
