// The share window: recommends the program by e-mail, a copy, or a post on one of two social
// networks, with a text and a picture from our web site that joins the share when it arrives.
#pragma once

#include <QObject>
#include <QPushButton>
#include <functional>
#include <memory>

#include "gui/extras/SharingService.h"

namespace Ui {
class Share;
}

namespace qz {

class Share : public QObject, public SharingServiceDelegate, public SharingServicePickerDelegate {
    Q_OBJECT
  public:
    // What one action shares: the key of its text and the path of its picture on the site.
    struct Action {
        const char* textKey;
        const char* picturePath;
    };
    static constexpr Action kPickerAction{"Welcome", "/images/xxx.png"};
    static constexpr Action kTwitterAction{"SecondCareShare", "/images/cover_inapp.jpg"};
    static constexpr Action kFacebookAction{"SecondCareShare", "/images/xxx.png"};
    // The largest picture decoded, in pixels on each side.
    static constexpr int kMaxPictureSide = 4096;

    // Loads the share window and sets it up; `services` must outlive this object.
    explicit Share(SharingServices& services = SharingServices::standard(),
                   QObject* parent = nullptr);
    ~Share() override;

    // Shows the window, raises it and gives it the focus.
    void showWindow();

    // Outlets, as the interface file names them.
    QPushButton* close = nullptr;
    QPushButton* chooseServiceButton = nullptr;
    QPushButton* TwitterButton = nullptr;
    QPushButton* FacebookButton = nullptr;
    QWidget* shareWin = nullptr;
    SharingService* tweetSharingService() const { return tweetSharingService_.get(); }
    SharingService* postFbSharingService() const { return postFbSharingService_.get(); }

    QWidget* sourceWindowForShareItems(SharingService* service) override;
    SharingServiceDelegate* delegateForSharingService(SharingService* service) override;

  public slots:
    void chooseFromSharingServicePicker();
    void shareTwitter();
    void shareFacebook();

  private:
    void awakeFromNib();
    std::unique_ptr<SharingService> keptService(SharingService::Name name, QPushButton* button);
    // The action's text now; its picture is fetched off the main thread and joins later.
    std::shared_ptr<ShareItems> shareItems(const Action& action);
    // Fetched from the site (off the main thread) and decoded on our own worker.
    void fetchPicture(const std::shared_ptr<ShareItems>& items, const QUrl& url);
    using Settle = std::function<void(const QImage&)>;
    void decodeOnWorker(Settle settle, std::function<QByteArray()> load);

    SharingServices& services_;
    std::unique_ptr<QWidget> window_;
    std::unique_ptr<Ui::Share> ui_;
    std::unique_ptr<SharingService> tweetSharingService_;
    std::unique_ptr<SharingService> postFbSharingService_;
    std::unique_ptr<SharingServicePicker> picker_;
};

}  // namespace qz
