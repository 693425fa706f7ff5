#include "gui/chrome/SheetWidth.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

namespace qz {
namespace {

// The texts of a sheet get a line of at least the given width, with an icon or without, however
// short they are; the buttons stay below them.
TEST(SheetWidthTest, TheTextsGetRoomForASentencePerLine) {
    const struct {
        QMessageBox::Icon icon;
        int width;
    } rows[] = {
        {QMessageBox::Warning, 340}, {QMessageBox::NoIcon, 340}, {QMessageBox::Warning, 420}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.width);
        QMessageBox sheet(row.icon, QString(), QStringLiteral("Short."));
        sheet.setInformativeText(QStringLiteral("Also short."));
        giveSheetRoom(&sheet, row.width);
        QPushButton* button = sheet.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        sheet.show();
        int texts = 0;
        for (QLabel* label : sheet.findChildren<QLabel*>()) {
            if (label->text() == sheet.text() || label->text() == sheet.informativeText()) {
                ++texts;
                EXPECT_GE(label->width(), row.width) << label->text().toStdString();
                EXPECT_LT(label->geometry().bottom(), button->mapTo(&sheet, QPoint()).y());
            }
        }
        EXPECT_EQ(texts, 2);
    }
}

}  // namespace
}  // namespace qz
