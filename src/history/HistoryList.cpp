#include "history/HistoryList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariantList>
#include <QVariantMap>
#include <algorithm>

#include "platform/ApplicationSupport.h"
#include "platform/Log.h"
#include "platform/PropertyList.h"

namespace qz {

namespace {

QString valueOf(const HistoryEntry& entry, const QString& key) {
    if (key == HistoryList::kNameKey) {
        return entry.browserName;
    }
    return key == HistoryList::kDateKey ? entry.dateCare : QString();
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

std::optional<QList<HistoryEntry>> HistoryList::readFile(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return QList<HistoryEntry>{};
    }
    const std::optional<QVariant> root = PropertyList::readFile(path);
    if (!root || root->typeId() != QMetaType::QVariantList) {
        return std::nullopt;
    }
    QList<HistoryEntry> entries;
    for (const QVariant& element : root->toList()) {
        if (element.typeId() != QMetaType::QVariantMap) {
            return std::nullopt;
        }
        const QVariantMap map = element.toMap();
        const QVariant name = map.value(kNameKey);
        const QVariant date = map.value(kDateKey);
        if (name.typeId() != QMetaType::QString || date.typeId() != QMetaType::QString) {
            return std::nullopt;
        }
        entries.append({name.toString(), date.toString()});
    }
    return entries;
}

HistoryList::LoadOutcome HistoryList::load(const QString& path, QString* movedTo) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        clear();
        return LoadOutcome::NoFile;
    }
    if (std::optional<QList<HistoryEntry>> entries = readFile(path)) {
        setEntries(*entries);
        return LoadOutcome::Loaded;
    }
    clear();
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

bool HistoryList::save(const QString& path, QString* error) const {
    std::lock_guard saving(saveMutex_);
    QVariantList array;
    {
        std::lock_guard lock(mutex_);
        if (unreadableKept_) {
            if (error) {
                *error = QStringLiteral("an unreadable history file is in the way");
            }
            return false;
        }
        for (const HistoryEntry& entry : entries_) {
            QVariantMap map;
            map.insert(kNameKey, entry.browserName);
            map.insert(kDateKey, entry.dateCare);
            array.append(map);
        }
    }
    if (array.isEmpty()) {
        return true;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    return PropertyList::writeXmlAtomically(array, path, error);
}

void HistoryList::append(const HistoryEntry& entry) {
    std::lock_guard lock(mutex_);
    entries_.append(entry);
}

QList<HistoryEntry> HistoryList::entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
}

void HistoryList::setEntries(const QList<HistoryEntry>& entries) {
    std::lock_guard lock(mutex_);
    entries_ = entries;
}

qsizetype HistoryList::size() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

void HistoryList::clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
    unreadableKept_ = false;
}

void HistoryList::sort(const QList<HistorySortDescriptor>& descriptors) {
    std::lock_guard lock(mutex_);
    std::stable_sort(
        entries_.begin(), entries_.end(), [&](const HistoryEntry& left, const HistoryEntry& right) {
            for (const HistorySortDescriptor& descriptor : descriptors) {
                const int order =
                    QString::compare(valueOf(left, descriptor.key), valueOf(right, descriptor.key));
                if (order != 0) {
                    return descriptor.ascending ? order < 0 : order > 0;
                }
            }
            return false;
        });
}

}  // namespace qz
