// The care history store of the process: records a care from any thread and writes the file
// at once, feeds the history table, deletes the history on confirmation, and saves at the end.
#pragma once

#include <QObject>
#include <functional>

#include "care/Browser.h"
#include "history/HistoryList.h"
#include "history/HistoryTableModel.h"

namespace qz {

class addItem : public QObject {
    Q_OBJECT
  public:
    enum class ViewState { NoHistory, HistoryPresent };
    Q_ENUM(ViewState)

    explicit addItem(QObject* parent = nullptr);
    ~addItem() override;

    // The shared store; made (and loaded from the default file) when there is none yet.
    static addItem* sharedMySingleton();

    // Loads the file, sets the view state from its existence and becomes the shared store.
    void setUp(const QString& filePath = HistoryList::defaultFilePath());

    // Records one care of the browser: appended at the end, the file written at once, the
    // table refreshed on the main thread. Answers whether the file was written, else why not.
    bool record(BrowserId browser, QString* error = nullptr);
    void elementoSafari() { record(BrowserId::Safari); }
    void elementoFirefox() { record(BrowserId::Firefox); }
    void elementoChrome() { record(BrowserId::Chrome); }
    void elementoOpera() { record(BrowserId::Opera); }

    QList<HistoryEntry> shoppingListArray() const { return list_.entries(); }
    void setShoppingListArray(const QList<HistoryEntry>& entries);
    HistoryTableModel* tableModel() { return model_; }
    const QString& filePath() const { return filePath_; }
    // Where an unreadable history was set aside at set-up (empty when it was not, or once the
    // history has been deleted).
    const QString& unreadableMovedTo() const { return unreadableMovedTo_; }

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
    void refreshOnMainThread();

    HistoryList list_;
    HistoryTableModel* model_;
    QString filePath_;
    QString unreadableMovedTo_;
    ViewState state_ = ViewState::NoHistory;
};

}  // namespace qz
