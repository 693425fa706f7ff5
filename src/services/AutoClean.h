// Cleans a browser by itself once it closes. Its processes are watched through pidfds and the
// folders of its profile locks through inotify; when the last process has ended and every lock
// is free, a grace period starts that a restart cancels, then the care of the chosen preset runs
// on the care queue, is recorded as automatic and ends in a notification.
#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "core/browsers/Browser.h"
#include "core/care/CareRun.h"

namespace qz {

class CareHistory;
class UserDefaults;

class AutoClean : public QObject {
    Q_OBJECT
  public:
    static constexpr double kGraceSeconds = 10.0;
    // How often the processes of a closed browser without a lock folder to watch are looked for
    // (a browser whose lock folder exists is heard starting through it).
    static constexpr double kClosedScanSeconds = 3.0;
    // How often a closing browser, or one known only by its lock, is looked at again.
    static constexpr double kCheckSeconds = 1.0;

    enum class Phase {
        Closed,    // not running: waiting for it to start
        Open,      // running: waiting for its last process to end and its locks to be freed
        Closing,   // closed within the grace period: a start cancels
        Cleaning,  // the care runs
    };

    // Watches the browsers the settings in `defaults` turn on; cares are recorded in `history`.
    AutoClean(FileManager& files, UserDefaults& defaults, std::shared_ptr<CareHistory> history,
              QObject* parent = nullptr);
    ~AutoClean() override;

    // Reads the settings again: newly chosen browsers are watched, the others let go.
    void reload();

    QList<BrowserId> watchedBrowsers() const;
    // Closed for a browser that is not watched.
    Phase phase(BrowserId browser) const;
    // Whether the processes of open browsers are watched through pidfds (else looked at every
    // kCheckSeconds).
    static bool pidfdAvailable();

  signals:
    // A care ran to its end (whatever it could remove); on the main thread.
    void careFinished(const qz::CareReport& report);
    // A grace period ended without a care: the reason has been notified.
    void careRefused(qz::BrowserId browser);

  private:
    struct Watch;

    void watch(BrowserId browser);
    void scanClosed();
    void lockFolderChanged(const QString& folder);
    // Looks at the browser now: open (its processes, or a lock held) or closed.
    void look(Watch& watch);
    void look(Watch& watch, const QList<qint64>& processes);
    void enterOpen(Watch& watch, const QList<qint64>& processes);
    void processEnded(BrowserId browser, qint64 pid);
    void enterClosing(Watch& watch);
    void graceEnded(BrowserId browser);
    // The folders of every watched browser's locks, looked up again (a first start makes them).
    void watchLockFolders();
    void updateTimers();

    FileManager& files_;
    UserDefaults& defaults_;
    std::shared_ptr<CareHistory> history_;
    QHash<BrowserId, std::shared_ptr<Watch>> watches_;
    QFileSystemWatcher lockFolders_;
    QTimer closedScan_;
};

// Keeps an AutoClean while any browser has cleaning on close turned on: made the first time the
// settings turn one on (at once when they already do), told of every later change to the
// settings file, whoever wrote it.
class AutoCleanSwitch : public QObject {
    Q_OBJECT
  public:
    using HistorySource = std::function<std::shared_ptr<CareHistory>()>;
    AutoCleanSwitch(FileManager& files, UserDefaults& defaults, HistorySource history,
                    QObject* parent = nullptr);

    // Nothing until a browser has it on.
    AutoClean* autoClean() const { return autoClean_; }
    // Reads the settings file again and follows it.
    void settingsChanged();

  signals:
    void created(qz::AutoClean* autoClean);

  private:
    void watchSettingsFolder();

    FileManager& files_;
    UserDefaults& defaults_;
    HistorySource history_;
    QFileSystemWatcher settingsFolder_;
    AutoClean* autoClean_ = nullptr;
};

}  // namespace qz
