#include "gui/chrome/BundleImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QtEndian>
#include <cstring>

#include "WindowPictures.h"
#include "core/formats/Bundle.h"

namespace qz {

namespace {

// Draws a bundle image from the pictures rendered from its drawing at build time, for the sizes
// the window shows; any other size or mode is drawn from the drawing itself, which loads Qt's SVG
// support only then. The window's first frame needs no SVG code that way.
class BundleIconEngine : public QIconEngine {
  public:
    BundleIconEngine(QString name, QString drawing)
        : name_(std::move(name)), drawing_(std::move(drawing)) {}

    // Sizes are in device pixels, as QIcon hands them to its engine.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        if (mode == QIcon::Normal || mode == QIcon::Active) {
            const QPixmap picture = rendered(size);
            if (!picture.isNull()) {
                return picture;
            }
        }
        return drawing().pixmap(size, 1.0, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal /*scale*/) override {
        return pixmap(size, mode, state);
    }

    // As the SVG engine paints: the picture for the rectangle's device size, drawn into it.
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        QSize size = rect.size();
        if (painter->device()) {
            size *= painter->device()->devicePixelRatio();
        }
        painter->drawPixmap(rect, pixmap(size, mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixmap(size, mode, state).size();
    }

    QString key() const override { return QStringLiteral("quenzel-bundle"); }
    QIconEngine* clone() const override { return new BundleIconEngine(name_, drawing_); }
    bool isNull() override { return false; }

  private:
    // The picture rendered for a box of `size` pixels (the drawing fitted into it), if any.
    QPixmap rendered(const QSize& size) {
        const quint64 key = (quint64(quint32(size.width())) << 32) | quint32(size.height());
        const auto known = rendered_.constFind(key);
        if (known != rendered_.constEnd()) {
            return known.value();
        }
        const QPixmap picture = QPixmap::fromImage(windowPicture(
            QStringLiteral("%1-%2x%3").arg(name_).arg(size.width()).arg(size.height())));
        rendered_.insert(key, picture);
        return picture;
    }

    // The picture rendered at build time under that name, null when there is none or it is not
    // whole. A raw one wraps the program's own bytes (nothing decoded or copied); a PNG is read
    // as the PNG it is (no image format plugin asked to recognise it).
    static QImage windowPicture(const QString& name) {
        for (int i = 0; i < kWindowPictureCount; ++i) {
            const WindowPicture& picture = kWindowPictures[i];
            if (name != QLatin1String(picture.name)) {
                continue;
            }
            const std::ptrdiff_t size = picture.end - picture.begin;
            if (size < kRawHeader || std::memcmp(picture.begin, "QZPX", 4) != 0) {
                QByteArray bytes = QByteArray::fromRawData(
                    reinterpret_cast<const char*>(picture.begin), qsizetype(size));
                QBuffer png(&bytes);
                QImageReader reader(&png, "png");
                reader.setAutoDetectImageFormat(false);
                return reader.read();
            }
            const quint32 width = qFromLittleEndian<quint32>(picture.begin + 4);
            const quint32 height = qFromLittleEndian<quint32>(picture.begin + 8);
            if (width == 0 || height == 0 || width > 4096 || height > 4096 ||
                size != kRawHeader + std::ptrdiff_t(width) * height * 4) {
                return {};
            }
            return QImage(picture.begin + kRawHeader, int(width), int(height), int(width) * 4,
                          QImage::Format_ARGB32_Premultiplied);
        }
        return {};
    }

    static constexpr std::ptrdiff_t kRawHeader = 16;

    const QIcon& drawing() {
        if (drawingIcon_.isNull()) {
            drawingIcon_ = QIcon(drawing_);
        }
        return drawingIcon_;
    }

    QString name_;
    QString drawing_;
    QIcon drawingIcon_;
    QHash<quint64, QPixmap> rendered_;
};

}  // namespace

QIcon bundleImage(const QString& name) {
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd()) {
        return it.value();
    }
    const QString path = Bundle::imagePath(name);
    const QIcon icon = QFile::exists(path)
                           ? QIcon(new BundleIconEngine(QFileInfo(path).completeBaseName(), path))
                           : QIcon();
    cache.insert(name, icon);
    return icon;
}

}  // namespace qz
