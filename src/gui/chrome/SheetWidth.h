// Message boxes wrap their texts at a width of their own choosing, often three or four words;
// sheets get room for a sentence per line instead.
#pragma once

#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace qz {

// Call once the texts and the icon are set: the box lays itself out anew when they change, and
// the room is part of that layout. The texts stand in the grid's last column; a spacer below
// them keeps that column at least `width` wide.
inline void giveSheetRoom(QMessageBox* sheet, int width = 340) {
    if (auto* grid = qobject_cast<QGridLayout*>(sheet->layout())) {
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                      grid->rowCount(), grid->columnCount() - 1);
    }
}

}  // namespace qz
