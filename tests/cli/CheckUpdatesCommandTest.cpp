// `quenzel check-updates`: the JSON answer against a local list, and offline.
#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

#include "app/cli/CommandLine.h"
#include "fixtures/FixtureHome.h"
#include "platform/Bundle.h"
#include "platform/PropertyList.h"
#include "support/CliRun.h"
#include "support/LocalHttpServer.h"

namespace qz {
namespace {

using test::LocalHttpServer;

// Points the web site at a test address for one scope.
class ScopedWebSite {
  public:
    explicit ScopedWebSite(const QString& site) : previous_(qgetenv("QUENZEL_WEBSITE")) {
        qputenv("QUENZEL_WEBSITE", site.toUtf8());
    }
    ~ScopedWebSite() {
        if (previous_.isNull()) {
            qunsetenv("QUENZEL_WEBSITE");
        } else {
            qputenv("QUENZEL_WEBSITE", previous_);
        }
    }

  private:
    QByteArray previous_;
};

test::CommandRun checkUpdates(const QStringList& arguments) {
    test::FixtureHome home;
    return test::runCommand(home.files(), arguments);
}

TEST(CheckUpdatesCommand, ReportsThePublishedVersion) {
    const QString installed = Bundle::shortVersion();
    ASSERT_FALSE(installed.isEmpty());
    LocalHttpServer server;
    const auto list = [](const QString& version) {
        return LocalHttpServer::Answer{
            200, PropertyList::toXml(QVariantMap{{QStringLiteral("appUpdate"), version}}), true,
            false};
    };
    const struct {
        const char* site;
        LocalHttpServer::Answer answer;
        QJsonValue published;
        bool required;
    } cases[] = {
        {"/newer", list(installed + ".1"), installed + ".1", true},
        {"/no-key",
         {200, PropertyList::toXml(QVariantMap{{"opera", "100"}}), true, false},
         QJsonValue::Null,
         false},
        {"/not-there", {404, "", true, false}, QJsonValue::Null, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.site);
        server.serve(QLatin1String(c.site) + QStringLiteral("/Quenzel2_Browser.plist"), c.answer);
        const ScopedWebSite site(server.site() + QLatin1String(c.site));
        const test::CommandRun run =
            checkUpdates({QStringLiteral("check-updates"), QStringLiteral("--json")});
        EXPECT_EQ(run.code, 0);
        const QJsonObject app =
            QJsonDocument::fromJson(run.out.toUtf8()).object().value("app").toObject();
        EXPECT_EQ(app.value("installed").toString(), installed) << run.out.toStdString();
        EXPECT_EQ(app.value("published"), c.published);
        EXPECT_EQ(app.value("update_required"), QJsonValue(c.required));
    }
    EXPECT_EQ(server.totalRequests(), 3) << "one fetch per run";
}

TEST(CheckUpdatesCommand, OfflineIsAnAnswerNotAnError) {
    quint16 closedPort = 0;
    {
        LocalHttpServer gone;
        closedPort = quint16(gone.url().port());
    }
    const ScopedWebSite site(QStringLiteral("http://127.0.0.1:%1").arg(closedPort));
    const test::CommandRun json =
        checkUpdates({QStringLiteral("check-updates"), QStringLiteral("--json")});
    EXPECT_EQ(json.code, 0);
    const QJsonObject app =
        QJsonDocument::fromJson(json.out.toUtf8()).object().value("app").toObject();
    EXPECT_TRUE(app.value("published").isNull()) << json.out.toStdString();
    EXPECT_EQ(app.value("update_required"), QJsonValue(false));

    const test::CommandRun text = checkUpdates({QStringLiteral("check-updates")});
    EXPECT_EQ(text.code, 0);
    EXPECT_TRUE(text.out.contains(QStringLiteral("no published version")))
        << text.out.toStdString();
    EXPECT_EQ(checkUpdates({QStringLiteral("check-updates"), QStringLiteral("--xml")}).code,
              CommandLine::kUsage);
}

}  // namespace
}  // namespace qz
