// Draws one of our SVG pictures into a PNG or JPEG of a given size at build time: the icon
// theme's sizes, the site's share pictures and the window's pictures at the sizes it shows
// them ("fit": the drawing's proportions within the box, as an icon of that size draws it).
// A ".qzpx" picture is raw pixels that the program shows without decoding: "QZPX", the width,
// the height and a zero (32 bits each, little-endian), then the rows of premultiplied ARGB32
// pixels in this machine's byte order (the program is built where its pictures are drawn).
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>
#include <QtEndian>

namespace {

bool writeRaw(const QImage& picture, const QString& path) {
    QByteArray bytes("QZPX");
    for (const int value : {picture.width(), picture.height(), 0}) {
        const quint32 little = qToLittleEndian(quint32(value));
        bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
    }
    for (int y = 0; y < picture.height(); ++y) {
        bytes.append(reinterpret_cast<const char*>(picture.constScanLine(y)), picture.width() * 4);
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

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
        err << "usage: quenzel-render-image DRAWING.svg PICTURE.png|jpg|qzpx WIDTH HEIGHT [fit]"
            << Qt::endl;
        return 2;
    }
    QSvgRenderer drawing(arguments[1]);
    if (!drawing.isValid()) {
        err << "cannot read the drawing " << arguments[1] << Qt::endl;
        return 1;
    }
    // JPEG has no transparency: such pictures get a white ground.
    const bool raw = arguments[2].endsWith(QStringLiteral(".qzpx"));
    const bool opaque = !raw && !arguments[2].endsWith(QStringLiteral(".png"), Qt::CaseInsensitive);
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
        !(raw ? writeRaw(picture, arguments[2]) : picture.save(arguments[2], nullptr, quality))) {
        err << "cannot write the picture " << arguments[2] << Qt::endl;
        return 1;
    }
    return 0;
}
