// Message boxes wrap their texts at a width of their own choosing, often three or four words;
// sheets get room for a sentence per line instead.
#pragma once

#include <QLabel>
#include <QMessageBox>

namespace qz {

// Call once the texts are set: the informative label only exists from then on.
inline void giveSheetRoom(QMessageBox* sheet, int width = 340) {
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        if (auto* label = sheet->findChild<QLabel*>(QLatin1String(name))) {
            label->setMinimumWidth(width);
        }
    }
}

}  // namespace qz
