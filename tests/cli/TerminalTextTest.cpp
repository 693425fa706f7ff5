// Texts that come from files reach the terminal with their control characters escaped, as in
// the JSON output, so a crafted name cannot move the cursor or retitle the window.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/formats/PropertyList.h"
#include "core/history/HistoryList.h"
#include "fixtures/LinuxHome.h"
#include "support/CliRun.h"

namespace qz {
namespace {

// Whether the text holds a character a terminal would act on rather than show.
bool holdsControls(const QString& text) {
    for (const QChar c : text) {
        if ((c.unicode() < 0x20 && c != u'\n') || (c.unicode() >= 0x7f && c.unicode() <= 0x9f)) {
            return true;
        }
    }
    return false;
}

TEST(TerminalTextTest, ControlCharactersFromFilesAreEscapedWhenPrinted) {
    const struct {
        const char* name;
        QString raw;
        QString printed;
    } cases[] = {
        {"escape sequence", QStringLiteral("Fire\x1b[2Jfox"), QStringLiteral("Fire\\u001b[2Jfox")},
        {"C1 control", QStringLiteral("a") + QChar(0x9b) + "31m", QStringLiteral("a\\u009b31m")},
        {"newline and carriage return", QStringLiteral("one\ntwo\rthree"),
         QStringLiteral("one\\u000atwo\\u000dthree")},
        {"DEL and bell", QStringLiteral("x\x7fy\x07"), QStringLiteral("x\\u007fy\\u0007")},
        {"backslash", QStringLiteral("a\\u001b"), QStringLiteral("a\\\\u001b")},
        {"plain text and emoji", QStringLiteral("Opera \U0001F600"),
         QStringLiteral("Opera \U0001F600")},
    };
    test::LinuxHome home;
    const QString history = HistoryList::defaultFilePath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(history).path()));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(history);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(PropertyList::toBinary(QVariantList{QVariantMap{
            {HistoryList::kNameKey, c.raw}, {HistoryList::kDateKey, "date " + c.raw}}}));
        file.close();
        const test::CommandRun listed = test::runCommand(home.files(), {"history"});
        ASSERT_EQ(listed.code, 0) << listed.err.toStdString();
        EXPECT_FALSE(holdsControls(listed.out));
        EXPECT_TRUE(listed.out.contains(c.printed)) << listed.out.toStdString();
        EXPECT_TRUE(listed.out.contains("date " + c.printed)) << listed.out.toStdString();
    }
    QFile::remove(history);

    // A profile's name from the browser's own list.
    QFile list(home.local("/.mozilla/firefox/profiles.ini"));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly | QIODevice::Truncate));
    list.write("[Profile0]\nName=evil\x1b]0;owned\x07\xc2\x9b\nIsRelative=1\nPath=xyz.default\n");
    list.close();
    const test::CommandRun status = test::runCommand(home.files(), {"status"});
    ASSERT_EQ(status.code, 0) << status.err.toStdString();
    EXPECT_FALSE(holdsControls(status.out));
    EXPECT_TRUE(status.out.contains("evil\\u001b]0;owned\\u0007\\u009b"))
        << status.out.toStdString();
}

}  // namespace
}  // namespace qz
