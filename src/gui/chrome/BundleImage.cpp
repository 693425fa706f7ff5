#include "gui/chrome/BundleImage.h"

#include <QFile>
#include <QHash>

#include "core/formats/Bundle.h"

namespace qz {

QIcon bundleImage(const QString& name) {
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(name);
    if (it != cache.constEnd()) {
        return it.value();
    }
    const QString path = Bundle::imagePath(name);
    const QIcon icon = QFile::exists(path) ? QIcon(path) : QIcon();
    cache.insert(name, icon);
    return icon;
}

}  // namespace qz
