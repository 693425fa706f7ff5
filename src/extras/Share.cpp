#include "extras/Share.h"

#include <QBuffer>
#include <QImageReader>
#include <QPointer>
#include <QThreadPool>

#include "platform/Bundle.h"
#include "platform/Localization.h"
#include "platform/RemoteResource.h"
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

}  // namespace

Share::Share(SharingServices& services, QObject* parent)
    : QObject(parent),
      services_(services),
      window_(std::make_unique<QWidget>()),
      ui_(std::make_unique<Ui::Share>()) {
    pictureWorker_.setMaxThreadCount(1);
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
    chooseServiceButton->setIcon(Bundle::image(QStringLiteral("share")));
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
    // Fetched on the network thread, decoded on our own worker; the items learn the outcome on
    // the main thread, unless every share holding them has ended by then.
    std::weak_ptr<ShareItems> weak = items;
    auto settle = [weak](const QImage& image) {
        if (const std::shared_ptr<ShareItems> alive = weak.lock()) {
            alive->settlePicture(image);
        }
    };
    QPointer<Share> self(this);
    RemoteResource::get(url, items.get(), [self, settle](const RemoteResource::Result& result) {
        if (!self || !result.ok()) {
            settle({});
            return;
        }
        // The worker is the share's own: destroying it waits for the decoding, so the share is
        // there to receive the answer.
        Share* share = self.data();
        share->pictureWorker_.start([share, settle, body = result.body] {
            const QImage image = decodePicture(body);
            QMetaObject::invokeMethod(
                share, [settle, image] { settle(image); }, Qt::QueuedConnection);
        });
    });
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
