// Runs a command of the command line in-process and keeps what it printed.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/CommandLine.h"

namespace qz::test {

struct CommandRun {
    int code;
    QString out;
    QString err;
};

// `answer` is what the user types at a y/N question; `interactive` says a terminal is there.
inline CommandRun runCommand(FileManager& files, const QStringList& arguments,
                             bool interactive = false, const QString& answer = {}) {
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    CliContext context{outStream, errStream, files, interactive, [answer] { return answer; }};
    const int code = CommandLine::run(CommandLine::parse(arguments), context);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

}  // namespace qz::test
