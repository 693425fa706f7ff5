// Every command of the command line, one file each.
#pragma once

#include <QList>

#include "cli/CommandLine.h"

namespace qz {

int runStatus(CliContext& context, const QStringList& arguments);
int runCare(CliContext& context, const QStringList& arguments);
int runHistory(CliContext& context, const QStringList& arguments);
int runCheckUpdates(CliContext& context, const QStringList& arguments);
int runThreshold(CliContext& context, const QStringList& arguments);
int runAutoClean(CliContext& context, const QStringList& arguments);
int runKeepCookies(CliContext& context, const QStringList& arguments);

// The table that CommandLine dispatches on, in the order --help lists them.
inline QList<CliCommand> allCommands() {
    return {
        {QStringLiteral("status"),
         QStringLiteral("status [--json]          what each browser keeps, item by item"),
         runStatus},
        {QStringLiteral("care"),
         QStringLiteral("care BROWSER [--preset basic|complete] [--items LIST] [--profile NAME]\n"
                        "                           [--yes] [--dry-run] [--json]\n"
                        "                           remove the selected items of a closed browser"),
         runCare},
        {QStringLiteral("history"),
         QStringLiteral("history [--json] | --clear [--yes]\n"
                        "                           the care history, or its deletion"),
         runHistory},
        {QStringLiteral("check-updates"),
         QStringLiteral("check-updates [--json]   whether a newer Quenzel is published"),
         runCheckUpdates},
        {QStringLiteral("threshold"),
         QStringLiteral("threshold [INDEX]        the size-alert threshold; INDEX 0-4 stores one"),
         runThreshold},
        {QStringLiteral("autoclean"),
         QStringLiteral("autoclean [BROWSER on [--preset basic|complete|custom] [--items LIST]\n"
                        "                           | BROWSER off]\n"
                        "                           which browsers are cleaned as they close"),
         runAutoClean},
        {QStringLiteral("keep-cookies"),
         QStringLiteral("keep-cookies [add|remove SITE...]\n"
                        "                           the sites whose cookies a care keeps (with\n"
                        "                           their subdomains), or a change to that list"),
         runKeepCookies},
    };
}

}  // namespace qz
