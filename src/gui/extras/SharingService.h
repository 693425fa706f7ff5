// Sharing on a desktop that has no system sharing services: e-mail through a mailto: address,
// a copy to the clipboard, and two social networks' public share pages opened in the browser.
#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QUrl>
#include <array>
#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace qz {

// What one share hands over: its text at once, and a picture that may join it later.
class ShareItems : public QObject {
    Q_OBJECT
  public:
    enum class Picture { Pending, Arrived, None };

    explicit ShareItems(QString text) : text_(std::move(text)) {}
    const QString& text() const { return text_; }
    // Null unless a picture arrived.
    const QImage& image() const { return image_; }
    Picture picture() const { return picture_; }
    // The picture's fetch ended: a null image means the share stays text only.
    void settlePicture(const QImage& image);

  signals:
    void pictureSettled();

  private:
    QString text_;
    QImage image_;
    Picture picture_ = Picture::Pending;
};

class SharingService;

// Answers which window a service's composing sheet comes from.
class SharingServiceDelegate {
  public:
    virtual ~SharingServiceDelegate() = default;
    virtual QWidget* sourceWindowForShareItems(SharingService* service) = 0;
};

class SharingService : public QObject {
    Q_OBJECT
  public:
    enum class Name { ComposeEmail, CopyToPasteboard, PostOnTwitter, PostOnFacebook };
    // The order in which the picker lists the services.
    static constexpr std::array<Name, 4> kAllNames = {Name::ComposeEmail, Name::CopyToPasteboard,
                                                      Name::PostOnTwitter, Name::PostOnFacebook};

    explicit SharingService(Name name, QObject* parent = nullptr) : QObject(parent), name_(name) {}

    Name name() const { return name_; }
    // The localised name shown in the picker and on buttons.
    QString title() const;
    void setDelegate(SharingServiceDelegate* delegate) { delegate_ = delegate; }
    SharingServiceDelegate* delegate() const { return delegate_; }

    // Whether the desktop can carry this service out at all (a program handles its addresses).
    virtual bool canPerformWithItems() const;
    // E-mail opens the mail program, Copy fills the clipboard, a network first shows its
    // composing sheet on the delegate's window; the picture may still join while it is up.
    virtual void performWithItems(const std::shared_ptr<ShareItems>& items);

    // The address a service opens for a text; `site` is the program's web site.
    static QUrl address(Name name, const QString& text, const QString& site);
    // Puts the text and, when there is one, the picture on the clipboard.
    static void copyToClipboard(const ShareItems& items);

    // Whether a desktop program handles addresses of a scheme ("mailto", "https"); tests
    // replace the query. Returns the previous one.
    using HandlerQuery = std::function<bool(const QString& scheme)>;
    static HandlerQuery setHandlerQuery(HandlerQuery query);
    static bool hasHandlerForScheme(const QString& scheme);

  private:
    Name name_;
    SharingServiceDelegate* delegate_ = nullptr;
};

// Chooses the delegate of the service the user picks.
class SharingServicePickerDelegate {
  public:
    virtual ~SharingServicePickerDelegate() = default;
    virtual SharingServiceDelegate* delegateForSharingService(SharingService* service) = 0;
};

// Offers every service in a menu; the one picked runs with the picker's items.
class SharingServicePicker : public QObject {
    Q_OBJECT
  public:
    explicit SharingServicePicker(std::shared_ptr<ShareItems> items, QObject* parent = nullptr);
    ~SharingServicePicker() override;

    void setDelegate(SharingServicePickerDelegate* delegate) { delegate_ = delegate; }
    const std::shared_ptr<ShareItems>& items() const { return items_; }
    // Shows the menu against one edge of a rectangle given in `view`'s coordinates: above it
    // for the top edge, below it for the bottom edge.
    virtual void showRelativeToRect(const QRect& rect, QWidget* view, Qt::Edge edge);
    QMenu* menu() const { return menu_.get(); }

  private:
    std::shared_ptr<ShareItems> items_;
    SharingServicePickerDelegate* delegate_ = nullptr;
    std::unique_ptr<QMenu> menu_;
    std::array<std::unique_ptr<SharingService>, 4> services_;
};

// Makes services and pickers; the share window asks it for each, and tests replace it.
class SharingServices {
  public:
    virtual ~SharingServices() = default;
    virtual std::unique_ptr<SharingService> sharingServiceNamed(SharingService::Name name);
    virtual std::unique_ptr<SharingServicePicker> pickerWithItems(
        std::shared_ptr<ShareItems> items);
    static SharingServices& standard();
};

}  // namespace qz
