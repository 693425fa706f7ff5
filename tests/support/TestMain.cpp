// Runs every test with Qt offscreen on a 1280 x 800 screen, with HOME and the XDG folders in a
// temporary directory, the web site on a closed local port and an empty process table, so no
// test reads or writes the developer's own home, settings, history or cache, reaches the network
// or sees the machine's browsers. The program refuses to run when the folders do not end up
// there.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

#include "services/Executor.h"
#include "support/OfflineSite.h"

namespace {

constexpr const char* kHomeVariables[] = {"HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME",
                                          "XDG_DATA_HOME"};

// Whether every home variable names a folder inside the temporary folder, and that folder
// lies outside the account's own home.
bool homesAreTemporary(const QString& temporary) {
    const passwd* account = ::getpwuid(::getuid());
    const QString realHome =
        account && account->pw_dir ? QDir::cleanPath(QString::fromLocal8Bit(account->pw_dir)) : "";
    if (temporary.isEmpty() || (!realHome.isEmpty() && realHome != QStringLiteral("/") &&
                                (temporary == realHome || temporary.startsWith(realHome + u'/')))) {
        return false;
    }
    for (const char* name : kHomeVariables) {
        const QString value = QDir::cleanPath(qEnvironmentVariable(name));
        if (!value.startsWith(temporary + u'/')) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return 1;
    }
    const QString temporary = QDir::cleanPath(folder.path());
    // Offscreen, on a common laptop screen of 1280 x 800 rather than Qt's default square.
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen") {
        const QString screen = temporary + QStringLiteral("/screen.json");
        QFile file(screen);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(R"({"screens":[{"name":"laptop","x":0,"y":0,"width":1280,"height":800,)"
                       R"("logicalDpi":96,"logicalBaseDpi":96,"dpr":1}]})") < 0) {
            return 1;
        }
        file.close();
        ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + screen).toLocal8Bit().constData(),
                 1);
    }
    for (const char* name : kHomeVariables) {
        const QString path = temporary + u'/' + QString::fromLatin1(name);
        QDir().mkpath(path);
        ::setenv(name, path.toLocal8Bit().constData(), 1);
    }
    if (!homesAreTemporary(temporary)) {
        std::fprintf(stderr, "tests: HOME and the XDG folders must lie in a temporary folder\n");
        std::abort();
    }
    ::setenv("LANG", "C.UTF-8", 1);
    // The window's socket lives in a private runtime folder inside the temporary folder too.
    const QByteArray runtime = (temporary + QStringLiteral("/XDG_RUNTIME_DIR")).toLocal8Bit();
    ::mkdir(runtime.constData(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.constData(), 1);
    // An empty process table: a browser running on this machine never makes a care refuse.
    const QString processTable = temporary + QStringLiteral("/proc");
    QDir().mkpath(processTable);
    ::setenv("QUENZEL_PROC", processTable.toLocal8Bit().constData(), 1);
    // Nothing beyond this machine: the site pages (welcome, version list) fail at once here.
    ::setenv("QUENZEL_WEBSITE", "http://127.0.0.1:9", 1);
    ::unsetenv("QUENZEL_ROOT");
    ::unsetenv("QUENZEL_USER");
    ::unsetenv("QUENZEL_LANG");
    ::unsetenv("QUENZEL_LAYOUT");
    // No test reaches the real web site; the ones that need one serve it on 127.0.0.1.
    ::setenv("QUENZEL_WEBSITE", qz::test::kOfflineWebSite, 1);
    // The network module is built beside the program, not beside the tests.
    ::setenv("QUENZEL_NETWORK_MODULE", QUENZEL_NETWORK_MODULE_FILE, 1);
    QApplication app(argc, argv);
    qz::Executor::lendToWalks();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
