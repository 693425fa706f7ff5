// Every link address comes from one place: site pages from the site, the rest from Info.plist
// keys (empty as shipped) that the environment can override.
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
    qputenv("QUENZEL_CONTACTMAIL", "mailto:quenzel@localhost");
    const struct {
        Endpoint endpoint;
        const char* address;  // empty: no address (the package ships none), nothing opens
    } rows[] = {
        {Endpoint::WebSite, "http://127.0.0.1:9/quenzel/"},
        {Endpoint::SupportPage, "http://127.0.0.1:9/quenzel/support.html"},
        {Endpoint::AccessHelp, "http://127.0.0.1:9/quenzel/support.html#sandbox"},
        {Endpoint::UpdatePage, "http://127.0.0.1:9/quenzel/update.html"},
        {Endpoint::WelcomePage, "http://127.0.0.1:9/quenzel/welcome.html"},
        {Endpoint::Blog, "http://127.0.0.1:9/blog"},
        {Endpoint::ContactMail, "mailto:quenzel@localhost"},
        {Endpoint::SocialPage, ""},
        {Endpoint::RatingPage, ""},
    };
    for (const auto& row : rows) {
        const QUrl url = endpointUrl(row.endpoint);
        SCOPED_TRACE(row.address);
        EXPECT_EQ(url, QUrl(QString::fromLatin1(row.address)));
        opened.clear();
        EXPECT_EQ(openEndpoint(row.endpoint), !url.isEmpty());
        EXPECT_EQ(opened, url.isEmpty() ? QList<QUrl>{} : QList<QUrl>{url});
    }

    qputenv("QUENZEL_WEBSITE", "http://127.0.0.1:9");
    qunsetenv("QUENZEL_BLOG");
    qunsetenv("QUENZEL_CONTACTMAIL");
    Workspace::setOpener(previous);
}

}  // namespace
}  // namespace qz
