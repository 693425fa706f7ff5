#include "history/addItem.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <mutex>

#include "platform/Log.h"

namespace qz {

namespace {
std::mutex& sharedMutex() {
    static std::mutex mutex;
    return mutex;
}
addItem*& sharedStore() {
    static addItem* store = nullptr;
    return store;
}
}  // namespace

addItem::addItem(QObject* parent)
    : QObject(parent),
      model_(new HistoryTableModel(list_, this)),
      filePath_(HistoryList::defaultFilePath()) {}

addItem::~addItem() {
    std::lock_guard lock(sharedMutex());
    if (sharedStore() == this) {
        sharedStore() = nullptr;
    }
}

addItem* addItem::sharedMySingleton() {
    // Two workers asking at once must end up with one store, not two that overwrite each
    // other's file.
    static std::mutex creationMutex;
    std::lock_guard creating(creationMutex);
    {
        std::lock_guard lock(sharedMutex());
        if (sharedStore()) {
            return sharedStore();
        }
    }
    auto* store = new addItem;
    // Made on a worker perhaps: its queued table refreshes must run on the main thread.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        store->moveToThread(app->thread());
    }
    store->setUp();
    std::lock_guard lock(sharedMutex());
    return sharedStore();
}

void addItem::setUp(const QString& filePath) {
    filePath_ = filePath;
    QString movedTo;
    const HistoryList::LoadOutcome outcome = list_.load(filePath_, &movedTo);
    refreshOnMainThread();
    setViewState(outcome == HistoryList::LoadOutcome::Loaded ? ViewState::HistoryPresent
                                                             : ViewState::NoHistory);
    if (outcome == HistoryList::LoadOutcome::Unreadable) {
        // Kept, so a window made later can still tell the user.
        unreadableMovedTo_ = movedTo.isEmpty() ? filePath_ : movedTo;
        emit historyUnreadable(unreadableMovedTo_);
    }
    std::lock_guard lock(sharedMutex());
    sharedStore() = this;
}

bool addItem::record(BrowserId browser, QString* reason) {
    // Written at once, so a crash or a forced quit keeps the care.
    QString error;
    const bool written = list_.record(filePath_,
                                      {browserInfo(browser).displayName,
                                       HistoryList::formatCareDate(QDateTime::currentDateTime())},
                                      &error);
    if (!written) {
        // Kept in memory for the next write; the earlier file is untouched.
        Log::write(QStringLiteral("History file %1 not written: %2").arg(filePath_, error));
        if (reason) {
            *reason = error;
        }
    }
    if (QThread::currentThread() == thread()) {
        refreshOnMainThread();
        hideElement();
    } else {
        QMetaObject::invokeMethod(
            this,
            [this] {
                refreshOnMainThread();
                hideElement();
            },
            Qt::QueuedConnection);
    }
    return written;
}

void addItem::setShoppingListArray(const QList<HistoryEntry>& entries) {
    list_.setEntries(entries);
    refreshOnMainThread();
}

void addItem::hideElement() {
    setViewState(ViewState::HistoryPresent);
}

void addItem::updateview() {
    setViewState(ViewState::NoHistory);
}

addItem::DeleteOutcome addItem::deleteitem(const std::function<bool()>& confirm, QString* error) {
    if (!confirm || !confirm()) {
        return DeleteOutcome::NotConfirmed;
    }
    QString reason;
    const bool removed = list_.removeFile(filePath_, &reason);
    if (!removed) {
        Log::write(QStringLiteral("History file %1 not removed: %2").arg(filePath_, reason));
        if (error) {
            *error = reason;
        }
    } else {
        unreadableMovedTo_.clear();
    }
    refreshOnMainThread();
    updateview();
    return removed ? DeleteOutcome::Deleted : DeleteOutcome::Failed;
}

bool addItem::saveAtTermination() {
    QString error;
    if (!list_.save(filePath_, &error)) {
        Log::write(QStringLiteral("History file %1 not written: %2").arg(filePath_, error));
        return false;
    }
    return true;
}

void addItem::setViewState(ViewState state) {
    if (state_ != state) {
        state_ = state;
        emit viewStateChanged(state);
    }
}

void addItem::refreshOnMainThread() {
    if (QThread::currentThread() == thread()) {
        model_->refresh();
    } else {
        QMetaObject::invokeMethod(model_, &HistoryTableModel::refresh, Qt::QueuedConnection);
    }
}

}  // namespace qz
