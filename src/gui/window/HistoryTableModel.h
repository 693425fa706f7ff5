// The history table's data: two columns, `nameBrowser` and `dateCare`, over a snapshot of the
// list taken on the main thread, and sorting that reorders the list itself.
#pragma once

#include <QAbstractTableModel>
#include <QList>

#include "core/history/HistoryList.h"

namespace qz {

class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { NameBrowser = 0, DateCare = 1 };
    // The column identifiers, as the table's column outlets are named.
    static QString columnIdentifier(int column);
    // The tool tip of an entry: the items that went and the space freed, where it recorded them
    // (empty for older entries).
    static QString whatWent(const HistoryEntry& entry);

    explicit HistoryTableModel(HistoryList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    // The clicked column becomes the first descriptor; earlier ones break ties.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    const QList<HistorySortDescriptor>& sortDescriptors() const { return descriptors_; }
    // Takes a fresh snapshot of the list (main thread).
    void refresh();
    // Shows another list from the next refresh on.
    void setList(HistoryList& list) { list_ = &list; }

  private:
    HistoryList* list_;
    QList<HistoryEntry> rows_;
    QList<HistorySortDescriptor> descriptors_;
};

}  // namespace qz
