#include "gui/window/HistoryPopover.h"

#include <QHeaderView>
#include <QVBoxLayout>

#include "core/formats/Localization.h"
#include "gui/chrome/PopupPlacement.h"
#include "gui/chrome/SheetWidth.h"

namespace qz {

namespace {
constexpr int kRowHeight = 17;
constexpr int kRowSpacing = 20;  // between rows, as the table's intercell height
}  // namespace

HistoryPopover::HistoryPopover(addItem& store, const Localization& texts, QWidget* parent)
    : QFrame(parent, Qt::Popup), store_(store), texts_(texts) {
    setObjectName(QStringLiteral("popover"));
    setFrameShape(QFrame::StyledPanel);
    setFixedSize(320, 260);
    auto* layout = new QVBoxLayout(this);

    titlehistory = new QLabel(texts.format(QStringLiteral("titlehistory")), this);
    titlehistory->setObjectName(QStringLiteral("titlehistory"));
    QFont bold = titlehistory->font();
    bold.setBold(true);
    titlehistory->setFont(bold);
    titlehistory->setAlignment(Qt::AlignCenter);

    tableList = new QTableView(this);
    tableList->setObjectName(QStringLiteral("tableList"));
    tableList->setModel(store.tableModel());
    tableList->setStyleSheet(QStringLiteral("QTableView { background: transparent; }"));
    tableList->setFrameShape(QFrame::NoFrame);
    tableList->setShowGrid(false);
    tableList->setAlternatingRowColors(false);
    // No row is ever drawn as selected.
    tableList->setSelectionMode(QAbstractItemView::NoSelection);
    tableList->setFocusPolicy(Qt::NoFocus);
    tableList->verticalHeader()->hide();
    tableList->verticalHeader()->setMinimumSectionSize(kRowHeight);
    tableList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tableList->verticalHeader()->setDefaultSectionSize(kRowHeight + kRowSpacing);
    QHeaderView* header = tableList->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    // No order until the user picks one: the list keeps the order the cares came in.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    // A click on a column title reorders the list itself, so the order is also the one saved.
    connect(header, &QHeaderView::sortIndicatorChanged, store.tableModel(),
            [model = store.tableModel()](int section, Qt::SortOrder order) {
                if (section >= 0) {
                    model->sort(section, order);
                }
            });

    nohistoryimage = new ImageView(this);
    nohistoryimage->setObjectName(QStringLiteral("nohistoryimage"));
    nohistoryimage->setImageName(QStringLiteral("nohistory"));
    nohistoryimage->setFixedSize(96, 96);
    nohistorytext = new QLabel(texts.format(QStringLiteral("nohistorytext")), this);
    nohistorytext->setObjectName(QStringLiteral("nohistorytext"));
    nohistorytext->setAlignment(Qt::AlignCenter);

    deletehistoryBtn = new QPushButton(texts.text(QStringLiteral("deletehistoryB")), this);
    deletehistoryBtn->setObjectName(QStringLiteral("deletehistoryBtn"));
    connect(deletehistoryBtn, &QPushButton::clicked, this, &HistoryPopover::deleteitem);

    // The picture and its line sit in a box of their own, so that the table gets the whole
    // height of the pop-up whenever they are hidden.
    emptyState_ = new QWidget(this);
    auto* empty = new QVBoxLayout(emptyState_);
    empty->setContentsMargins(0, 0, 0, 0);
    empty->addStretch(1);
    empty->addWidget(nohistoryimage, 0, Qt::AlignHCenter);
    empty->addWidget(nohistorytext);
    empty->addStretch(1);

    layout->addWidget(titlehistory);
    layout->addWidget(tableList, 1);
    layout->addWidget(emptyState_, 1);
    layout->addWidget(deletehistoryBtn, 0, Qt::AlignHCenter);

    connect(&store, &addItem::viewStateChanged, this, &HistoryPopover::applyViewState);
    applyViewState(store.viewState());
}

void HistoryPopover::showBelow(QWidget* anchor) {
    showPopup(this, anchor, PopupAlignment::Center);
}

void HistoryPopover::deleteitem() {
    if (confirmation_) {
        return;
    }
    // The question opens on the main window; the pop-up would close under it anyway.
    hide();
    auto* alert = new QMessageBox(parentWidget());
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setWindowModality(Qt::ApplicationModal);
    alert->setIcon(QMessageBox::Warning);
    alert->setText(texts_.text(QStringLiteral("DeleteHistory")));
    alert->setInformativeText(texts_.format(QStringLiteral("DeletedHistoryText")));
    giveSheetRoom(alert);
    QPushButton* ok = alert->addButton(texts_.text(QStringLiteral("OK")), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    alert->addButton(texts_.text(QStringLiteral("Cancel")), QMessageBox::RejectRole)
        ->setObjectName(QStringLiteral("Cancel"));
    alert->setDefaultButton(ok);
    connect(alert, &QMessageBox::finished, this, [this, alert, ok] {
        const bool confirmed = alert->clickedButton() == ok;
        store_.deleteitem([confirmed] { return confirmed; });
        confirmation_ = nullptr;
    });
    confirmation_ = alert;
    alert->open();
}

void HistoryPopover::applyViewState(addItem::ViewState state) {
    const bool present = state == addItem::ViewState::HistoryPresent;
    // A history that could not be read was set aside at start: say so where it would show.
    nohistorytext->setText(texts_.format(store_.unreadableMovedTo().isEmpty()
                                             ? QStringLiteral("nohistorytext")
                                             : QStringLiteral("HistoryUnreadable")));
    nohistoryimage->setHidden(present);
    nohistorytext->setHidden(present);
    emptyState_->setHidden(present);
    titlehistory->setHidden(!present);
    deletehistoryBtn->setHidden(!present);
    tableList->setHidden(!present);
}

}  // namespace qz
