// Autostart entries as login items: what counts as registered, and what registering writes.
#include "services/LoginItems.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace qz {
namespace {

class LoginItemsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        previous_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", previous_); }

    void writeEntry(const QString& name, const QByteArray& text) {
        QDir().mkpath(LoginItems::autostartFolder());
        QFile file(LoginItems::autostartFolder() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    static QString entryText(const QString& identifier) {
        QFile file(LoginItems::autostartFolder() + u'/' + identifier + ".desktop");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    QTemporaryDir config_;
    QByteArray previous_;
    LoginItems items_;
};

TEST_F(LoginItemsTest, EntriesAreJobsThatAreOnUnlessHiddenOrSwitchedOff) {
    EXPECT_EQ(items_.copyAllJobDictionaries(), std::nullopt);  // no autostart folder yet
    const QByteArray head = "[Desktop Entry]\nType=Application\nExec=true\n";
    const struct {
        const char* identifier;
        QByteArray text;
        bool onDemand;
    } rows[] = {
        {"plain", head, true},
        {"hidden", head + "Hidden=true\n", false},
        {"shown", head + "Hidden=false\n", true},
        {"gnomeOff", head + "X-GNOME-Autostart-enabled = False\n", false},
        {"gnomeOn", head + "X-GNOME-Autostart-enabled=true\n", true},
        {"otherGroup", head + "[Desktop Action quit]\nHidden=true\n", true},
        {"huge", head + QByteArray(LoginItems::kMaxEntryBytes, '#'), false},
    };
    for (const auto& row : rows) {
        writeEntry(QString::fromLatin1(row.identifier) + ".desktop", row.text);
    }
    writeEntry("notes.txt", head);  // not an entry
    const auto jobs = items_.copyAllJobDictionaries();
    ASSERT_TRUE(jobs);
    ASSERT_EQ(jobs->size(), std::size(rows));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.identifier);
        const auto job = std::find_if(jobs->begin(), jobs->end(), [&](const QVariantMap& j) {
            return j.value("Label").toString() == QLatin1String(row.identifier);
        });
        ASSERT_NE(job, jobs->end());
        EXPECT_EQ(job->value("OnDemand").toBool(), row.onDemand);
    }
}

TEST_F(LoginItemsTest, RegisteringWritesOneEntryAndUnregisteringRemovesIt) {
    const QString id = QStringLiteral("com.dizerov.quenzel.helper");
    ASSERT_TRUE(items_.setEnabled(id, "/opt/my tools/quenzel-helper", true));
    EXPECT_TRUE(entryText(id).contains("\nExec=\"/opt/my tools/quenzel-helper\"\n"));
    EXPECT_EQ(QDir(LoginItems::autostartFolder()).entryList(QDir::Files),
              QStringList{id + ".desktop"});  // written in place of a temporary, nothing left
    EXPECT_EQ(items_.copyAllJobDictionaries(),
              (QList<QVariantMap>{{{"Label", id}, {"OnDemand", true}}}));

    // A user's disabled copy is replaced by an enabled one.
    writeEntry(id + ".desktop", "[Desktop Entry]\nHidden=true\n");
    ASSERT_TRUE(items_.setEnabled(id, "/usr/libexec/quenzel/quenzel-helper", true));
    EXPECT_TRUE(items_.copyAllJobDictionaries()->first().value("OnDemand").toBool());

    ASSERT_TRUE(items_.setEnabled(id, QString(), false));
    EXPECT_TRUE(items_.copyAllJobDictionaries()->isEmpty());
    EXPECT_TRUE(items_.setEnabled(id, QString(), false));  // already gone: still as asked

    for (const QString& bad : {QString(), QStringLiteral("../escape"), QStringLiteral(".x")}) {
        EXPECT_FALSE(items_.setEnabled(bad, "/bin/true", true)) << bad.toStdString();
    }
    EXPECT_FALSE(QFile::exists(config_.path() + "/escape.desktop"));
}

TEST_F(LoginItemsTest, AnEntryThatIsAPipeOrALinkToADeviceIsNeitherWaitedOnNorReplaced) {
    const QString folder = LoginItems::autostartFolder();
    QDir().mkpath(folder);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/pipe.desktop"), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", folder + "/device.desktop"));
    ASSERT_TRUE(items_.copyAllJobDictionaries());
    for (const char* id : {"pipe", "device"}) {
        EXPECT_FALSE(items_.setEnabled(id, "/bin/true", true)) << id;
    }
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(folder + "/pipe.desktop"), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    ASSERT_EQ(::stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST_F(LoginItemsTest, ExecLinesQuoteTheProgramAsOneArgument) {
    const struct {
        QString program;
        QString exec;
    } rows[] = {
        {"/usr/bin/quenzel-helper", R"("/usr/bin/quenzel-helper")"},
        {"/home/a b/$HOME/50%/x", R"("/home/a b/\\$HOME/50%%/x")"},
        {R"(/q"uote/back\slash)", R"("/q\\"uote/back\\\\slash")"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(LoginItems::execLine(row.program), row.exec) << row.program.toStdString();
    }
}

}  // namespace
}  // namespace qz
