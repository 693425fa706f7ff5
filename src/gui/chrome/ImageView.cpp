#include "gui/chrome/ImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "core/formats/Bundle.h"
#include "gui/chrome/BundleImage.h"

namespace qz {

ImageView::ImageView(QWidget* parent) : QLabel(parent) {
    setFocusPolicy(Qt::NoFocus);  // a picture, never a stop of the Tab key
}

void ImageView::setImageName(const QString& name) {
    imageName_ = name;
    setImage(bundleImage(name));
}

void ImageView::setClearAbove(int parentY) {
    clearAbove_ = parentY;
    update();
}

void ImageView::setImage(const QIcon& image) {
    image_ = image;
    rendered_ = QPixmap();
    update();
}

void ImageView::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    // The picture is rendered once at the largest size that fits the frame (QIcon::paint would
    // render it at the frame's size first, then again at the size that fits) and kept for the
    // next paint of the same size.
    QRect frame = contentsRect();
    if (clearAbove_ >= 0) {
        frame.setTop(std::max(frame.top(), clearAbove_ - y()));
        if (frame.height() <= 0) {
            return;
        }
    }
    const qreal ratio = devicePixelRatioF();
    if (rendered_.isNull() || renderedFrame_ != frame.size() ||
        rendered_.devicePixelRatio() != ratio) {
        rendered_ = image_.pixmap(frame.size(), ratio);
        renderedFrame_ = frame.size();
    }
    QPainter painter(this);
    const QSize shown = rendered_.deviceIndependentSize().toSize();
    painter.drawPixmap(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, shown, frame),
                       rendered_);
}

void ImageView::mousePressEvent(QMouseEvent* event) {
    QWidget* top = window();
    if (event->button() == Qt::LeftButton && top->windowHandle() && !top->isFullScreen()) {
        top->windowHandle()->startSystemMove();
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

}  // namespace qz
