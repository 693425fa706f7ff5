// `quenzel history`: the care history as the window's table shows it, and its deletion.
#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/TerminalText.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/history/CareHistory.h"
#include "services/InstanceName.h"

namespace qz {

namespace {

constexpr int kUnreadable = 1;  // also: the file could not be removed
constexpr int kNotConfirmed = 5;
constexpr int kWindowRunning = 6;

int listHistory(CliContext& context, bool json) {
    const QString path = HistoryList::defaultFilePath();
    const std::optional<QList<HistoryEntry>> entries = HistoryList::readFile(path);
    if (!entries) {
        context.err << "quenzel: history: " << terminalText(path)
                    << " cannot be read as a care history" << Qt::endl;
        return kUnreadable;
    }
    if (json) {
        Json list = Json::array();
        for (const HistoryEntry& entry : *entries) {
            Json row = Json::object();
            row.set(HistoryList::kNameKey, entry.browserName);
            row.set(HistoryList::kDateKey, entry.dateCare);
            // What went and the bytes freed, in entries that recorded them.
            if (!entry.items.isEmpty()) {
                Json& items = row.set(HistoryList::kItemsKey, Json::array());
                for (const QString& item : entry.items) {
                    items.append(item);
                }
            }
            if (entry.bytesFreed) {
                row.set(HistoryList::kBytesKey, *entry.bytesFreed);
            }
            if (entry.automatic) {
                row.set(HistoryList::kAutomaticKey, true);
            }
            list.append(std::move(row));
        }
        context.out << list.serialize() << Qt::endl;
        return CommandLine::kOk;
    }
    if (entries->isEmpty()) {
        context.out << Localization::shared().format(QStringLiteral("nohistorytext")) << Qt::endl;
        return CommandLine::kOk;
    }
    for (const HistoryEntry& entry : *entries) {
        // What went and the space freed, where the entry recorded them.
        QString detail;
        if (entry.bytesFreed) {
            detail += QStringLiteral("  %1 freed")
                          .arg(convertSizeToString(*entry.bytesFreed, Localization::shared()));
        }
        if (!entry.items.isEmpty()) {
            detail += QStringLiteral("  (%1)").arg(terminalText(entry.items.join(u',')));
        }
        context.out << QStringLiteral("%1  %2%3%4")
                           .arg(terminalText(entry.browserName), -14)
                           .arg(terminalText(entry.dateCare),
                                entry.automatic ? QStringLiteral("  (as it closed)") : QString(),
                                detail)
                    << "\n";
    }
    context.out.flush();
    return CommandLine::kOk;
}

int clearHistory(CliContext& context, bool yes) {
    if (windowInstanceRunning()) {
        context.err << "quenzel: history: the Quenzel window is running and keeps the care "
                       "history; clear it from the window, or quit it first"
                    << Qt::endl;
        return kWindowRunning;
    }
    if (!CommandLine::confirm(context, yes, QStringLiteral("history"),
                              QStringLiteral("clear the history"), QStringLiteral("DeleteHistory"),
                              QStringLiteral("DeletedHistoryText"))) {
        if (context.interactive && !yes) {
            context.err << "quenzel: history: not confirmed; the history was kept" << Qt::endl;
        }
        return kNotConfirmed;
    }
    CareHistory history;  // not loaded: clearing needs only the file's place
    QString error;
    if (!history.clear(&error)) {
        context.err << "quenzel: history: " << history.filePath()
                    << " could not be removed: " << error << Qt::endl;
        return kUnreadable;
    }
    context.out << "The care history was cleared." << Qt::endl;
    return CommandLine::kOk;
}

}  // namespace

int runHistory(CliContext& context, const QStringList& arguments) {
    bool json = false;
    bool clear = false;
    bool yes = false;
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--json")) {
            json = true;
        } else if (argument == QStringLiteral("--clear")) {
            clear = true;
        } else if (argument == QStringLiteral("--yes")) {
            yes = true;
        } else {
            return CommandLine::usageError(
                context, QStringLiteral("history: unknown argument \"%1\"").arg(argument));
        }
    }
    if (clear && json) {
        return CommandLine::usageError(context, QStringLiteral("history: --clear takes no --json"));
    }
    if (yes && !clear) {
        return CommandLine::usageError(context, QStringLiteral("history: --yes goes with --clear"));
    }
    return clear ? clearHistory(context, yes) : listHistory(context, json);
}

}  // namespace qz
