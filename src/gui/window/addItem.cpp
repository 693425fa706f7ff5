#include "gui/window/addItem.h"

namespace qz {

namespace {
addItem*& sharedStore() {
    static addItem* store = nullptr;
    return store;
}
}  // namespace

addItem::addItem(QObject* parent)
    : QObject(parent),
      history_(std::make_shared<CareHistory>()),
      model_(new HistoryTableModel(history_->list(), this)) {}

addItem::~addItem() {
    if (sharedStore() == this) {
        sharedStore() = nullptr;
    }
}

addItem* addItem::sharedMySingleton() {
    if (!sharedStore()) {
        (new addItem)->setUp();
    }
    return sharedStore();
}

void addItem::setUp(const QString& filePath) {
    // A care still running records into the history it was given, never into this one.
    history_ = std::make_shared<CareHistory>(filePath);
    model_->setList(history_->list());
    const HistoryList::LoadOutcome outcome = history_->load();
    model_->refresh();
    setViewState(outcome == HistoryList::LoadOutcome::Loaded ? ViewState::HistoryPresent
                                                             : ViewState::NoHistory);
    if (outcome == HistoryList::LoadOutcome::Unreadable) {
        // Kept, so a window made later can still tell the user.
        emit historyUnreadable(history_->unreadableMovedTo());
    }
    sharedStore() = this;
}

bool addItem::record(BrowserId browser, QString* error) {
    const bool written = history_->record(browser, error);
    careRecorded();
    return written;
}

void addItem::careRecorded() {
    model_->refresh();
    hideElement();
}

void addItem::setShoppingListArray(const QList<HistoryEntry>& entries) {
    history_->list().setEntries(entries);
    model_->refresh();
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
    const bool removed = history_->clear(error);
    model_->refresh();
    updateview();
    return removed ? DeleteOutcome::Deleted : DeleteOutcome::Failed;
}

bool addItem::saveAtTermination() {
    return history_->save();
}

void addItem::setViewState(ViewState state) {
    if (state_ != state) {
        state_ = state;
        emit viewStateChanged(state);
    }
}

}  // namespace qz
