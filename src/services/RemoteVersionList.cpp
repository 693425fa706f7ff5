#include "services/RemoteVersionList.h"

#include "core/formats/Bundle.h"
#include "core/formats/PropertyList.h"
#include "services/RemoteResource.h"

namespace qz {

namespace {
std::optional<PublishedVersions> listFrom(const RemoteResource::Result& result) {
    return result.ok() ? RemoteVersionList::parse(result.body) : std::nullopt;
}
}  // namespace

QUrl RemoteVersionList::url() {
    // The pages installed with the program carry no list: without a web site there is no check.
    const QUrl site(Bundle::webSite());
    const QString scheme = site.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        return {};
    }
    return QUrl(Bundle::webSite() + QStringLiteral("/Quenzel2_Browser.plist"));
}

std::optional<PublishedVersions> RemoteVersionList::parse(const QByteArray& body) {
    // A flat dictionary of a few versions: anything much larger is not a version list.
    PropertyListLimits limits;
    limits.maxBytes = 1024 * 1024;
    limits.maxDepth = 4;
    limits.maxNodes = 10000;
    const std::optional<QVariant> root = PropertyList::read(body, limits);
    if (!root || root->typeId() != QMetaType::QVariantMap) {
        return std::nullopt;
    }
    PublishedVersions list;
    const QVariantMap map = root->toMap();
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (it.value().typeId() != QMetaType::QString) {
            return std::nullopt;
        }
        list.insert(it.key(), it.value().toString());
    }
    return list;
}

void RemoteVersionList::fetch(const QUrl& address, QObject* context, Callback callback) {
    RemoteResource::get(address, context,
                        [callback = std::move(callback)](const RemoteResource::Result& result) {
                            callback(listFrom(result));
                        });
}

std::optional<PublishedVersions> RemoteVersionList::fetchBlocking(const QUrl& address) {
    return listFrom(RemoteResource::getBlocking(address));
}

}  // namespace qz
