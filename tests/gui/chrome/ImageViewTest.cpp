// A picture view fits its picture to its frame and keeps it below a line of text it must not cover.
#include <gtest/gtest.h>

#include <QImage>

#include "gui/chrome/ImageView.h"

namespace qz {
namespace {

// The first row of the grabbed view that holds a painted pixel; -1 for none.
int firstPaintedRow(ImageView& view) {
    const QImage image = view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                return y;
            }
        }
    }
    return -1;
}

TEST(ImageViewTest, APictureTallerThanTheRoomStaysBelowItsClearLine) {
    const struct {
        int clearAbove;  // in the parent's coordinates; the view's top is at 14
        int atOrBelow;   // the first painted row may not be above this one
        int atMost;      // and it starts no lower than this (the picture still shows)
    } cases[] = {{-1, 0, 15}, {37, 23, 40}, {100, 86, 110}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clearAbove);
        QWidget panel;
        panel.setAttribute(Qt::WA_NoSystemBackground);
        ImageView view(&panel);
        view.setAttribute(Qt::WA_TranslucentBackground);
        view.setImageName(QStringLiteral("emblemFirefox"));
        view.setGeometry(0, 14, 160, 165);
        view.setClearAbove(c.clearAbove);
        const int row = firstPaintedRow(view);
        EXPECT_GE(row, c.atOrBelow);
        EXPECT_LE(row, c.atMost);
        EXPECT_EQ(view.focusPolicy(), Qt::NoFocus);
    }
}

}  // namespace
}  // namespace qz
