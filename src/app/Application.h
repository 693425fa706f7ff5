// The program: the services it shares, made once and handed to the window or the command that
// needs them.
#pragma once

#include <QString>

namespace qz {

class FileManager;
struct GlobalOptions;
struct CliContext;

class Application {
  public:
    // Lends the measuring queue's idle threads to large walks, for the window and commands alike.
    explicit Application(FileManager& files);

    // Runs the window until the program quits and returns the exit code. When another
    // instance runs on the same root and user, hands it a reopen and returns 0 at once. In the
    // background the window stays hidden until the tray or a later start opens it, and a
    // running instance is left alone.
    // QUENZEL_SCREENSHOT=<file> saves the window once every panel shows a size, then quits;
    // QUENZEL_SCREENSHOT_THEME=dark first gives the application a dark palette.
    // QUENZEL_REPORT_FIRST_FRAME prints "first-frame VmHWM=<kB> VmRSS=<kB> CPU=<ms>" once the
    // window's first frame is painted, then quits.
    int runWindow(bool background = false);
    // Loads Qt's own texts (the standard buttons and dialogs) for the language, from the Qt
    // installation's translations when they are there; true when a table was installed.
    static bool installQtTranslations(const QString& language);
    // Runs one command of the command line and returns its exit code.
    int runCommand(const GlobalOptions& options, CliContext& context);

  private:
    FileManager& files_;
};

}  // namespace qz
