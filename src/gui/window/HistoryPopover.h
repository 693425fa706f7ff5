// The care-history popover under the title bar's clock: the table of past cares (sorted by a
// click on a column title), or a picture and a line while there is none, and the button that
// clears the history once the user confirms.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTableView>

#include "gui/chrome/ImageView.h"
#include "gui/window/addItem.h"

namespace qz {

class Localization;

class HistoryPopover : public QFrame {
    Q_OBJECT
  public:
    // `parent` is the main window: the deletion's confirmation opens on it.
    HistoryPopover(addItem& store, const Localization& texts, QWidget* parent);

    // Opens the popover below the button, or above it when the screen ends too soon.
    void showBelow(QWidget* anchor);
    // The clear button's action: asks on the main window, then clears the history.
    void deleteitem();
    // The deletion's question while it is open; nullptr otherwise.
    QMessageBox* confirmation() const { return confirmation_; }

    // Outlets, named as the history store knows them.
    QTableView* tableList = nullptr;
    ImageView* nohistoryimage = nullptr;
    QLabel* nohistorytext = nullptr;
    QLabel* titlehistory = nullptr;
    QPushButton* deletehistoryBtn = nullptr;

  private:
    void applyViewState(addItem::ViewState state);

    addItem& store_;
    const Localization& texts_;
    QWidget* emptyState_ = nullptr;
    QPointer<QMessageBox> confirmation_;
};

}  // namespace qz
