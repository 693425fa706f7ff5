#include "chrome/ImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "platform/Bundle.h"

namespace qz {

ImageView::ImageView(QWidget* parent) : QLabel(parent) {}

void ImageView::setImageName(const QString& name) {
    imageName_ = name;
    setImage(Bundle::image(name));
}

void ImageView::setImage(const QIcon& image) {
    image_ = image;
    update();
}

void ImageView::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    image_.paint(&painter, contentsRect(), Qt::AlignCenter);
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
