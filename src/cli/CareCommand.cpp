// `quenzel care BROWSER`: the window's care run on the command line, with the same refusals,
// order, pauses and history record.
#include <QHash>
#include <algorithm>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "cli/TerminalText.h"
#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Presets.h"
#include "core/care/CarePreview.h"
#include "core/care/CareRun.h"
#include "core/care/DatabaseCare.h"
#include "core/care/SizeText.h"
#include "core/formats/Localization.h"
#include "core/fs/ByteSum.h"
#include "core/fs/FileManager.h"
#include "core/history/CareHistory.h"
#include "core/settings/Log.h"
#include "core/settings/Settings.h"
#include "services/InstanceName.h"

namespace qz {

namespace {

constexpr int kSomeFailed = 1;
constexpr int kBrowserOpen = 3;
constexpr int kNothingSelected = 4;
constexpr int kNotConfirmed = 5;
constexpr int kWindowRunning = 6;

struct CareOptions {
    BrowserId browser = BrowserId::Safari;
    int preset = 0;  // basic
    bool custom = false;
    QStringList items;
    bool yes = false;
    bool dryRun = false;
    bool json = false;
    QString profile;  // one profile of the Linux layout; every profile when empty
};

// The layout's browser keys for a message: "safari, firefox, chrome, opera".
QString browserKeys(Layout layout) {
    QStringList keys;
    for (BrowserId browser : layoutBrowsers(layout)) {
        keys.append(browserInfo(browser).key);
    }
    return keys.join(QStringLiteral(", "));
}

// Fills `options` from the arguments; an error text when they cannot be understood.
QString parseOptions(const QStringList& arguments, Layout layout, CareOptions& options) {
    bool haveBrowser = false;
    bool havePreset = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&](const QString& name) -> std::optional<QString> {
            if (argument.startsWith(name + u'=')) {
                return argument.mid(name.size() + 1);
            }
            if (argument == name && i + 1 < arguments.size()) {
                return arguments[++i];
            }
            return std::nullopt;
        };
        if (argument == QStringLiteral("--yes")) {
            options.yes = true;
        } else if (argument == QStringLiteral("--dry-run")) {
            options.dryRun = true;
        } else if (argument == QStringLiteral("--json")) {
            options.json = true;
        } else if (argument.startsWith(QStringLiteral("--preset"))) {
            const auto preset = value(QStringLiteral("--preset"));
            if (preset == QStringLiteral("basic") || preset == QStringLiteral("complete")) {
                options.preset = *preset == QStringLiteral("basic") ? 0 : 1;
                havePreset = true;
            } else {
                return QStringLiteral("care: --preset takes basic or complete");
            }
        } else if (argument == QStringLiteral("--profile") ||
                   argument.startsWith(QStringLiteral("--profile="))) {
            const auto profile = value(QStringLiteral("--profile"));
            if (!profile || profile->isEmpty()) {
                return QStringLiteral("care: --profile needs a profile's name (see status)");
            }
            options.profile = *profile;
        } else if (argument.startsWith(QStringLiteral("--items"))) {
            const auto items = value(QStringLiteral("--items"));
            if (!items) {
                return QStringLiteral("care: --items needs a list such as historyS,cacheS");
            }
            options.custom = true;
            options.items = items->split(u',', Qt::SkipEmptyParts);
        } else if (argument.startsWith(u'-')) {
            return QStringLiteral("care: unknown option \"%1\"").arg(argument);
        } else if (!haveBrowser) {
            const auto browser = browserForKey(argument);
            if (!browser || !layoutBrowsers(layout).contains(*browser)) {
                return QStringLiteral("care: unknown browser \"%1\" (%2)")
                    .arg(argument, browserKeys(layout));
            }
            options.browser = *browser;
            haveBrowser = true;
        } else {
            return QStringLiteral("care: unexpected argument \"%1\"").arg(argument);
        }
    }
    if (!haveBrowser) {
        return QStringLiteral("care: name a browser (%1)").arg(browserKeys(layout));
    }
    if (havePreset && options.custom) {
        return QStringLiteral("care: use either --preset or --items");
    }
    const BrowserCatalogue& items = *catalogue(options.browser, layout);
    for (const QString& name : options.items) {
        if (!items.item(name)) {
            return QStringLiteral("care: %1 has no item \"%2\" (items: %3)")
                .arg(browserInfo(options.browser).displayName, name,
                     items.declarationOrder.join(QStringLiteral(", ")));
        }
    }
    return {};
}

QHash<QString, int> selectionOf(const CareOptions& options, const FileManager& files) {
    QHash<QString, int> states;
    const BrowserCatalogue& items = catalogue(options.browser, files);
    for (const CareItem& item : items.items) {
        states.insert(item.name, options.custom ? int(options.items.contains(item.name))
                                                : presetState(items, options.preset, item.name));
    }
    return states;
}

int printPlan(CliContext& context, const CareOptions& options, const SelectionProvider& selection) {
    const QList<PlannedRemoval> plan =
        planCare(options.browser, selection, context.files, options.profile,
                 CookieKeepList::fromSettings(Settings::standard()));
    const Localization& texts = Localization::shared();
    Json removals = Json::array();
    Json edits = Json::array();
    Json leftAlone = Json::array();
    quint64 total = 0;
    for (const PlannedRemoval& entry : plan) {
        if (!entry.exists) {
            continue;
        }
        const QString local = context.files.localPath(entry.platformPath);
        if (!entry.refused.isEmpty()) {
            // A database whose edit would be refused stays as it is.
            if (options.json) {
                Json row = Json::object();
                row.set("path", local);
                row.set("reason", entry.refused);
                leftAlone.append(std::move(row));
            } else {
                context.out << "would leave alone " << terminalText(local) << ": "
                            << terminalText(entry.refused) << "\n";
            }
            continue;
        }
        // A database that is edited stays: its size is not part of what would go.
        if (entry.path.kind != PathKind::Database && !entry.cookieRows) {
            total = saturatingAdd(total, entry.bytes);
        }
        if (options.json) {
            Json row = Json::object();
            row.set("item", entry.item);
            row.set("path", local);
            row.set("bytes", entry.bytes);
            if (entry.path.kind == PathKind::CookieStore) {
                row.set("cookies", entry.cookies);
                row.set("kept", entry.kept);
            }
            if (entry.path.kind == PathKind::Database || entry.cookieRows) {
                Json rows = Json::object();
                for (const RowCount& count : entry.rows) {
                    rows.set(count.what, count.rows);
                }
                if (entry.cookieRows) {
                    rows.set("cookies", entry.cookies);
                    rows.set("kept", entry.kept);
                }
                row.set("rows", std::move(rows));
                edits.append(std::move(row));
                continue;
            }
            removals.append(std::move(row));
        } else {
            context.out << plannedRemovalLine(entry, terminalText(local), texts) << "\n";
        }
    }
    // What the care would report as not removed, so the preview is as honest as the care.
    for (const CareFailure& failure :
         profilesLeftAlone(options.browser, context.files, options.profile)) {
        const QString local = context.files.localPath(failure.path);
        if (options.json) {
            Json row = Json::object();
            row.set("path", local);
            row.set("reason", failure.reason);
            leftAlone.append(std::move(row));
        } else {
            context.out << leftAloneLine(terminalText(local), terminalText(failure.reason)) << "\n";
        }
    }
    if (options.json) {
        Json root = Json::object();
        root.set("browser", browserInfo(options.browser).displayName);
        root.set("would_remove", std::move(removals));
        root.set("would_edit", std::move(edits));
        root.set("would_leave_alone", std::move(leftAlone));
        root.set("bytes", total);
        context.out << root.serialize() << Qt::endl;
    } else {
        context.out << "Nothing was changed (dry run); " << convertSizeToString(total, texts)
                    << " would go." << Qt::endl;
    }
    return CommandLine::kOk;
}

bool confirmed(CliContext& context, const CareOptions& options) {
    if (CommandLine::confirm(context, options.yes, QStringLiteral("care"),
                             QStringLiteral("confirm the care"), QStringLiteral("StartCare"),
                             QStringLiteral("NoteStartCare"))) {
        return true;
    }
    if (context.interactive) {
        context.err << "quenzel: care: not confirmed; nothing was removed" << Qt::endl;
    }
    return false;
}

}  // namespace

int runCare(CliContext& context, const QStringList& arguments) {
    CareOptions options;
    if (const QString error = parseOptions(arguments, context.files.layout(), options);
        !error.isEmpty()) {
        return CommandLine::usageError(context, error);
    }
    if (!options.profile.isEmpty()) {
        const QList<BrowserProfile> profiles = browserProfiles(options.browser, context.files);
        const bool known = std::any_of(profiles.begin(), profiles.end(), [&](const auto& profile) {
            return profile.name == options.profile;
        });
        if (!known) {
            return CommandLine::usageError(
                context, QStringLiteral("care: %1 has no profile \"%2\" (see status)")
                             .arg(browserInfo(options.browser).displayName, options.profile));
        }
    }
    const BrowserInfo& info = browserInfo(options.browser);
    const Localization& texts = Localization::shared();
    if (!options.dryRun && windowInstanceRunning()) {
        context.err << "quenzel: care: the Quenzel window is running and keeps the care history; "
                       "clean from the window, or quit it first"
                    << Qt::endl;
        return kWindowRunning;
    }
    const QHash<QString, int> states = selectionOf(options, context.files);
    QList<int> stateList;
    for (const CareItem& item : catalogue(options.browser, context.files).items) {
        stateList.append(states.value(item.name));
    }
    switch (precheckCare(options.browser, stateList, context.files)) {
        case CarePrecheck::BrowserOpen:
            context.err << texts.format(info.openKey) << Qt::endl;
            return kBrowserOpen;
        case CarePrecheck::NothingSelected:
            context.err << texts.format(info.nothingSelectedKey) << Qt::endl;
            return kNothingSelected;
        case CarePrecheck::Ready:
            break;
    }
    const SelectionProvider selection = [&states](const QString& item) {
        return states.value(item);
    };
    if (options.dryRun) {
        return printPlan(context, options, selection);
    }
    if (!confirmed(context, options)) {
        return kNotConfirmed;
    }
    Log::write(info.readyLogLine);

    CareHistory history;
    history.load();
    if (!history.unreadableMovedTo().isEmpty()) {
        context.err << "quenzel: care: " << texts.format(QStringLiteral("HistoryUnreadable"))
                    << " (" << history.unreadableMovedTo() << ")" << Qt::endl;
    }
    CareRun run(options.browser, context.files);
    run.setSelection(selection);
    run.setCookieKeepList(CookieKeepList::fromSettings(Settings::standard()));
    run.setProfile(options.profile);
    QString recordError;
    HistoryEntry recorded;
    run.setRecorder([&history, &recordError, &recorded](BrowserId browser) {
        return history.record(browser, &recordError, &recorded);
    });
    if (!options.json) {
        CareCallbacks callbacks;
        callbacks.removed = [&](const QString& path) {
            context.out << "removed " << terminalText(context.files.localPath(path)) << Qt::endl;
        };
        callbacks.failed = [&](const CareFailure& failure) {
            context.out << "failed " << terminalText(context.files.localPath(failure.path)) << ": "
                        << failure.reason << Qt::endl;
        };
        callbacks.edited = [&](const EditedDatabase& database) {
            const QString rows = rowCountText(database.removed);
            context.out << "edited " << terminalText(context.files.localPath(database.path))
                        << ": removed " << (rows.isEmpty() ? QStringLiteral("nothing") : rows)
                        << ", " << convertSizeToString(database.bytesFreed, texts) << " freed"
                        << Qt::endl;
        };
        callbacks.cookiesDeleted = [&](int count) {
            context.out << "deleted " << count << " cookies" << Qt::endl;
        };
        run.setCallbacks(std::move(callbacks));
    }
    const CareReport report = run.run();
    // The entry made at the start learns what went (a failed write is logged).
    if (report.recorded) {
        history.complete(recorded, report.itemsRemoved, report.bytesFreed);
    }

    if (options.json) {
        Json root = Json::object();
        root.set("browser", info.displayName);
        Json& removed = root.set("removed", Json::array());
        for (const QString& path : report.removed) {
            removed.append(context.files.localPath(path));
        }
        Json& edited = root.set("edited", Json::array());
        for (const EditedDatabase& database : report.edited) {
            Json row = Json::object();
            row.set("path", context.files.localPath(database.path));
            Json rows = Json::object();
            for (const RowCount& count : database.removed) {
                rows.set(count.what, count.rows);
            }
            row.set("rows", std::move(rows));
            row.set("bytesFreed", database.bytesFreed);
            edited.append(std::move(row));
        }
        Json& failed = root.set("failed", Json::array());
        for (const CareFailure& failure : report.failed) {
            Json row = Json::object();
            row.set("path", context.files.localPath(failure.path));
            row.set("error", failure.reason);
            failed.append(std::move(row));
        }
        root.set("filesRemoved", report.filesRemoved);
        root.set("bytesFreed", report.bytesFreed);
        root.set("recorded", report.recorded);
        if (!report.recorded) {
            root.set("recordError", recordError);
        }
        context.out << root.serialize() << Qt::endl;
    } else {
        const UserNotification summary = completionNotification(report, texts);
        context.out << summary.informativeText << Qt::endl;
        if (!report.recorded) {
            context.err << "quenzel: care: not recorded in the history: " << recordError
                        << Qt::endl;
        }
    }
    return report.complete() ? CommandLine::kOk : kSomeFailed;
}

}  // namespace qz
