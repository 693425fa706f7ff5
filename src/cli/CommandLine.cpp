#include "cli/CommandLine.h"

#include "core/formats/Localization.h"

#include "cli/Commands.h"
#include "core/browsers/Browser.h"
#include "core/fs/FileManager.h"

#include <QDir>
#include <QFileInfo>

namespace qz {

namespace {

// The options every Qt program understands (one or two dashes), and whether a value follows.
struct QtOption {
    const char* name;
    bool takesValue;
};
constexpr QtOption kQtOptions[] = {
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"geometry", true},
    {"qwindowicon", true},
    {"icon", true},
    {"qwindowtitle", true},
    {"title", true},
    {"session", true},
    {"display", true},
    {"name", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
};

// How many arguments from `index` on are one of Qt's options (0 when it is none of them).
int qtOptionLength(const QStringList& arguments, qsizetype index) {
    QString argument = arguments[index];
    if (argument.startsWith(QStringLiteral("--"))) {
        argument.remove(0, 1);
    }
    if (!argument.startsWith(u'-')) {
        return 0;
    }
    argument.remove(0, 1);
    for (const QtOption& option : kQtOptions) {
        const QLatin1String name(option.name);
        if (argument == name) {
            return option.takesValue && index + 1 < arguments.size() ? 2 : 1;
        }
        if (option.takesValue && argument.startsWith(name + u'=')) {
            return 1;
        }
    }
    return 0;
}

}  // namespace

GlobalOptions CommandLine::parse(const QStringList& arguments) {
    GlobalOptions options;
    options.root = qEnvironmentVariable("QUENZEL_ROOT");
    options.user = qEnvironmentVariable("QUENZEL_USER");
    options.layout = qEnvironmentVariable("QUENZEL_LAYOUT");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (!options.command.isEmpty()) {
            options.commandArguments.append(argument);
            continue;
        }
        const auto takeValue = [&](const QString& name, QString& target) {
            if (argument.startsWith(name + u'=')) {
                target = argument.mid(name.size() + 1);
            } else if (i + 1 < arguments.size()) {
                target = arguments[++i];
            } else {
                options.error = QStringLiteral("%1 needs a value").arg(name);
                return;
            }
            if (target.isEmpty()) {
                options.error = QStringLiteral("%1 needs a value").arg(name);
            }
        };
        if (argument == QStringLiteral("--root") ||
            argument.startsWith(QStringLiteral("--root="))) {
            takeValue(QStringLiteral("--root"), options.root);
        } else if (argument == QStringLiteral("--user") ||
                   argument.startsWith(QStringLiteral("--user="))) {
            takeValue(QStringLiteral("--user"), options.user);
        } else if (argument == QStringLiteral("--layout") ||
                   argument.startsWith(QStringLiteral("--layout="))) {
            takeValue(QStringLiteral("--layout"), options.layout);
        } else if (argument == QStringLiteral("--demo")) {
            options.demo = true;
        } else if (argument == QStringLiteral("--verbose")) {
            options.verbose = true;
        } else if (argument == QStringLiteral("--background")) {
            options.background = true;
        } else if (argument == QStringLiteral("--help") || argument == QStringLiteral("-h")) {
            options.help = true;
        } else if (argument == QStringLiteral("--version")) {
            options.version = true;
        } else if (const int taken = qtOptionLength(arguments, i); taken > 0) {
            i += taken - 1;  // Qt's own option: QApplication reads and removes it
        } else if (argument.startsWith(u'-')) {
            options.error = QStringLiteral("unknown option \"%1\"").arg(argument);
        } else {
            options.command = argument;
        }
        if (!options.error.isEmpty()) {
            break;
        }
    }
    if (options.error.isEmpty() && options.background && !options.command.isEmpty()) {
        options.error = QStringLiteral("--background starts the window and takes no command");
    }
    if (options.error.isEmpty() && !options.layout.isEmpty() && !layoutForName(options.layout)) {
        options.error =
            QStringLiteral("--layout takes macos or linux, not \"%1\"").arg(options.layout);
    }
    return options;
}

bool CommandLine::apply(const GlobalOptions& options, FileManager& files, QString* error) {
    if (!options.user.isEmpty()) {
        if (options.user.contains(u'/') || options.user == QStringLiteral("..") ||
            options.user == QStringLiteral(".")) {
            if (error) {
                *error = QStringLiteral("\"%1\" is not a user's short name").arg(options.user);
            }
            return false;
        }
        files.setUserName(options.user);
    }
    if (!options.root.isEmpty() && !files.setRoot(options.root, error)) {
        return false;
    }
    const Layout layout =
        layoutForName(options.layout)
            .value_or(files.isDirectory(files.userPath(QStringLiteral("/Users/%@/Library")))
                          ? Layout::MacOS
                          : Layout::Linux);
    files.setLayout(layout);
    if (layout == Layout::Linux) {
        const bool ownHome = options.root.isEmpty();
        return useHome(ownHome ? QDir::homePath() : files.root(), files, error, ownHome);
    }
    return true;
}

bool CommandLine::useHome(const QString& home, FileManager& files, QString* error, bool ownHome) {
    if (!files.setRoot(home, error)) {
        return false;
    }
    // Compared and reached without links: "/" is then opened component by component.
    const auto real = [](const QString& folder) {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
    };
    const QString realHome = real(files.root());
    struct Folder {
        QString below;  // the platform path below the home; empty when outside it
        QString outside;
    };
    const auto folder = [&](const char* variable, const QString& fallback) -> Folder {
        const QString value = qEnvironmentVariable(variable);
        if (!QDir::isAbsolutePath(value)) {  // unset, or relative: ignored, as XDG says
            return {fallback, {}};
        }
        const QString path = real(value);
        if (path.startsWith(realHome + u'/')) {
            return {path.mid(realHome.size()), {}};
        }
        return {path == realHome ? fallback : QString(), path};
    };
    const Folder config = folder("XDG_CONFIG_HOME", QStringLiteral("/.config"));
    const Folder cache = folder("XDG_CACHE_HOME", QStringLiteral("/.cache"));
    if ((config.below.isEmpty() || cache.below.isEmpty()) && ownHome) {
        const auto absolute = [&realHome](const Folder& f) {
            return f.below.isEmpty() ? f.outside : realHome + f.below;
        };
        if (!files.setRoot(QStringLiteral("/"), error)) {
            return false;
        }
        files.setHomeFolders(absolute(config), absolute(cache), realHome);
        return true;
    }
    // Under a chosen root, folders outside it cannot be reached from it.
    files.setHomeFolders(config.below.isEmpty() ? QStringLiteral("/.config") : config.below,
                         cache.below.isEmpty() ? QStringLiteral("/.cache") : cache.below);
    return true;
}

const QList<CliCommand>& CommandLine::commands() {
    static const QList<CliCommand> list = allCommands();
    return list;
}

int CommandLine::run(const GlobalOptions& options, CliContext& context) {
    for (const CliCommand& command : commands()) {
        if (command.name == options.command) {
            return command.run(context, options.commandArguments);
        }
    }
    return usageError(context,
                      QStringLiteral("unknown command \"%1\" (see --help)").arg(options.command));
}

QString CommandLine::usage() {
    QString text = QStringLiteral(
        "Usage: quenzel [--root DIR] [--user NAME] [--layout L] [--demo] [--background]\n"
        "               [--verbose] [COMMAND [OPTIONS]]\n"
        "Without a command, Quenzel opens its window.\n\n"
        "Global options:\n"
        "  --root DIR    the folder that stands for \"/\" (also QUENZEL_ROOT)\n"
        "  --user NAME   the short name of the user whose data is shown (also QUENZEL_USER)\n"
        "  --layout L    macos (the Library under the root) or linux (the home folder);\n"
        "                chosen from the disk when not given (also QUENZEL_LAYOUT)\n"
        "  --demo        use a sample home with all four browsers\n"
        "  --background  start in the tray without opening the window\n"
        "  --verbose     also write the log lines to the terminal (also QUENZEL_LOG=stderr)\n"
        "  --help        show this text\n"
        "  --version     show the version\n"
        "Qt's standard options (-platform, -style, -stylesheet, ...) are left to Qt.\n\n"
        "Commands:\n");
    for (const CliCommand& command : commands()) {
        text += QStringLiteral("  %1\n").arg(command.usage);
    }
    return text;
}

bool CommandLine::takeJsonFlag(CliContext& context, const QString& command,
                               const QStringList& arguments, bool* json) {
    *json = false;
    for (const QString& argument : arguments) {
        if (argument != QStringLiteral("--json")) {
            usageError(context,
                       QStringLiteral("%1: unknown argument \"%2\"").arg(command, argument));
            return false;
        }
        *json = true;
    }
    return true;
}

bool CommandLine::confirm(CliContext& context, bool yes, const QString& command,
                          const QString& purpose, const QString& titleKey, const QString& textKey) {
    if (yes) {
        return true;
    }
    if (!context.interactive) {
        context.err << "quenzel: " << command << ": not on a terminal; add --yes to " << purpose
                    << Qt::endl;
        return false;
    }
    const Localization& texts = Localization::shared();
    context.out << texts.format(titleKey) << " " << texts.format(textKey) << " [y/N] " << Qt::flush;
    const QString answer = context.readLine().trimmed().toLower();
    return answer == QStringLiteral("y") || answer == QStringLiteral("yes");
}

int CommandLine::usageError(CliContext& context, const QString& message) {
    context.err << "quenzel: " << message << Qt::endl;
    return kUsage;
}

}  // namespace qz
