// Quenzel's entry point: a command runs on the command line, otherwise the window opens.
#include <unistd.h>

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "app/cli/CommandLine.h"
#include "platform/Bundle.h"
#include "platform/FileManager.h"

int main(int argc, char* argv[]) {
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
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quenzel"));
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
    if (!qz::CommandLine::apply(options, files, &error)) {
        err << "quenzel: " << error << Qt::endl;
        return qz::CommandLine::kUsage;
    }
    if (options.command.isEmpty()) {
        options.command = QStringLiteral("status");  // until the window exists
    }
    qz::CliContext context{out, err, files, ::isatty(STDIN_FILENO) != 0, [] {
                               QTextStream in(stdin);
                               return in.readLine();
                           }};
    return qz::CommandLine::run(options, context);
}
