// The face the window ends on for each kind of published version list.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <optional>

#include "core/care/AccessGrant.h"
#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "services/AccessCheck.h"
#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::LocalHttpServer;

QByteArray listXml(const QString& version) {
    return PropertyList::toXml(QVariantMap{{QStringLiteral("appUpdate"), version},
                                           {QStringLiteral("firefox"), QStringLiteral("128.0")}});
}

TEST(UpdateFace, FollowsThePublishedList) {
    // A valid list naming a newer version, padded past 5 MiB: it must still count as no list.
    QByteArray huge = PropertyList::toXml(
        QVariantMap{{QStringLiteral("appUpdate"), QStringLiteral("9.0")},
                    {QStringLiteral("padding"), QString(5 * 1024 * 1024, u'x')}});
    const auto served = [](const QByteArray& body) {
        return LocalHttpServer::Answer{200, body, true, false};
    };
    // Version order itself (9.0.1 before 10.0, 1.9 before 1.10 and so on) has its own table.
    const struct {
        const char* name;
        const char* installed;
        LocalHttpServer::Answer answer;
        const char* updateTo;  // the version the notice names; null for the normal face
    } cases[] = {
        {"newer", "1.2", served(listXml("1.3")), "1.3"},
        {"equal", "1.3", served(listXml("1.3")), nullptr},
        {"older", "1.4", served(listXml("1.3")), nullptr},
        {"1.10 after 1.9", "1.9", served(listXml("1.10")), "1.10"},
        {"binary", "2.0", served(PropertyList::toBinary(QVariantMap{{"appUpdate", "2.0.1"}})),
         "2.0.1"},
        {"malformed xml", "1.2", served(listXml("1.3").left(120)), nullptr},
        {"array root", "1.2", served(PropertyList::toXml(QVariantList{QStringLiteral("1.3")})),
         nullptr},
        {"5 MiB body", "1.2", {200, huge, false, false}, nullptr},
        {"404 with a list as body", "1.2", {404, listXml("1.3"), true, false}, nullptr},
        {"never answers", "1.2", {200, {}, true, true}, nullptr},
    };

    const Localization english = Localization::forLanguage(QStringLiteral("en"));
    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("settings.conf")));
    defaults.setObject(Bookmark::create(dir.path()), Settings::Key::folderGrant);
    LocalHttpServer server;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Only the silent server waits out the time-out, scaled from 10 s to 0.2 s.
        std::optional<test::ScopedTimeScale> scale;
        if (c.answer.silent) {
            scale.emplace(0.02);
        }
        const QString path = QStringLiteral("/%1/Quenzel2_Browser.plist").arg(&c - cases);
        server.serve(path, c.answer);
        AccessCheck check(defaults, english);
        check.updateCheck().setListUrl(server.url(path));
        check.updateCheck().setInstalledVersion(QString::fromLatin1(c.installed));
        FaceState window;  // as the interface file leaves it: everything hidden
        QObject::connect(&check, &AccessCheck::faceChanged,
                         [&](const FaceChange& change) { window.apply(change); });
        std::optional<UpdateAnswer> answer;
        QObject::connect(&check, &AccessCheck::updateAnswered,
                         [&](const UpdateAnswer& a) { answer = a; });

        check.checkSandbox();
        ASSERT_TRUE(test::waitFor([&] { return answer.has_value(); }));

        FaceState expected;
        if (c.updateTo) {
            expected.imageSandbox = expected.textUpdate = expected.btnUpdate = true;
            expected.imageName = QStringLiteral("Quenzel");
            expected.updateText =
                english.format(QStringLiteral("oldVersionText"), {QString(c.updateTo)});
        } else {
            expected.slotViews = true;
        }
        EXPECT_EQ(window, expected) << "notice: " << window.updateText.toStdString();
        EXPECT_EQ(answer->updateRequired, c.updateTo != nullptr);
    }
}

}  // namespace
}  // namespace qz
