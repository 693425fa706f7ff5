#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "app/DemoHome.h"
#include "core/browsers/Catalogue.h"
#include "core/browsers/FirefoxProfile.h"
#include "core/care/SizeRules.h"
#include "core/fs/FileManager.h"

namespace qz {
namespace {

TEST(DemoHomeTest, BuildsOnceAHomeWithFourBrowsersAndDataForEveryItem) {
    QTemporaryDir dir;
    const DemoHome demo(dir.path() + QStringLiteral("/demo-home"));
    ASSERT_FALSE(demo.isComplete(QStringLiteral("anna")));
    QString error;
    ASSERT_TRUE(demo.ensure(QStringLiteral("anna"), &error)) << error.toStdString();
    EXPECT_TRUE(demo.isComplete(QStringLiteral("anna")));

    FileManager files;
    ASSERT_TRUE(files.setRoot(demo.root()));
    files.setUserName(QStringLiteral("anna"));
    EXPECT_EQ(installedBrowsers(files).size(), 4);
    EXPECT_FALSE(firefoxDefaultProfile(files).isEmpty());
    for (BrowserId browser : layoutBrowsers(Layout::MacOS)) {
        for (const CareItem& item : catalogue(browser).items) {
            EXPECT_GT(measureItem(item, files), 0u) << item.name.toStdString();
        }
    }

    // Once built, a later start does not rebuild it.
    const QString history =
        demo.root() + QStringLiteral("/Users/anna/Library/Safari/History.plist");
    ASSERT_TRUE(QFile::remove(history));
    ASSERT_TRUE(demo.ensure(QStringLiteral("anna")));
    EXPECT_FALSE(QFile::exists(history));
}

}  // namespace
}  // namespace qz
