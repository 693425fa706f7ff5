// Every link address comes from one place: site pages from the site, the rest from Info.plist
// keys that the environment can override.
#include <gtest/gtest.h>

#include "services/AccessLinks.h"
#include "services/Workspace.h"

namespace qz {
namespace {

TEST(LinksTest, AddressesComeFromTheSiteOrTheirKeyAndOpenThroughTheWorkspace) {
    QList<QUrl> opened;
    const Workspace::Opener previous = Workspace::setOpener([&](const QUrl& url) {
        opened.append(url);
        return true;
    });
    qputenv("QUENZEL_WEBSITE", "http://127.0.0.1:9/quenzel/");
    qputenv("QUENZEL_BLOG", "http://127.0.0.1:9/blog");
    const struct {
        Endpoint endpoint;
        const char* address;  // nullptr: only the scheme is checked (from Info.plist)
        const char* scheme;
    } rows[] = {
        {Endpoint::WebSite, "http://127.0.0.1:9/quenzel", "http"},
        {Endpoint::SupportPage, "http://127.0.0.1:9/quenzel/support.html", "http"},
        {Endpoint::AccessHelp, "http://127.0.0.1:9/quenzel/support.html#sandbox", "http"},
        {Endpoint::UpdatePage, "http://127.0.0.1:9/quenzel/update.html", "http"},
        {Endpoint::WelcomePage, "http://127.0.0.1:9/quenzel/welcome.html", "http"},
        {Endpoint::Blog, "http://127.0.0.1:9/blog", "http"},
        {Endpoint::SocialPage, nullptr, "https"},
        {Endpoint::RatingPage, nullptr, "http"},
        {Endpoint::ContactMail, nullptr, "mailto"},
    };
    for (const auto& row : rows) {
        const QUrl url = endpointUrl(row.endpoint);
        SCOPED_TRACE(url.toString().toStdString());
        if (row.address) {
            EXPECT_EQ(url, QUrl(QString::fromLatin1(row.address)));
        }
        EXPECT_EQ(url.scheme(), QLatin1String(row.scheme));
        opened.clear();
        EXPECT_TRUE(openEndpoint(row.endpoint));
        EXPECT_EQ(opened, QList<QUrl>{url});
    }

    qputenv("QUENZEL_WEBSITE", "http://127.0.0.1:9");
    qunsetenv("QUENZEL_BLOG");
    Workspace::setOpener(previous);
}

}  // namespace
}  // namespace qz
