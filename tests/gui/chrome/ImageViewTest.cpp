// A picture view fits its picture to its frame and keeps it below a line of text it must not cover;
// its pictures look the same whether rendered at build time or drawn.
#include <gtest/gtest.h>

#include <QIcon>
#include <QImage>
#include <cstdlib>

#include "WindowPictures.h"
#include "core/formats/Bundle.h"
#include "gui/chrome/BundleImage.h"
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

// A bundle image draws the picture rendered at build time where there is one and the drawing
// itself elsewhere, at the same size and with the same pixels either way.
TEST(ImageViewTest, ABundleImageLooksTheSameRenderedOrDrawn) {
    const struct {
        const char* name;
        QSize box;
        qreal scale;
        QIcon::Mode mode;
        QSize shown;  // the picture's size in device pixels
        bool raw;     // shown from the program's own bytes, nothing decoded or copied
    } cases[] = {
        {"emblemSafari", {200, 107}, 1, QIcon::Normal, {107, 107}, true},   // rendered
        {"emblemSafari", {200, 107}, 2, QIcon::Normal, {214, 214}, false},  // rendered at 2x
        {"QuenzelTitle", {103, 20}, 1, QIcon::Active, {103, 20}, true},     // rendered
        {"emblemSafari", {90, 90}, 1, QIcon::Normal, {90, 90}, false},      // drawn
        {"preset", {58, 18}, 1, QIcon::Disabled, {54, 18}, false},          // drawn, greyed
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2x%3 at %4")
                         .arg(c.name)
                         .arg(c.box.width())
                         .arg(c.box.height())
                         .arg(c.scale)
                         .toStdString());
        const QIcon image = bundleImage(QString::fromLatin1(c.name));
        const QPixmap picture = image.pixmap(c.box, c.scale, c.mode);
        EXPECT_EQ(picture.size(), c.shown);
        EXPECT_EQ(picture.devicePixelRatio(), c.scale);
        EXPECT_EQ(image.actualSize(c.box, c.mode), c.shown / c.scale);
        const uchar* pixels = picture.toImage().constBits();
        bool inProgram = false;
        for (int i = 0; i < kWindowPictureCount; ++i) {
            inProgram |= pixels >= kWindowPictures[i].begin && pixels < kWindowPictures[i].end;
        }
        EXPECT_EQ(inProgram, c.raw);
        // The drawing itself, as Qt's SVG engine draws it at that size.
        const QImage drawn = QIcon(Bundle::imagePath(QString::fromLatin1(c.name)))
                                 .pixmap(c.box, c.scale, c.mode)
                                 .toImage()
                                 .convertToFormat(QImage::Format_ARGB32);
        const QImage got = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(got.size(), drawn.size());
        int differing = 0;
        for (int y = 0; y < got.height(); ++y) {
            for (int x = 0; x < got.width(); ++x) {
                const QRgb a = got.pixel(x, y);
                const QRgb b = drawn.pixel(x, y);
                differing += std::abs(qAlpha(a) - qAlpha(b)) > 8 || std::abs(qRed(a) - qRed(b)) > 8;
            }
        }
        EXPECT_LT(differing, got.width() * got.height() / 100) << "pixels unlike the drawing's";
    }
}

}  // namespace
}  // namespace qz
