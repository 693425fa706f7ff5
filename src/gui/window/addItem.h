// The window's care history: the file's entries behind the history table and its view state.
// Cares record into history() from their own thread; careRecorded() then refreshes the table
// on the main thread. Deletes the history on confirmation, and saves at the end.
#pragma once

#include <QObject>
#include <functional>
#include <memory>

#include "core/browsers/Browser.h"
#include "core/history/CareHistory.h"
#include "gui/window/HistoryTableModel.h"

namespace qz {

class addItem : public QObject {
    Q_OBJECT
  public:
    enum class ViewState { NoHistory, HistoryPresent };
    Q_ENUM(ViewState)

    explicit addItem(QObject* parent = nullptr);
    ~addItem() override;

    // The shared store; made (and loaded from the default file) when there is none yet. Main
    // thread only.
    static addItem* sharedMySingleton();

    // Loads the file, sets the view state from its existence and becomes the shared store.
    void setUp(const QString& filePath = HistoryList::defaultFilePath());

    // Records one care of the browser (main thread): appended at the end, the file written at
    // once, the table refreshed. Answers whether the file was written, else why not.
    bool record(BrowserId browser, QString* error = nullptr);
    // The history file's list, for a care to record into from its own thread.
    std::shared_ptr<CareHistory> history() const { return history_; }
    // After a care recorded into history(): the table and the view state follow (main thread).
    void careRecorded();

    QList<HistoryEntry> shoppingListArray() const { return history_->list().entries(); }
    void setShoppingListArray(const QList<HistoryEntry>& entries);
    HistoryTableModel* tableModel() { return model_; }
    const QString& filePath() const { return history_->filePath(); }
    // Where an unreadable history was set aside at set-up (empty when it was not, or once the
    // history has been deleted).
    const QString& unreadableMovedTo() const { return history_->unreadableMovedTo(); }

    ViewState viewState() const { return state_; }
    void hideElement();  // history-present
    void updateview();   // no-history

    enum class DeleteOutcome { NotConfirmed, Deleted, Failed };
    // Deletes the file and the list when `confirm` answers yes. Failed (with the reason) when
    // the file stayed; the list is emptied all the same.
    DeleteOutcome deleteitem(const std::function<bool()>& confirm, QString* error = nullptr);
    // The write at normal termination (nothing for an empty list).
    bool saveAtTermination();

  signals:
    void viewStateChanged(qz::addItem::ViewState state);
    // The file could not be read and was set aside (the window may say so).
    void historyUnreadable(const QString& movedTo);

  private:
    void setViewState(ViewState state);

    std::shared_ptr<CareHistory> history_;
    HistoryTableModel* model_;
    ViewState state_ = ViewState::NoHistory;
};

}  // namespace qz
