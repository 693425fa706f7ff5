// Quenzel's entry point: a command runs on the command line, otherwise the window opens.
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/Application.h"
#include "app/DemoHome.h"
#include "cli/CommandLine.h"
#include "core/formats/Bundle.h"
#include "core/fs/FileManager.h"
#include "core/settings/Log.h"

namespace {
// Removal holds one descriptor per folder level: allow as many as the system lets us, so a
// deep tree is not cut short by the usual soft limit of 1024.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}
}  // namespace

int main(int argc, char* argv[]) {
    raiseOpenFileLimit();
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    QTextStream out(stdout);
    QTextStream err(stderr);
    qz::GlobalOptions options = qz::CommandLine::parse(arguments);
    if (!options.error.isEmpty()) {
        err << "quenzel: " << options.error << " (see --help)" << Qt::endl;
        return qz::CommandLine::kUsage;
    }
    qz::Log::setEcho(options.verbose);
    const bool window = options.command.isEmpty() && !options.help && !options.version;
    if (options.demo) {
        // Demo runs keep their settings and history beside the demo home, apart from the
        // user's own; the variables must be set before anything reads them.
        const qz::DemoHome demo;
        ::setenv("XDG_CONFIG_HOME", demo.configFolder().toLocal8Bit().constData(), 1);
        ::setenv("XDG_DATA_HOME", demo.dataFolder().toLocal8Bit().constData(), 1);
    }
    std::unique_ptr<QCoreApplication> app = window ? std::make_unique<QApplication>(argc, argv)
                                                   : std::make_unique<QCoreApplication>(argc, argv);
    // The application name is also the window's X11 class, which the desktop entry names.
    QCoreApplication::setApplicationName(QStringLiteral("quenzel"));
    if (window) {
        // The name window managers show for message boxes and beside other windows' titles.
        QGuiApplication::setApplicationDisplayName(QStringLiteral("Quenzel"));
        QGuiApplication::setDesktopFileName(
            qz::Bundle::objectForInfoDictionaryKey(QStringLiteral("CFBundleIdentifier")));
    }
    if (options.help) {
        out << qz::CommandLine::usage();
        return qz::CommandLine::kOk;
    }
    if (options.version) {
        out << "Quenzel " << qz::Bundle::shortVersion() << " (" << qz::Bundle::version() << ")"
            << Qt::endl;
        return qz::CommandLine::kOk;
    }
    qz::FileManager& files = qz::FileManager::shared();
    QString error;
    if (options.demo) {
        const qz::DemoHome demo;
        const QString user = options.user.isEmpty() ? files.userName() : options.user;
        if (!demo.ensure(user, &error)) {
            err << "quenzel: cannot build the demo home: " << error << Qt::endl;
            return qz::CommandLine::kUsage;
        }
        options.root = demo.root();
        // The window asks for the folder itself on its first launch; commands and the
        // screenshot run on a granted demo home.
        if (!window || qEnvironmentVariableIsSet("QUENZEL_SCREENSHOT")) {
            demo.grantAccess(user);
        }
    }
    if (!qz::CommandLine::apply(options, files, &error)) {
        err << "quenzel: " << error << Qt::endl;
        return qz::CommandLine::kUsage;
    }
    qz::Application application(files);
    if (window) {
        return application.runWindow(options.background);
    }
    qz::CliContext context{out, err, files, ::isatty(STDIN_FILENO) != 0, [] {
                               QTextStream in(stdin);
                               return in.readLine();
                           }};
    return application.runCommand(options, context);
}
