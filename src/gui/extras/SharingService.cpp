#include "gui/extras/SharingService.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QWidget>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "gui/chrome/ShareComposeSheet.h"
#include "services/DesktopSchemes.h"
#include "services/Workspace.h"

namespace qz {

namespace {

SharingService::HandlerQuery& handlerQuery() {
    static SharingService::HandlerQuery query;
    return query;
}

// One query value, percent-encoded so that '+', '&' and '#' in the text survive a web server.
QByteArray queryItem(const char* key, const QString& value) {
    return QByteArray(key) + '=' + QUrl::toPercentEncoding(value);
}

QUrl withQuery(const QString& base, const QList<QByteArray>& items) {
    QUrl url(base);
    url.setQuery(QString::fromLatin1(items.join('&')), QUrl::StrictMode);
    return url;
}

bool isWebService(SharingService::Name name) {
    return name == SharingService::Name::PostOnTwitter ||
           name == SharingService::Name::PostOnFacebook;
}

}  // namespace

void ShareItems::settlePicture(const QImage& image) {
    image_ = image;
    picture_ = image.isNull() ? Picture::None : Picture::Arrived;
    emit pictureSettled();
}

QString SharingService::title() const {
    static const char* keys[] = {"ShareEmail", "ShareCopy", "ShareTwitter", "ShareFacebook"};
    return Localization::shared().text(QLatin1String(keys[static_cast<int>(name_)]));
}

bool SharingService::canPerformWithItems() const {
    switch (name_) {
        case Name::CopyToPasteboard:
            return true;
        case Name::ComposeEmail:
            return hasHandlerForScheme(QStringLiteral("mailto"));
        case Name::PostOnTwitter:
        case Name::PostOnFacebook:
            break;
    }
    return hasHandlerForScheme(QStringLiteral("https"));
}

void SharingService::performWithItems(const std::shared_ptr<ShareItems>& items) {
    if (name_ == Name::CopyToPasteboard) {
        copyToClipboard(*items);
        return;
    }
    const QUrl page = address(name_, items->text(), Bundle::webSite());
    QWidget* window = delegate_ ? delegate_->sourceWindowForShareItems(this) : nullptr;
    if (!isWebService(name_) || !window) {
        Workspace::openURL(page);
        return;
    }
    auto* sheet = new ShareComposeSheet(items, page, window);
    sheet->setWindowTitle(title());
    sheet->open();
}

QUrl SharingService::address(Name name, const QString& text, const QString& site) {
    // Only a web site is worth passing on: the installed pages' folder means nothing to others.
    const QString scheme = QUrl(site).scheme().toLower();
    const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https");
    QList<QByteArray> items;
    switch (name) {
        case Name::ComposeEmail:
            items = {queryItem("subject",
                               Localization::shared().text(QStringLiteral("ShareMailSubject"))),
                     queryItem("body", web ? text + QStringLiteral("\n\n") + site : text)};
            return withQuery(QStringLiteral("mailto:"), items);
        case Name::PostOnTwitter:
            items = {queryItem("text", text)};
            if (web) {
                items.append(queryItem("url", site));
            }
            return withQuery(QStringLiteral("https://twitter.com/intent/tweet"), items);
        case Name::PostOnFacebook:
            if (web) {
                items.append(queryItem("u", site));
            }
            return withQuery(QStringLiteral("https://www.facebook.com/sharer/sharer.php"), items);
        case Name::CopyToPasteboard:
            break;
    }
    return {};
}

void SharingService::copyToClipboard(const ShareItems& items) {
    auto* data = new QMimeData;
    data->setText(items.text());
    if (!items.image().isNull()) {
        data->setImageData(items.image());
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

SharingService::HandlerQuery SharingService::setHandlerQuery(HandlerQuery query) {
    HandlerQuery previous = std::move(handlerQuery());
    handlerQuery() = std::move(query);
    return previous;
}

bool SharingService::hasHandlerForScheme(const QString& scheme) {
    return handlerQuery() ? handlerQuery()(scheme) : desktopHandlesScheme(scheme);
}

SharingServicePicker::SharingServicePicker(std::shared_ptr<ShareItems> items, QObject* parent)
    : QObject(parent), items_(std::move(items)), menu_(std::make_unique<QMenu>()) {
    menu_->setObjectName(QStringLiteral("sharingServicePicker"));
    for (size_t i = 0; i < services_.size(); ++i) {
        services_[i] = std::make_unique<SharingService>(SharingService::kAllNames[i]);
        SharingService* service = services_[i].get();
        QAction* entry = menu_->addAction(service->title());
        entry->setEnabled(service->canPerformWithItems());
        connect(entry, &QAction::triggered, this, [this, service] {
            service->setDelegate(delegate_ ? delegate_->delegateForSharingService(service)
                                           : nullptr);
            service->performWithItems(items_);
        });
    }
}

SharingServicePicker::~SharingServicePicker() = default;

void SharingServicePicker::showRelativeToRect(const QRect& rect, QWidget* view, Qt::Edge edge) {
    const QSize size = menu_->sizeHint();
    const QPoint topLeft = view->mapToGlobal(rect.topLeft());
    const int y = edge == Qt::TopEdge ? topLeft.y() - size.height() : topLeft.y() + rect.height();
    menu_->popup(QPoint(topLeft.x(), y));
}

std::unique_ptr<SharingService> SharingServices::sharingServiceNamed(SharingService::Name name) {
    return std::make_unique<SharingService>(name);
}

std::unique_ptr<SharingServicePicker> SharingServices::pickerWithItems(
    std::shared_ptr<ShareItems> items) {
    return std::make_unique<SharingServicePicker>(std::move(items));
}

SharingServices& SharingServices::standard() {
    static SharingServices services;
    return services;
}

}  // namespace qz
