// `quenzel autoclean [BROWSER on|off]`: which browsers are cleaned as they close, with which
// preset; the running Quenzel follows a change at once.
#include "cli/Commands.h"
#include "cli/TerminalText.h"
#include "core/browsers/Catalogue.h"
#include "core/care/AutoCleanChoice.h"
#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {

int listAutoClean(CliContext& context, const Settings& settings) {
    for (BrowserId browser : layoutBrowsers(context.files.layout())) {
        const std::optional<AutoCleanPreset> preset = autoCleanChoice(browser, settings);
        context.out << QStringLiteral("%1  %2  %3\n")
                           .arg(browserInfo(browser).key, -10)
                           .arg(preset ? QStringLiteral("on") : QStringLiteral("off"), -3)
                           .arg(preset ? autoCleanPresetName(*preset) : QString())
                           .trimmed()
                    << "\n";
    }
    context.out.flush();
    return CommandLine::kOk;
}

}  // namespace

int runAutoClean(CliContext& context, const QStringList& arguments) {
    UserDefaults& defaults = UserDefaults::standard();
    Settings settings(defaults);
    if (arguments.isEmpty()) {
        return listAutoClean(context, settings);
    }
    const Layout layout = context.files.layout();
    const std::optional<BrowserId> browser = browserForKey(arguments.first());
    if (!browser || !layoutBrowsers(layout).contains(*browser)) {
        QStringList keys;
        for (BrowserId known : layoutBrowsers(layout)) {
            keys.append(browserInfo(known).key);
        }
        return CommandLine::usageError(context,
                                       QStringLiteral("autoclean: unknown browser \"%1\" (%2)")
                                           .arg(arguments.first(), keys.join(", ")));
    }
    const QString state = arguments.value(1);
    std::optional<AutoCleanPreset> preset;
    QStringList items;
    bool haveItems = false;
    if (state == QStringLiteral("on")) {
        preset = AutoCleanPreset::Basic;
        for (qsizetype i = 2; i < arguments.size(); ++i) {
            const QString& option = arguments[i];
            const bool joined = option.contains(u'=');
            const QString name = joined ? option.section(u'=', 0, 0) : option;
            if (name != QStringLiteral("--preset") && name != QStringLiteral("--items")) {
                return CommandLine::usageError(
                    context, QStringLiteral("autoclean: unexpected argument \"%1\"").arg(option));
            }
            if (!joined && i + 1 >= arguments.size()) {
                return CommandLine::usageError(
                    context, QStringLiteral("autoclean: %1 needs a value").arg(name));
            }
            const QString value = joined ? option.section(u'=', 1) : arguments[++i];
            if (name == QStringLiteral("--items")) {
                haveItems = true;
                items = value.split(u',', Qt::SkipEmptyParts);
                continue;
            }
            preset = autoCleanPresetForName(value);
            if (!preset) {
                return CommandLine::usageError(
                    context,
                    QStringLiteral("autoclean: unknown preset \"%1\" (basic, complete, custom)")
                        .arg(value));
            }
        }
    } else if (state != QStringLiteral("off") || arguments.size() > 2) {
        return CommandLine::usageError(
            context, QStringLiteral("autoclean: say \"%1 on [--preset basic|complete|custom]\" or "
                                    "\"%1 off\"")
                         .arg(arguments.first()));
    }
    const BrowserInfo& info = browserInfo(*browser);
    if (haveItems) {
        const BrowserCatalogue& catalogueOf = catalogue(*browser, context.files);
        for (const QString& item : items) {
            if (!catalogueOf.item(item)) {
                return CommandLine::usageError(
                    context, QStringLiteral("autoclean: %1 has no item \"%2\" (items: %3)")
                                 .arg(info.displayName, item,
                                      catalogueOf.declarationOrder.join(QStringLiteral(", "))));
            }
        }
        if (preset != AutoCleanPreset::Custom) {
            return CommandLine::usageError(
                context, QStringLiteral("autoclean: --items goes with --preset custom"));
        }
        settings.setCustomItems(info.key, items);
    }
    setAutoCleanChoice(*browser, preset, settings);
    if (!settings.synchronize()) {
        context.err << "quenzel: autoclean: the settings file " << terminalText(defaults.filePath())
                    << " could not be written: " << defaults.lastError() << Qt::endl;
        return 1;
    }
    if (!preset) {
        context.out << info.displayName << " is no longer cleaned as it closes" << Qt::endl;
        return CommandLine::kOk;
    }
    context.out << info.displayName << " is cleaned as it closes, with the "
                << autoCleanPresetName(*preset) << " preset";
    if (*preset == AutoCleanPreset::Custom) {
        const QStringList chosen = settings.customItems(info.key);
        context.out << " ("
                    << (chosen.isEmpty() ? QStringLiteral("no item chosen yet")
                                         : chosen.join(QStringLiteral(", ")))
                    << ")";
    }
    context.out << Qt::endl;
    return CommandLine::kOk;
}

}  // namespace qz
