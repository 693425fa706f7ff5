#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/formats/Localization.h"
#include "gui/extras/Share.h"
#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

// What the share window handed over: which service (nothing for the picker) and the items.
struct Handed {
    std::optional<SharingService::Name> service;
    std::shared_ptr<ShareItems> items;
    ShareItems::Picture pictureThen;  // the picture's state when it was handed over
    QRect rect;                       // the picker's anchor
    QWidget* view = nullptr;
    Qt::Edge edge = Qt::LeftEdge;
};

class FakeService : public SharingService {
  public:
    FakeService(Name name, const bool& can, int& asked, std::vector<Handed>& log)
        : SharingService(name), can_(can), asked_(asked), log_(log) {}
    bool canPerformWithItems() const override {
        ++asked_;
        return can_;
    }
    void performWithItems(const std::shared_ptr<ShareItems>& items) override {
        log_.push_back({name(), items, items->picture(), {}, nullptr, Qt::LeftEdge});
    }

  private:
    const bool& can_;
    int& asked_;
    std::vector<Handed>& log_;
};

class FakePicker : public SharingServicePicker {
  public:
    FakePicker(std::shared_ptr<ShareItems> items, std::vector<Handed>& log)
        : SharingServicePicker(std::move(items)), log_(log) {}
    void showRelativeToRect(const QRect& rect, QWidget* view, Qt::Edge edge) override {
        log_.push_back({std::nullopt, items(), items()->picture(), rect, view, edge});
    }

  private:
    std::vector<Handed>& log_;
};

class FakeServices : public SharingServices {
  public:
    std::unique_ptr<SharingService> sharingServiceNamed(SharingService::Name name) override {
        const bool twitter = name == SharingService::Name::PostOnTwitter;
        return std::make_unique<FakeService>(name, twitter ? twitterCan : facebookCan,
                                             twitter ? twitterAsked : facebookAsked, log);
    }
    std::unique_ptr<SharingServicePicker> pickerWithItems(
        std::shared_ptr<ShareItems> items) override {
        return std::make_unique<FakePicker>(std::move(items), log);
    }
    bool twitterCan = true, facebookCan = true;
    int twitterAsked = 0, facebookAsked = 0;
    std::vector<Handed> log;
};

QByteArray encoded(const QSize& size, const char* format) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

class ShareTest : public testing::Test {
  protected:
    void SetUp() override {
        // The picker's real menu asks the desktop; keep the machine's programs out of it.
        previousQuery_ = SharingService::setHandlerQuery([](const QString&) { return false; });
        previousSite_ = qgetenv("QUENZEL_WEBSITE");
    }
    void TearDown() override {
        SharingService::setHandlerQuery(previousQuery_);
        qputenv("QUENZEL_WEBSITE", previousSite_);
    }
    SharingService::HandlerQuery previousQuery_;
    QByteArray previousSite_;
};

TEST_F(ShareTest, EachButtonHandsItsTextAtOnceAndItsPictureWhenItArrives) {
    const test::ScopedTimeScale fast(0.02);  // a silent site times out in 0.2 s
    const QSize wide(8, 4), square(6, 6);
    // Installed: the site is the folder of pages installed with the program.
    enum class Site { Online, Installed, Offline, NotAPicture, Silent };
    const struct {
        const char* button;
        std::optional<SharingService::Name> service;
        const char* textKey;
        QSize online;  // the picture the action carries when the site answers
    } actions[] = {
        {"chooseServiceButton", std::nullopt, "Welcome", wide},
        {"TwitterButton", SharingService::Name::PostOnTwitter, "SecondCareShare", square},
        {"FacebookButton", SharingService::Name::PostOnFacebook, "SecondCareShare", wide},
    };
    for (const Site site :
         {Site::Online, Site::Installed, Site::Offline, Site::NotAPicture, Site::Silent}) {
        test::LocalHttpServer server;
        const bool pictures = site == Site::Online || site == Site::Installed;
        server.serve(QStringLiteral("/images/xxx.png"),
                     {200, pictures ? encoded(wide, "PNG") : QByteArray("<html>")});
        server.serve(QStringLiteral("/images/cover_inapp.jpg"),
                     {200, pictures ? encoded(square, "JPG") : QByteArray("<html>")});
        if (site == Site::Silent) {
            server.serve(QStringLiteral("/images/xxx.png"), {200, {}, true, true});
            server.serve(QStringLiteral("/images/cover_inapp.jpg"), {200, {}, true, true});
        }
        qputenv("QUENZEL_WEBSITE", server.site().toUtf8());
        QTemporaryDir pages;
        if (site == Site::Installed) {
            QDir(pages.path()).mkdir(QStringLiteral("images"));
            for (const auto& [path, size, format] :
                 {std::tuple{"/images/xxx.png", wide, "PNG"},
                  std::tuple{"/images/cover_inapp.jpg", square, "JPG"}}) {
                QFile file(pages.path() + QLatin1String(path));
                ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                file.write(encoded(size, format));
            }
            qputenv("QUENZEL_WEBSITE", QUrl::fromLocalFile(pages.path()).toString().toUtf8());
        }
        if (site == Site::Offline) {
            server.close();
        }
        FakeServices services;
        Share share(services);
        for (const auto& action : actions) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(site) << " " << action.button);
            auto* button = share.shareWin->findChild<QPushButton*>(action.button);
            services.log.clear();
            QTest::mousePress(button, Qt::LeftButton);
            // Handed over on the press, before the site could answer.
            ASSERT_EQ(services.log.size(), 1u);
            const Handed handed = services.log.front();
            EXPECT_EQ(handed.service, action.service);
            EXPECT_EQ(handed.items->text(), Localization::shared().format(action.textKey));
            EXPECT_EQ(handed.pictureThen, ShareItems::Picture::Pending);
            if (!action.service) {
                EXPECT_EQ(handed.view, button);
                EXPECT_EQ(handed.rect, button->rect());
                EXPECT_EQ(handed.edge, Qt::TopEdge);
            }
            QTest::mouseRelease(button, Qt::LeftButton);
            EXPECT_EQ(services.log.size(), 1u);  // the release does not share again
            ASSERT_TRUE(test::waitFor(
                [&] { return handed.items->picture() != ShareItems::Picture::Pending; }));
            EXPECT_EQ(handed.items->image().size(), pictures ? action.online : QSize(0, 0));
        }
    }
}

TEST_F(ShareTest, ServicesAreAskedOnceAtSetUpAndTheirButtonsKeepThatAnswer) {
    for (const bool twitterCan : {false, true}) {
        for (const bool facebookCan : {false, true}) {
            SCOPED_TRACE(testing::Message() << twitterCan << facebookCan);
            FakeServices services;
            services.twitterCan = twitterCan;
            services.facebookCan = facebookCan;
            Share share(services);
            EXPECT_EQ(share.close->text(), Localization::shared().text("Close"));
            EXPECT_EQ(share.shareWin->windowTitle(), Localization::shared().text("WelcomeTitle"));
            EXPECT_FALSE(share.chooseServiceButton->icon().isNull());
            // Able later: the buttons stay as set up, through showing and sharing.
            services.twitterCan = services.facebookCan = true;
            share.showWindow();
            QTest::mousePress(share.chooseServiceButton, Qt::LeftButton);
            QTest::mousePress(share.TwitterButton, Qt::LeftButton);
            EXPECT_EQ(share.TwitterButton->isEnabled(), twitterCan);
            EXPECT_EQ(share.FacebookButton->isEnabled(), facebookCan);
            EXPECT_EQ(services.twitterAsked + services.facebookAsked, 2);
            EXPECT_EQ(services.log.size(), twitterCan ? 2u : 1u);
            // Every service started here composes on the share window.
            EXPECT_EQ(share.tweetSharingService()->delegate(), &share);
            EXPECT_EQ(share.delegateForSharingService(nullptr)->sourceWindowForShareItems(nullptr),
                      share.shareWin);
        }
    }
}

}  // namespace
}  // namespace qz
