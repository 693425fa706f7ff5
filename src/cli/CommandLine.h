// The command line: global options, and the commands that share the window's engine.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>

namespace qz {

class FileManager;

struct GlobalOptions {
    QString root;    // --root DIR, else QUENZEL_ROOT
    QString user;    // --user NAME, else QUENZEL_USER
    QString layout;  // --layout macos|linux, else QUENZEL_LAYOUT; chosen from the disk when empty
    bool demo = false;
    bool verbose = false;     // --verbose: the log lines on stderr too
    bool background = false;  // --background: start in the tray, without the window
    bool help = false;
    bool version = false;
    QString command;  // empty: start the window
    QStringList commandArguments;
    QString error;  // set when the arguments cannot be understood
};

// Where a command writes, and how it asks the user (replaced in tests).
struct CliContext {
    QTextStream& out;
    QTextStream& err;
    FileManager& files;
    bool interactive = false;  // standard input is a terminal
    std::function<QString()> readLine = [] { return QString(); };
};

struct CliCommand {
    QString name;
    QString usage;  // one line for --help
    std::function<int(CliContext&, const QStringList&)> run;
};

class CommandLine {
  public:
    // Exit codes shared by every command.
    static constexpr int kOk = 0;
    static constexpr int kUsage = 2;

    static GlobalOptions parse(const QStringList& arguments);
    // Applies the layout, --root and --user to the file manager; false with a reason when the
    // root is unusable. The macOS layout is chosen when <root>/Users/<user>/Library exists, the
    // Linux layout otherwise; its root is the home folder ($HOME, or --root when given), or "/"
    // when the user's own XDG folders lie outside $HOME.
    static bool apply(const GlobalOptions& options, FileManager& files, QString* error);
    // Makes a home folder the root of the Linux layout with the XDG folders that lie in it. For
    // the user's own home (`ownHome`), XDG folders elsewhere count too: the root becomes "/".
    static bool useHome(const QString& home, FileManager& files, QString* error,
                        bool ownHome = false);
    // Runs the options' command; returns the exit code.
    static int run(const GlobalOptions& options, CliContext& context);
    static const QList<CliCommand>& commands();
    static QString usage();
    // Reads a command's only option, --json; false (after the usage line) for anything else.
    static bool takeJsonFlag(CliContext& context, const QString& command,
                             const QStringList& arguments, bool* json);
    // Asks "<title> <text> [y/N]" on a terminal; true at once with --yes, false without a
    // terminal (after "quenzel: <command>: not on a terminal; add --yes to <purpose>").
    static bool confirm(CliContext& context, bool yes, const QString& command,
                        const QString& purpose, const QString& titleKey, const QString& textKey);
    // Prints "quenzel: <message>" on the error stream and returns kUsage.
    static int usageError(CliContext& context, const QString& message);
};

}  // namespace qz
