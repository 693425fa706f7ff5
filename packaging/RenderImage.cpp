// Draws one of our SVG pictures into a PNG or JPEG of a given size at build time: the icon
// theme's sizes, the site's share pictures and the window's pictures at the sizes it shows
// them ("fit": the drawing's proportions within the box, as an icon of that size draws it).
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList arguments = QGuiApplication::arguments();
    bool okWidth = false;
    bool okHeight = false;
    const int width = arguments.value(3).toInt(&okWidth);
    const int height = arguments.value(4).toInt(&okHeight);
    const bool fit = arguments.value(5) == QStringLiteral("fit");
    if (arguments.size() != (fit ? 6 : 5) || !okWidth || !okHeight || width <= 0 || height <= 0) {
        err << "usage: quenzel-render-image DRAWING.svg PICTURE.png|jpg WIDTH HEIGHT [fit]"
            << Qt::endl;
        return 2;
    }
    QSvgRenderer drawing(arguments[1]);
    if (!drawing.isValid()) {
        err << "cannot read the drawing " << arguments[1] << Qt::endl;
        return 1;
    }
    // JPEG has no transparency: such pictures get a white ground.
    const bool opaque = !arguments[2].endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
    const QSize size = fit ? drawing.defaultSize().scaled(width, height, Qt::KeepAspectRatio)
                           : QSize(width, height);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(opaque ? Qt::white : Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    drawing.render(&painter);
    painter.end();
    // PNG at its default compression; JPEG at a quality that keeps the gradients smooth.
    const int quality = opaque ? 90 : -1;
    if (!QDir().mkpath(QFileInfo(arguments[2]).path()) ||
        !picture.save(arguments[2], nullptr, quality)) {
        err << "cannot write the picture " << arguments[2] << Qt::endl;
        return 1;
    }
    return 0;
}
