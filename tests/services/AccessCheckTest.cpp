// The grant and the window face: first launch, choosing a folder, a grant that no longer resolves.
#include "services/AccessCheck.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "core/care/AccessGrant.h"
#include "core/formats/Bookmark.h"
#include "core/formats/Localization.h"
#include "core/formats/PropertyList.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"
#include "support/LocalHttpServer.h"
#include "support/WaitFor.h"

namespace qz {
namespace {

using test::LocalHttpServer;

const QString kListPath = QStringLiteral("/Quenzel2_Browser.plist");

// An access check on a private settings file, with the window's state mirrored in `window`.
class AccessCheckTest : public ::testing::Test {
  protected:
    AccessCheckTest() : defaults_(dir_.filePath(QStringLiteral("settings.conf"))) {
        server_.serve(kListPath,
                      {200, PropertyList::toXml(QVariantMap{{"appUpdate", "7.0"}}), true, false});
        check_.updateCheck().setListUrl(server_.url(kListPath));
        check_.updateCheck().setInstalledVersion(QStringLiteral("6.5"));
        QObject::connect(&check_, &AccessCheck::faceChanged,
                         [this](const FaceChange& change) { window_.apply(change); });
    }

    QString makeFolder(const QString& name) {
        QDir().mkpath(dir_.filePath(name));
        return dir_.filePath(name);
    }
    static FaceState stateOf(const FaceChange& change) {
        FaceState state;
        state.apply(change);
        return state;
    }
    // What the settings file holds, as another launch would read it.
    QByteArray storedOnDisk() const {
        return UserDefaults(defaults_.filePath()).dataForKey(Settings::Key::folderGrant);
    }

    QTemporaryDir dir_;
    UserDefaults defaults_;
    Localization english_ = Localization::forLanguage(QStringLiteral("en"));
    LocalHttpServer server_;
    AccessCheck check_{defaults_, english_};
    FaceState window_;
};

TEST_F(AccessCheckTest, FirstLaunchShowsOnlyTheAccessRequest) {
    window_.slotViews = true;  // whatever the interface file shows
    check_.checkSandbox();
    FaceState expected;
    expected.chooseHD = expected.helpSandbox = expected.imageSandbox = true;
    expected.imageName = QStringLiteral("library");
    EXPECT_EQ(window_, expected);
    EXPECT_FALSE(check_.updateCheck().isRunning()) << "no grant, no update check";
}

TEST_F(AccessCheckTest, SuccessfulChoiceSwitchesAtOnceAndRunsTheCheck) {
    check_.checkSandbox();
    const QString folder = makeFolder(QStringLiteral("NotTheLibrary"));
    QSignalSpy answers(&check_, &AccessCheck::updateAnswered);

    EXPECT_EQ(check_.choose({folder}), std::nullopt);
    // At once, before any answer: the access controls are gone and the panels usable.
    FaceState normal;
    normal.slotViews = true;
    normal.imageName = QStringLiteral("library");
    EXPECT_EQ(window_, normal);
    EXPECT_TRUE(check_.updateCheck().isRunning());
    const auto stored = Bookmark::resolve(storedOnDisk());
    ASSERT_TRUE(stored.has_value()) << "the grant is written to disk at once";
    EXPECT_EQ(stored->path, QDir::cleanPath(folder));

    ASSERT_TRUE(test::waitFor([&] { return answers.count() == 1; }));
    EXPECT_EQ(window_, stateOf(updateRequiredFace(QStringLiteral("7.0"), english_)));
}

TEST_F(AccessCheckTest, GrantWhoseFolderWasDeletedLeavesEveryControlAsItWas) {
    defaults_.setObject(Bookmark::create(makeFolder("Library")), Settings::Key::folderGrant);
    ASSERT_TRUE(QDir(dir_.filePath("Library")).removeRecursively());
    QSignalSpy faces(&check_, &AccessCheck::faceChanged);
    for (FaceState before : {FaceState{}, stateOf(accessRequestFace()),
                             stateOf(updateRequiredFace(QStringLiteral("7.0"), english_))}) {
        window_ = before;
        check_.checkSandbox();
        EXPECT_EQ(window_, before);
    }
    EXPECT_EQ(faces.count(), 0);
    EXPECT_FALSE(check_.updateCheck().isRunning());
    EXPECT_FALSE(defaults_.dataForKey(Settings::Key::folderGrant).isEmpty()) << "the grant is kept";
}

// A choice that makes no grant (the earlier grant goes, the request is shown again): see the
// window's access tests.
TEST_F(AccessCheckTest, ChoiceOfNoneOrSeveralFoldersChangesNothing) {
    const QString kept = makeFolder("Library");
    defaults_.setObject(Bookmark::create(kept), Settings::Key::folderGrant);
    const QByteArray before = defaults_.dataForKey(Settings::Key::folderGrant);
    QSignalSpy faces(&check_, &AccessCheck::faceChanged);
    for (const QStringList& chosen : {QStringList{}, QStringList{kept, makeFolder("Other")}}) {
        EXPECT_EQ(check_.choose(chosen), std::nullopt);
    }
    EXPECT_EQ(faces.count(), 0);
    EXPECT_EQ(defaults_.dataForKey(Settings::Key::folderGrant), before);
}

TEST_F(AccessCheckTest, LaterCheckReplacesAnEarlierOne) {
    server_.serve(QStringLiteral("/silent"), {200, {}, true, true});
    UpdateCheck& updates = check_.updateCheck();
    QSignalSpy answers(&updates, &UpdateCheck::answered);
    updates.setListUrl(server_.url(QStringLiteral("/silent")));
    {
        const test::ScopedTimeScale fast(0.02);  // this fetch gives up after 0.2 s
        updates.start();
    }
    updates.setListUrl(server_.url(kListPath));
    updates.start();
    ASSERT_TRUE(test::waitFor([&] { return answers.count() > 0; }));
    test::waitFor([&] { return server_.requests(QStringLiteral("/silent")) == 1; });
    test::waitFor([] { return false; }, 400);  // past the silent fetch's scaled time-out
    ASSERT_EQ(answers.count(), 1);
    EXPECT_TRUE(answers.first().first().value<UpdateAnswer>().updateRequired);
}

}  // namespace
}  // namespace qz
