#include "gui/window/HistoryTableModel.h"

#include "core/care/SizeText.h"
#include "core/formats/Localization.h"

namespace qz {

namespace {
QString keyOfColumn(int column) {
    switch (column) {
        case HistoryTableModel::NameBrowser:
            return HistoryList::kNameKey;
        case HistoryTableModel::DateCare:
            return HistoryList::kDateKey;
        default:
            return {};
    }
}
}  // namespace

QString HistoryTableModel::columnIdentifier(int column) {
    switch (column) {
        case NameBrowser:
            return QStringLiteral("nameBrowser");
        case DateCare:
            return QStringLiteral("dateCare");
        default:
            return {};
    }
}

HistoryTableModel::HistoryTableModel(HistoryList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(&list), rows_(list.entries()) {}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) {
        return {};
    }
    const HistoryEntry& entry = rows_[index.row()];
    if (role == Qt::ToolTipRole) {
        return whatWent(entry);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case NameBrowser:
            return entry.browserName;
        case DateCare:
            return entry.dateCare;
        default:
            return {};
    }
}

QString HistoryTableModel::whatWent(const HistoryEntry& entry) {
    const Localization& texts = Localization::shared();
    QStringList lines;
    if (!entry.items.isEmpty()) {
        QStringList items;
        for (const QString& item : entry.items) {
            items.append(texts.format(item));
        }
        lines.append(
            texts.format(QStringLiteral("historyItems"), {items.join(QStringLiteral(", "))}));
    }
    if (entry.bytesFreed) {
        lines.append(texts.format(QStringLiteral("historyFreed"),
                                  {convertSizeToString(*entry.bytesFreed, texts)}));
    }
    return lines.join(u'\n');
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        const QString identifier = columnIdentifier(section);
        return identifier.isEmpty() ? QVariant() : Localization::shared().text(identifier);
    }
    if (role == Qt::UserRole) {
        return columnIdentifier(section);
    }
    return {};
}

void HistoryTableModel::sort(int column, Qt::SortOrder order) {
    const QString key = keyOfColumn(column);
    if (key.isEmpty()) {
        return;
    }
    descriptors_.removeIf([&](const HistorySortDescriptor& d) { return d.key == key; });
    descriptors_.prepend({key, order == Qt::AscendingOrder});
    list_->sort(descriptors_);
    refresh();
}

void HistoryTableModel::refresh() {
    beginResetModel();
    rows_ = list_->entries();
    endResetModel();
}

}  // namespace qz
