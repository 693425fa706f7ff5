// `quenzel care` and `quenzel history`: exit codes, the JSON report, dry runs, and a care
// that survives a forced kill of the process.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/CommandLine.h"
#include "core/browsers/RunningApplications.h"
#include "core/history/HistoryList.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"
#include "fixtures/FixtureHome.h"
#include "services/InstanceName.h"
#include "support/CliRun.h"
#include "support/SmallDisk.h"

namespace qz {
namespace {

using test::CommandRun;
using test::runCommand;

class CareCommandTest : public testing::Test {
  protected:
    void SetUp() override {
        TimeScale::setFactor(0.01);
        QFile::remove(HistoryList::defaultFilePath());
        home_.writeFile("/Users/%@/Library/Safari/History.plist", 10);
        home_.writeFile("/Users/%@/Library/Caches/com.apple.Safari/Cache.db", 20);
    }
    void TearDown() override {
        TimeScale::setFactor(1.0);
        RunningApplications::setProbe({});
    }
    bool exists(const QString& path) { return QFileInfo::exists(home_.local(path)); }
    test::FixtureHome home_;
};

TEST_F(CareCommandTest, RefusalsHaveTheirOwnExitCodes) {
    struct Case {
        const char* name;
        QStringList arguments;
        bool open;
        bool interactive;
        QString answer;
        int code;
        const char* message;
    };
    const QStringList none = {"care", "safari", "--items", ""};
    // clang-format off
    const QList<Case> cases = {
        {"open browser wins over an empty selection", none, true, false, {}, 3, "Safari is open"},
        {"nothing selected", none, false, false, {}, 4, "No Safari items"},
        {"no terminal, no --yes", {"care", "safari"}, false, false, {}, 5, "--yes"},
        {"declined on the terminal", {"care", "safari"}, false, true, "n", 5, "not confirmed"},
        {"unknown item", {"care", "safari", "--items", "cacheF"}, false, false, {}, 2, "cacheF"},
        {"unknown browser", {"care", "lynx"}, false, false, {}, 2, "lynx"},
        {"history --yes alone", {"history", "--yes"}, false, false, {}, 2, "--clear"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RunningApplications::setProbe([&](const QString&) { return c.open; });
        const CommandRun result = runCommand(home_.files(), c.arguments, c.interactive, c.answer);
        EXPECT_EQ(result.code, c.code);
        EXPECT_TRUE(result.err.contains(c.message)) << result.err.toStdString();
        EXPECT_TRUE(exists("/Users/%@/Library/Safari/History.plist"));
        EXPECT_FALSE(QFileInfo::exists(HistoryList::defaultFilePath()));
    }
}

// Clearing the history is refused the same way (the window tests run the binary for both).
TEST_F(CareCommandTest, WhileTheWindowRunsACareRefusesButADryRunDoesNot) {
    QLocalServer window;
    QLocalServer::removeServer(singleInstanceServerName());
    ASSERT_TRUE(window.listen(singleInstanceServerName()));
    EXPECT_EQ(runCommand(home_.files(), {"care", "safari", "--yes"}).code, 6);
    EXPECT_EQ(runCommand(home_.files(), {"care", "safari", "--dry-run"}).code, 0);
    EXPECT_TRUE(exists("/Users/%@/Library/Safari/History.plist"));

    // The owner is the history file's folder: a window on another root still owns it.
    const QString name = singleInstanceServerName();
    FileManager::shared().setRoot(home_.root());
    EXPECT_EQ(singleInstanceServerName(), name);
    FileManager::shared().setRoot(QStringLiteral("/"));
    const QByteArray data = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data + "-elsewhere");
    EXPECT_NE(singleInstanceServerName(), name);
    qputenv("XDG_DATA_HOME", data);
}

TEST_F(CareCommandTest, DryRunChangesNothingThenTheCareReportsAndRecords) {
    const CommandRun dry = runCommand(home_.files(), {"care", "safari", "--dry-run", "--json"});
    ASSERT_EQ(dry.code, 0);
    const QJsonObject plan = QJsonDocument::fromJson(dry.out.toUtf8()).object();
    EXPECT_EQ(plan["would_remove"].toArray().size(), 2);
    EXPECT_EQ(plan["bytes"].toInt(), 30);
    EXPECT_TRUE(exists("/Users/%@/Library/Safari/History.plist"));
    EXPECT_FALSE(QFileInfo::exists(HistoryList::defaultFilePath()));

    const CommandRun care = runCommand(home_.files(), {"care", "safari", "--json"}, true, "y");
    ASSERT_EQ(care.code, 0) << care.err.toStdString();
    const QString json = care.out.mid(care.out.indexOf(u'{'));
    const QJsonObject report = QJsonDocument::fromJson(json.toUtf8()).object();
    EXPECT_EQ(report.keys(), (QStringList{"browser", "bytesFreed", "edited", "failed",
                                          "filesRemoved", "recorded", "removed"}));
    EXPECT_EQ(report["browser"].toString(), "Safari");
    // What went adds up to what the preview said would go.
    EXPECT_EQ(report["bytesFreed"].toInt(), plan["bytes"].toInt());
    EXPECT_EQ(report["filesRemoved"].toInt(), 2);
    EXPECT_EQ(report["removed"].toArray().first().toString(),
              home_.local("/Users/%@/Library/Safari/History.plist"));
    EXPECT_TRUE(report["recorded"].toBool());
    EXPECT_FALSE(exists("/Users/%@/Library/Caches/com.apple.Safari/Cache.db"));

    const CommandRun history = runCommand(home_.files(), {"history", "--json"});
    const QJsonArray entries = QJsonDocument::fromJson(history.out.toUtf8()).array();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].toObject()["ItemNameBrowser"].toString(), "Safari");
    EXPECT_EQ(entries[0].toObject()["ItemsCare"].toArray(), (QJsonArray{"historyS", "cacheS"}));
    EXPECT_EQ(entries[0].toObject()["ItemBytesFreed"].toInt(), 30);

    // In words: the result line says the space freed.
    home_.writeFile("/Users/%@/Library/Caches/com.apple.Safari/Cache.db", 1500);
    const CommandRun words = runCommand(home_.files(), {"care", "safari", "--yes"});
    ASSERT_EQ(words.code, 0) << words.err.toStdString();
    EXPECT_TRUE(words.out.contains("Space freed: 1.5 KB (files removed: 1)."))
        << words.out.toStdString();
    const QString listed = runCommand(home_.files(), {"history"}).out;
    EXPECT_TRUE(listed.contains("30 Bytes freed  (historyS,cacheS)")) << listed.toStdString();
    EXPECT_TRUE(listed.contains("1.5 KB freed  (cacheS)")) << listed.toStdString();
    EXPECT_EQ(runCommand(home_.files(), {"history", "--clear", "--yes"}).code, 0);
    EXPECT_FALSE(QFileInfo::exists(HistoryList::defaultFilePath()));
}

TEST_F(CareCommandTest, OnAFullDiskTheCareSaysNotRecordedAndTheHistoryStays) {
    test::SmallDisk disk;
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.why().toStdString();
    }
    const QByteArray previous = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(disk.path()));
    const auto care = [&] {
        home_.writeFile("/Users/%@/Library/Safari/History.plist", 10);
        const CommandRun run = runCommand(home_.files(), {"care", "safari", "--json", "--yes"});
        return std::pair{
            run, QJsonDocument::fromJson(run.out.mid(run.out.indexOf(u'{')).toUtf8()).object()};
    };
    const auto [first, recorded] = care();
    EXPECT_TRUE(recorded["recorded"].toBool()) << first.err.toStdString();
    QFile file(HistoryList::defaultFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_TRUE(disk.fill());
    const auto [second, report] = care();
    EXPECT_EQ(second.code, 0);  // the removal itself went well
    EXPECT_FALSE(report["recorded"].toBool());
    EXPECT_TRUE(
        report["recordError"].toString().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))))
        << second.out.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(HistoryList::readFile(HistoryList::defaultFilePath())->size(), 1);
    qputenv("XDG_DATA_HOME", previous);
}

TEST_F(CareCommandTest, AFolderThatCannotBeReachedMakesTheCareExitOne) {
    QTemporaryDir outside;
    QDir().mkpath(outside.path() + "/prefs");
    QFile file(outside.path() + "/prefs/com.apple.Safari.plist");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    home_.makeLink("/Users/%@/Library/Preferences", outside.path() + "/prefs");
    QStringList logLines;
    const Log::Sink previous = Log::setSink([&](const QString& line) { logLines.append(line); });
    const CommandRun care =
        runCommand(home_.files(), {"care", "safari", "--items", "historyS,preferencesS", "--yes"});
    Log::setSink(previous);
    EXPECT_EQ(care.code, 1);
    // The log names the file on this disk, the root included.
    EXPECT_TRUE(logLines.filter("Could not remove ")
                    .join('|')
                    .contains(home_.local("/Users/%@/Library/Preferences/com.apple.Safari.plist")))
        << logLines.join('|').toStdString();
    EXPECT_TRUE(care.out.contains(
        "failed " + home_.local("/Users/%@/Library/Preferences/com.apple.Safari.plist")));
    EXPECT_TRUE(
        care.out.contains("removed " + home_.local("/Users/%@/Library/Safari/History.plist")));
    EXPECT_TRUE(QFileInfo::exists(outside.path() + "/prefs/com.apple.Safari.plist"));
}

TEST_F(CareCommandTest, ACareSurvivesAForcedKillOfTheProcess) {
    QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    if (binary.isEmpty()) {
        binary = QCoreApplication::applicationDirPath() + "/../src/app/quenzel";
    }
    ASSERT_TRUE(QFileInfo(binary).isExecutable()) << binary.toStdString();
    QTemporaryDir data;
    home_.writeFile("/Users/%@/Library/Preferences/com.apple.Safari.plist", 3);
    QProcess care;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", data.path());
    environment.insert("QUENZEL_TIME_SCALE", "1");  // the 2 s pause leaves time to kill it
    care.setProcessEnvironment(environment);
    care.start(binary, {"--root", home_.root(), "--user", home_.user(), "care", "safari", "--items",
                        "preferencesS", "--yes"});
    ASSERT_TRUE(care.waitForStarted());
    const QString historyFile = data.path() + "/DIZEROV/History.plist";
    QElapsedTimer waited;
    waited.start();
    while (!QFileInfo::exists(historyFile) && waited.elapsed() < 20000) {
        QThread::msleep(10);
    }
    care.kill();
    care.waitForFinished();
    ASSERT_EQ(care.exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(exists("/Users/%@/Library/Preferences/com.apple.Safari.plist"));  // killed first
    const auto entries = HistoryList::readFile(historyFile);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1);
    EXPECT_EQ(entries->first().browserName, "Safari");
}

TEST_F(CareCommandTest, TreesDeeperThanTheUsualOpenFileLimitAreRemoved) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    ASSERT_TRUE(QFileInfo(binary).isExecutable()) << binary.toStdString();
    const QString cache = QStringLiteral("/Users/%@/Library/Caches/com.operasoftware.Opera");
    home_.writeFile(cache + QStringLiteral("/d").repeated(1100) + "/f", 1);
    // The care starts with the soft limit most systems give and raises it itself.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    if (saved.rlim_max <= 1200) {
        GTEST_SKIP() << "the hard open-file limit is too low to go deeper than 1,024";
    }
    rlimit usual = saved;
    usual.rlim_cur = 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &usual), 0);
    QTemporaryDir data;
    QProcess care;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", data.path());
    environment.insert("QUENZEL_TIME_SCALE", "0.01");
    care.setProcessEnvironment(environment);
    care.start(binary, {"--root", home_.root(), "--user", home_.user(), "care", "opera", "--items",
                        "cacheO", "--yes"});
    const bool started = care.waitForStarted();
    ::setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_TRUE(started && care.waitForFinished(60000));
    EXPECT_EQ(care.exitCode(), 0) << care.readAllStandardError().toStdString();
    EXPECT_FALSE(exists(cache));
}

TEST_F(CareCommandTest, CaresInSeveralProcessesAtOnceEachLeaveTheirEntry) {
    const QString binary = qEnvironmentVariable("QUENZEL_BINARY");
    ASSERT_TRUE(QFileInfo(binary).isExecutable()) << binary.toStdString();
    QTemporaryDir data;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", data.path());
    environment.insert("QUENZEL_TIME_SCALE", "0.01");
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> cares;
        for (int i = 0; i < 4; ++i) {
            auto& care = cares.emplace_back(std::make_unique<QProcess>());
            care->setProcessEnvironment(environment);
            care->start(binary, {"--root", home_.root(), "--user", home_.user(), "care", "opera",
                                 "--items", "cacheO", "--yes", "--json"});
        }
        for (auto& care : cares) {
            ASSERT_TRUE(care->waitForFinished(60000));
            const QJsonObject report =
                QJsonDocument::fromJson(care->readAllStandardOutput()).object();
            EXPECT_TRUE(report.value("recorded").toBool());
        }
    }
    const auto entries = HistoryList::readFile(data.path() + "/DIZEROV/History.plist");
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 12);
}

}  // namespace
}  // namespace qz
