// Runs every test with Qt offscreen, with the XDG folders in a temporary directory and the web
// site on a closed local port, so no test reads or writes the developer's own settings,
// history or cache, or reaches the network.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>

#include "support/OfflineSite.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QTemporaryDir xdg;
    if (!xdg.isValid()) {
        return 1;
    }
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
        const QByteArray path = (xdg.path() + u'/' + QString::fromLatin1(name)).toLocal8Bit();
        ::setenv(name, path.constData(), 1);
    }
    ::setenv("LANG", "C.UTF-8", 1);
    // Nothing beyond this machine: the site pages (welcome, version list) fail at once here.
    ::setenv("QUENZEL_WEBSITE", "http://127.0.0.1:9", 1);
    ::unsetenv("QUENZEL_ROOT");
    ::unsetenv("QUENZEL_USER");
    ::unsetenv("QUENZEL_LANG");
    // No test reaches the real web site; the ones that need one serve it on 127.0.0.1.
    ::setenv("QUENZEL_WEBSITE", qz::test::kOfflineWebSite, 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
