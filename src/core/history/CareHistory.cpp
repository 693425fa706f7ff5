#include "core/history/CareHistory.h"

#include <QDateTime>

#include "core/settings/Log.h"

namespace qz {

CareHistory::CareHistory(QString filePath) : filePath_(std::move(filePath)) {}

HistoryList::LoadOutcome CareHistory::load() {
    QString movedTo;
    const HistoryList::LoadOutcome outcome = list_.load(filePath_, &movedTo);
    if (outcome == HistoryList::LoadOutcome::Unreadable) {
        unreadableMovedTo_ = movedTo.isEmpty() ? filePath_ : movedTo;
    }
    return outcome;
}

bool CareHistory::record(BrowserId browser, QString* error, HistoryEntry* recorded,
                         bool automatic) {
    // Written at once, so a crash or a forced quit keeps the care.
    QString reason;
    const QDateTime now = QDateTime::currentDateTime();
    const HistoryEntry entry{browserInfo(browser).displayName,
                             HistoryList::formatCareDate(now),
                             now.toSecsSinceEpoch(),
                             {},
                             {},
                             automatic};
    if (recorded) {
        *recorded = entry;
    }
    if (list_.record(filePath_, entry, &reason)) {
        return true;
    }
    // Kept in memory for the next write; the earlier file is untouched.
    Log::write(QStringLiteral("History file %1 not written: %2").arg(filePath_, reason));
    if (error) {
        *error = reason;
    }
    return false;
}

bool CareHistory::complete(const HistoryEntry& recorded, const QStringList& items,
                           quint64 bytesFreed, QString* error) {
    HistoryEntry completed = recorded;
    completed.items = items;
    completed.bytesFreed = bytesFreed;
    QString reason;
    if (list_.replace(filePath_, recorded, completed, &reason)) {
        return true;
    }
    if (!reason.isEmpty()) {
        Log::write(QStringLiteral("History file %1 not written: %2").arg(filePath_, reason));
    }
    if (error) {
        *error = reason;
    }
    return false;
}

bool CareHistory::clear(QString* error) {
    QString reason;
    if (!list_.removeFile(filePath_, &reason)) {
        Log::write(QStringLiteral("History file %1 not removed: %2").arg(filePath_, reason));
        if (error) {
            *error = reason;
        }
        return false;
    }
    unreadableMovedTo_.clear();
    return true;
}

bool CareHistory::save(QString* error) {
    QString reason;
    if (!list_.save(filePath_, &reason)) {
        Log::write(QStringLiteral("History file %1 not written: %2").arg(filePath_, reason));
        if (error) {
            *error = reason;
        }
        return false;
    }
    return true;
}

}  // namespace qz
