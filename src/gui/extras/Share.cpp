#include "gui/extras/Share.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPointer>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "gui/chrome/BundleImage.h"
#include "services/Executor.h"
#include "services/RemoteResource.h"
#include "ui_Share.h"

namespace qz {

namespace {

// A picture from the web, or a null image when the data is not one or is too large.
QImage decodePicture(const QByteArray& data) {
    QBuffer buffer;
    buffer.setData(data);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > Share::kMaxPictureSide ||
        size.height() > Share::kMaxPictureSide) {
        return {};
    }
    return reader.read();
}

// A picture file of the installed pages: a regular file no larger than a fetched picture.
QByteArray readLocalPicture(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray data = file.read(RemoteResource::kMaxBytes + 1);
    return data.size() > RemoteResource::kMaxBytes ? QByteArray() : data;
}

}  // namespace

Share::Share(SharingServices& services, QObject* parent)
    : QObject(parent),
      services_(services),
      window_(std::make_unique<QWidget>()),
      ui_(std::make_unique<Ui::Share>()) {
    ui_->setupUi(window_.get());
    shareWin = window_.get();
    close = ui_->close;
    chooseServiceButton = ui_->chooseServiceButton;
    TwitterButton = ui_->TwitterButton;
    FacebookButton = ui_->FacebookButton;
    awakeFromNib();
}

Share::~Share() = default;

void Share::awakeFromNib() {
    const Localization& texts = Localization::shared();
    close->setText(texts.text(QStringLiteral("Close")));
    shareWin->setWindowTitle(texts.text(QStringLiteral("WelcomeTitle")));
    // The three buttons act as soon as the mouse goes down.
    connect(chooseServiceButton, &QPushButton::pressed, this,
            &Share::chooseFromSharingServicePicker);
    connect(TwitterButton, &QPushButton::pressed, this, &Share::shareTwitter);
    connect(FacebookButton, &QPushButton::pressed, this, &Share::shareFacebook);
    chooseServiceButton->setIcon(bundleImage(QStringLiteral("share")));
    tweetSharingService_ = keptService(SharingService::Name::PostOnTwitter, TwitterButton);
    postFbSharingService_ = keptService(SharingService::Name::PostOnFacebook, FacebookButton);
}

std::unique_ptr<SharingService> Share::keptService(SharingService::Name name, QPushButton* button) {
    std::unique_ptr<SharingService> service = services_.sharingServiceNamed(name);
    button->setText(service->title());
    // Decided once: a service that cannot post now keeps its button disabled for good.
    button->setEnabled(service->canPerformWithItems());
    service->setDelegate(this);
    return service;
}

void Share::showWindow() {
    shareWin->show();
    shareWin->raise();
    shareWin->activateWindow();
}

QWidget* Share::sourceWindowForShareItems(SharingService*) {
    return shareWin;
}

SharingServiceDelegate* Share::delegateForSharingService(SharingService*) {
    return this;
}

std::shared_ptr<ShareItems> Share::shareItems(const Action& action) {
    auto items =
        std::make_shared<ShareItems>(Localization::shared().format(QLatin1String(action.textKey)));
    fetchPicture(items, QUrl(Bundle::webSite() + QLatin1String(action.picturePath)));
    return items;
}

void Share::fetchPicture(const std::shared_ptr<ShareItems>& items, const QUrl& url) {
    // The items learn the outcome on the main thread, unless every share holding them has
    // ended by then.
    std::weak_ptr<ShareItems> weak = items;
    Settle settle = [weak](const QImage& image) {
        if (const std::shared_ptr<ShareItems> alive = weak.lock()) {
            alive->settlePicture(image);
        }
    };
    // The pages installed with the program: the picture is a file of theirs.
    if (url.isLocalFile()) {
        decodeOnWorker(settle, [path = url.toLocalFile()] { return readLocalPicture(path); });
        return;
    }
    QPointer<Share> self(this);
    RemoteResource::get(url, items.get(), [self, settle](const RemoteResource::Result& result) {
        if (!self || !result.ok()) {
            settle({});
            return;
        }
        self->decodeOnWorker(settle, [body = result.body] { return body; });
    });
}

void Share::decodeOnWorker(Settle settle, std::function<QByteArray()> load) {
    // A share closed before the picture is decoded drops it.
    Executor::submit(
        Executor::Queue::Measuring, [load = std::move(load)] { return decodePicture(load()); },
        this, [settle = std::move(settle)](const QImage& image) { settle(image); });
}

void Share::chooseFromSharingServicePicker() {
    picker_ = services_.pickerWithItems(shareItems(kPickerAction));
    picker_->setDelegate(this);
    picker_->showRelativeToRect(chooseServiceButton->rect(), chooseServiceButton, Qt::TopEdge);
}

void Share::shareTwitter() {
    tweetSharingService_->performWithItems(shareItems(kTwitterAction));
}

void Share::shareFacebook() {
    postFbSharingService_->performWithItems(shareItems(kFacebookAction));
}

}  // namespace qz
