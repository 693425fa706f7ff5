#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QUrlQuery>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "gui/chrome/ShareComposeSheet.h"
#include "gui/extras/SharingService.h"
#include "services/Workspace.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using Name = SharingService::Name;

// Replaces the desktop for one test: the schemes it handles and the addresses it opened.
class FakeDesktop {
  public:
    explicit FakeDesktop(QSet<QString> schemes = {}) {
        previousQuery_ = SharingService::setHandlerQuery(
            [schemes](const QString& scheme) { return schemes.contains(scheme); });
        previousOpener_ = Workspace::setOpener([this](const QUrl& url) {
            opened.push_back(url);
            return true;
        });
    }
    ~FakeDesktop() {
        SharingService::setHandlerQuery(previousQuery_);
        Workspace::setOpener(previousOpener_);
    }
    std::vector<QUrl> opened;

  private:
    SharingService::HandlerQuery previousQuery_;
    Workspace::Opener previousOpener_;
};

class Window : public QWidget, public SharingServiceDelegate {
  public:
    QWidget* sourceWindowForShareItems(SharingService*) override { return this; }
};

TEST(SharingServiceTest, AddressesCarryTheTextIntactAndOnlyAWebSite) {
    const QString text = QStringLiteral("C++ & more: 100% #1?\nsì");
    const QString web = QStringLiteral("http://127.0.0.1:8/q?a=b");
    const QString pages = QStringLiteral("file:///usr/share/quenzel/site");
    const QString subject = Localization::shared().text("ShareMailSubject");
    const struct {
        Name name;
        QString site;
        const char* start;
        std::vector<std::pair<QString, QString>> items;
    } cases[] = {
        {Name::ComposeEmail,
         web,
         "mailto:",
         {{"subject", subject}, {"body", text + QStringLiteral("\n\n") + web}}},
        {Name::PostOnTwitter,
         web,
         "https://twitter.com/intent/tweet?",
         {{"text", text}, {"url", web}}},
        {Name::PostOnFacebook, web, "https://www.facebook.com/sharer/sharer.php?", {{"u", web}}},
        // The installed pages' folder is nobody else's address.
        {Name::ComposeEmail, pages, "mailto:", {{"subject", subject}, {"body", text}}},
        {Name::PostOnTwitter, pages, "https://twitter.com/intent/tweet?", {{"text", text}}},
        {Name::PostOnFacebook, pages, "https://www.facebook.com/sharer/sharer.php", {}},
    };
    for (const auto& c : cases) {
        const QUrl url = SharingService::address(c.name, text, c.site);
        SCOPED_TRACE(url.toString().toStdString());
        EXPECT_TRUE(url.toString(QUrl::FullyEncoded).startsWith(QLatin1String(c.start)));
        const QString query = url.query(QUrl::FullyEncoded);
        // A web server reads '+' as a space and stops at '#'.
        EXPECT_FALSE(query.contains(u'+') || query.contains(u'#') || query.contains(u' '));
        const QUrlQuery items(url);
        EXPECT_EQ(items.queryItems().size(), static_cast<qsizetype>(c.items.size()));
        for (const auto& [key, value] : c.items) {
            EXPECT_EQ(items.queryItemValue(key, QUrl::FullyDecoded), value) << key.toStdString();
        }
    }
}

TEST(SharingServiceTest, ServicesCanPerformWhenTheDesktopHandlesTheirScheme) {
    const struct {
        QSet<QString> schemes;
        bool email, web;
    } cases[] = {
        {{}, false, false},
        {{"mailto"}, true, false},
        {{"https", "http"}, false, true},
    };
    for (const auto& c : cases) {
        FakeDesktop desktop(c.schemes);
        EXPECT_EQ(SharingService(Name::ComposeEmail).canPerformWithItems(), c.email);
        EXPECT_TRUE(SharingService(Name::CopyToPasteboard).canPerformWithItems());
        EXPECT_EQ(SharingService(Name::PostOnTwitter).canPerformWithItems(), c.web);
        EXPECT_EQ(SharingService(Name::PostOnFacebook).canPerformWithItems(), c.web);
    }
}

TEST(SharingServiceTest, ANetworkComposesOnTheWindowAndOnlyShareCopiesAndOpens) {
    QImage picture(5, 3, QImage::Format_RGB32);
    picture.fill(Qt::magenta);
    for (const bool share : {false, true}) {
        FakeDesktop desktop;
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
        Window window;
        window.resize(400, 300);
        window.show();
        SharingService service(Name::PostOnFacebook);
        service.setDelegate(&window);
        auto items = std::make_shared<ShareItems>(QStringLiteral("Hello"));
        service.performWithItems(items);

        auto* sheet = window.findChild<ShareComposeSheet*>();
        ASSERT_NE(sheet, nullptr);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
        EXPECT_EQ(sheet->textLabel()->text(), QStringLiteral("Hello"));
        EXPECT_FALSE(sheet->pictureLabel()->isVisible());
        items->settlePicture(picture);  // arrives while the sheet is up
        EXPECT_TRUE(sheet->pictureLabel()->isVisible());
        EXPECT_TRUE(desktop.opened.empty());

        QTest::mouseClick(share ? sheet->shareButton() : sheet->cancelButton(), Qt::LeftButton);
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        EXPECT_EQ(desktop.opened.size(), share ? 1u : 0u);
        EXPECT_EQ(copied->text(), share ? QStringLiteral("Hello") : QStringLiteral("before"));
        if (share) {
            EXPECT_EQ(desktop.opened.front(),
                      SharingService::address(Name::PostOnFacebook, "Hello", Bundle::webSite()));
            EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).size(), picture.size());
        }
    }
}

TEST(SharingServiceTest, ThePickerOpensAboveItsAnchorAndRunsThePickedService) {
    FakeDesktop desktop({"mailto"});
    QWidget anchor;
    anchor.setGeometry(300, 400, 40, 40);
    anchor.show();
    auto items = std::make_shared<ShareItems>(QStringLiteral("Try it"));
    SharingServicePicker picker(items);
    picker.showRelativeToRect(anchor.rect(), &anchor, Qt::TopEdge);
    QMenu* menu = picker.menu();
    ASSERT_TRUE(test::waitFor([menu] { return menu->isVisible(); }));
    EXPECT_EQ(menu->geometry().bottom() + 1, anchor.mapToGlobal(QPoint(0, 0)).y());
    const QList<QAction*> entries = menu->actions();
    ASSERT_EQ(entries.size(), 4);
    const bool enabled[] = {true, true, false, false};  // e-mail, copy, then the networks
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(entries[i]->text(), SharingService(SharingService::kAllNames[i]).title());
        EXPECT_EQ(entries[i]->isEnabled(), enabled[i]);
    }
    entries[0]->trigger();
    ASSERT_EQ(desktop.opened.size(), 1u);
    EXPECT_EQ(desktop.opened.front().scheme(), QStringLiteral("mailto"));
    entries[1]->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Try it"));
}

}  // namespace
}  // namespace qz
