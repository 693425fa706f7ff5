// Every command of the command line, one file each.
#pragma once

#include <QList>

#include "app/cli/CommandLine.h"

namespace qz {

int runStatus(CliContext& context, const QStringList& arguments);
int runCheckUpdates(CliContext& context, const QStringList& arguments);
int runThreshold(CliContext& context, const QStringList& arguments);

// The table that CommandLine dispatches on, in the order --help lists them.
inline QList<CliCommand> allCommands() {
    return {
        {QStringLiteral("status"),
         QStringLiteral("status [--json]          what each browser keeps, item by item"),
         runStatus},
        {QStringLiteral("check-updates"),
         QStringLiteral("check-updates [--json]   whether a newer Quenzel is published"),
         runCheckUpdates},
        {QStringLiteral("threshold"),
         QStringLiteral("threshold [INDEX]        the size-alert threshold; INDEX 0-4 stores one"),
         runThreshold},
    };
}

}  // namespace qz
