#include "services/AutoClean.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QSocketNotifier>
#include <cerrno>

#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Catalogue.h"
#include "core/browsers/RunningApplications.h"
#include "core/care/AccessGrant.h"
#include "core/care/AutoCleanChoice.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/fs/UniqueFd.h"
#include "core/history/CareHistory.h"
#include "core/settings/Log.h"
#include "core/settings/Settings.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"
#include "services/Executor.h"
#include "services/UserNotificationCenter.h"

namespace qz {

namespace {

// A descriptor that becomes readable when the process ends; -1 where the kernel has none, or
// when the process is already gone.
int openPidfd(qint64 pid) {
#ifdef SYS_pidfd_open
    if (pid > 0) {
        return static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
    }
#endif
    errno = ESRCH;
    return -1;
}

bool anyLockHeld(BrowserId browser, const FileManager& files) {
    for (const QString& lock : browserLocks(browser, files)) {
        if (RunningApplications::lockIsHeld(files.readLink(lock))) {
            return true;
        }
    }
    return false;
}

// The folders on disk that hold the browser's locks: a lock taken or given up shows there.
QStringList lockFoldersOf(BrowserId browser, const FileManager& files) {
    QStringList folders;
    for (const QString& lock : browserLocks(browser, files)) {
        const QString folder = lock.left(lock.lastIndexOf(u'/'));
        if (!folder.isEmpty() && files.isDirectory(folder)) {
            folders.append(files.localPath(folder));
        }
    }
    return folders;
}

// What became of a care started as the browser closed.
struct AutoCare {
    CarePrecheck precheck = CarePrecheck::Ready;
    CareReport report;
    UserNotification notification;
};

}  // namespace

// One process's end, heard through its pidfd.
class ProcessExit : public QObject {
  public:
    ProcessExit(UniqueFd fd, QObject* parent)
        : QObject(parent), fd_(std::move(fd)), notifier_(fd_.get(), QSocketNotifier::Read, this) {}
    QSocketNotifier& notifier() { return notifier_; }

  private:
    UniqueFd fd_;
    QSocketNotifier notifier_;
};

struct AutoClean::Watch {
    BrowserId browser{};
    Phase phase = Phase::Closed;
    QHash<qint64, ProcessExit*> exits;  // owned by the AutoClean; deleted when heard
    QTimer check;                       // kCheckSeconds: closing, or open without a pidfd
    QTimer grace;
    QStringList lockFolders;

    ~Watch() { qDeleteAll(exits); }
};

AutoClean::AutoClean(FileManager& files, UserDefaults& defaults,
                     std::shared_ptr<CareHistory> history, QObject* parent)
    : QObject(parent), files_(files), defaults_(defaults), history_(std::move(history)) {
    closedScan_.setInterval(TimeScale::milliseconds(kClosedScanSeconds));
    connect(&closedScan_, &QTimer::timeout, this, &AutoClean::scanClosed);
    connect(&lockFolders_, &QFileSystemWatcher::directoryChanged, this,
            &AutoClean::lockFolderChanged);
    reload();
}

AutoClean::~AutoClean() = default;

bool AutoClean::pidfdAvailable() {
    const UniqueFd own(openPidfd(::getpid()));
    return own.valid();
}

void AutoClean::reload() {
    const QList<BrowserId> chosen = autoCleanBrowsers(files_.layout(), Settings(defaults_));
    for (BrowserId browser : watches_.keys()) {
        if (!chosen.contains(browser)) {
            watches_.remove(browser);  // a running care still ends and notifies
        }
    }
    for (BrowserId browser : chosen) {
        if (!watches_.contains(browser)) {
            watch(browser);
        }
    }
    watchLockFolders();
    updateTimers();
}

void AutoClean::watchLockFolders() {
    QStringList folders;
    for (const auto& watch : std::as_const(watches_)) {
        watch->lockFolders = lockFoldersOf(watch->browser, files_);
        folders += watch->lockFolders;
    }
    folders.removeDuplicates();
    const QStringList watched = lockFolders_.directories();
    for (const QString& folder : watched) {
        if (!folders.contains(folder)) {
            lockFolders_.removePath(folder);
        }
    }
    for (const QString& folder : std::as_const(folders)) {
        if (!watched.contains(folder)) {
            lockFolders_.addPath(folder);
        }
    }
}

QList<BrowserId> AutoClean::watchedBrowsers() const {
    QList<BrowserId> browsers;
    for (BrowserId browser : layoutBrowsers(files_.layout())) {
        if (watches_.contains(browser)) {
            browsers.append(browser);
        }
    }
    return browsers;
}

AutoClean::Phase AutoClean::phase(BrowserId browser) const {
    const auto found = watches_.constFind(browser);
    return found == watches_.cend() ? Phase::Closed : (*found)->phase;
}

void AutoClean::watch(BrowserId browser) {
    auto watch = std::make_shared<Watch>();
    watch->browser = browser;
    watch->check.setInterval(TimeScale::milliseconds(kCheckSeconds));
    watch->grace.setSingleShot(true);
    watch->grace.setInterval(TimeScale::milliseconds(kGraceSeconds));
    connect(&watch->check, &QTimer::timeout, this, [this, browser] {
        if (const auto found = watches_.value(browser)) {
            look(*found);
        }
    });
    connect(&watch->grace, &QTimer::timeout, this, [this, browser] { graceEnded(browser); });
    watches_.insert(browser, watch);
    // A browser already running when the watch starts is cleaned once it closes; one that is
    // closed now waits for its next start.
    look(*watch);
}

void AutoClean::scanClosed() {
    QList<BrowserId> closed;
    QStringList identifiers;
    for (const auto& watch : std::as_const(watches_)) {
        if (watch->phase == Phase::Closed && watch->lockFolders.isEmpty()) {
            closed.append(watch->browser);
            identifiers.append(browserInfo(watch->browser).bundleIdentifier);
        }
    }
    if (closed.isEmpty()) {
        return;
    }
    // One pass over the process table for every closed browser.
    const QList<QList<qint64>> processes =
        RunningApplications::runningApplicationsEach(identifiers);
    for (qsizetype i = 0; i < closed.size(); ++i) {
        if (const auto watch = watches_.value(closed[i])) {
            look(*watch, processes[i]);
        }
    }
}

void AutoClean::lockFolderChanged(const QString& folder) {
    for (const auto& watch : watches_.values()) {
        // An open browser with pidfds is heard through them; the others look now.
        const bool heardOtherwise = watch->phase == Phase::Open && !watch->exits.isEmpty();
        if (watch->lockFolders.contains(folder) && watch->phase != Phase::Cleaning &&
            !heardOtherwise) {
            look(*watch);
        }
    }
}

void AutoClean::look(Watch& watch) {
    look(watch,
         RunningApplications::runningApplicationsEach({browserInfo(watch.browser).bundleIdentifier})
             .constFirst());
}

void AutoClean::look(Watch& watch, const QList<qint64>& processes) {
    if (watch.phase == Phase::Cleaning) {
        return;
    }
    const bool open = !processes.isEmpty() || anyLockHeld(watch.browser, files_);
    if (open) {
        if (watch.phase == Phase::Closing) {
            Log::write(QStringLiteral("%1 started again: no cleaning this time")
                           .arg(browserInfo(watch.browser).displayName));
        }
        enterOpen(watch, processes);
    } else if (watch.phase == Phase::Open) {
        enterClosing(watch);
    }
    updateTimers();
}

void AutoClean::enterOpen(Watch& watch, const QList<qint64>& processes) {
    watch.phase = Phase::Open;
    watch.grace.stop();
    const BrowserId browser = watch.browser;
    for (qint64 pid : processes) {
        if (watch.exits.contains(pid)) {
            continue;
        }
        UniqueFd fd(openPidfd(pid));
        if (!fd.valid()) {
            continue;  // gone already, or no pidfds here: the check below covers it
        }
        auto* exit = new ProcessExit(std::move(fd), this);
        connect(&exit->notifier(), &QSocketNotifier::activated, this,
                [this, browser, pid] { processEnded(browser, pid); });
        watch.exits.insert(pid, exit);
    }
    // Without a process heard through a pidfd (a lock alone, or no pidfds), look again later.
    if (watch.exits.isEmpty()) {
        watch.check.start();
    } else {
        watch.check.stop();
    }
}

void AutoClean::processEnded(BrowserId browser, qint64 pid) {
    const auto watch = watches_.value(browser);
    if (!watch) {
        return;
    }
    if (ProcessExit* exit = watch->exits.take(pid)) {
        exit->notifier().setEnabled(false);
        exit->deleteLater();
    }
    if (watch->exits.isEmpty()) {
        look(*watch);  // its other processes, started since, are watched in turn
    }
}

void AutoClean::enterClosing(Watch& watch) {
    watch.phase = Phase::Closing;
    Log::write(QStringLiteral("%1 closed: cleaning after %2 s unless it starts again")
                   .arg(browserInfo(watch.browser).displayName)
                   .arg(kGraceSeconds));
    watch.grace.start();
    watch.check.start();
}

void AutoClean::graceEnded(BrowserId browser) {
    const auto watch = watches_.value(browser);
    if (!watch || watch->phase != Phase::Closing) {
        return;
    }
    watch->check.stop();
    look(*watch);
    if (watch->phase != Phase::Closing) {
        return;  // started again
    }
    const BrowserInfo& info = browserInfo(browser);
    const Settings settings(defaults_);
    const std::optional<AutoCleanPreset> preset = autoCleanChoice(browser, settings);
    const Localization texts = Localization::shared();
    if (!preset || !accessGranted(defaults_)) {
        watch->phase = Phase::Closed;
        watchLockFolders();
        updateTimers();
        if (preset) {
            Log::write(QStringLiteral("%1 not cleaned as it closed: no folder grant")
                           .arg(info.displayName));
            UserNotificationCenter::defaultUserNotificationCenter().deliverNotification(
                autoCleanRefused(browser, AutoCleanRefusal::NoGrant, texts));
            emit careRefused(browser);
        }
        return;
    }
    watch->phase = Phase::Cleaning;
    updateTimers();
    QList<int> states;
    const BrowserCatalogue& items = catalogue(browser, files_);
    const QHash<QString, int> selection = autoCleanSelection(browser, items, *preset, settings);
    for (const CareItem& item : items.items) {
        states.append(selection.value(item.name));
    }
    // The care owns copies of all it uses; it looks at the browser once more just before.
    const FileManager files = files_;
    const std::shared_ptr<CareHistory> history = history_;
    const auto care = [browser, files, states, selection, history, texts] {
        AutoCare outcome;
        outcome.report.browser = browser;
        outcome.precheck = precheckCare(browser, states, files);
        if (outcome.precheck != CarePrecheck::Ready) {
            return outcome;
        }
        Log::write(browserInfo(browser).readyLogLine);
        CareRun run(browser, files);
        run.setSelection([selection](const QString& item) { return selection.value(item); });
        QString recordError;
        HistoryEntry recorded;
        run.setRecorder([&](BrowserId cared) {
            return history && history->record(cared, &recordError, &recorded, /*automatic=*/true);
        });
        outcome.report = run.run();
        if (outcome.report.recorded) {
            history->complete(recorded, outcome.report.itemsRemoved, outcome.report.bytesFreed);
        }
        outcome.notification = autoCleanNotification(outcome.report, texts);
        if (!outcome.report.recorded) {
            outcome.notification.informativeText +=
                u'\n' + texts.format(QStringLiteral("HistoryNotRecorded"), {recordError});
        }
        return outcome;
    };
    Executor::submit(Executor::Queue::Care, care, this, [this, browser, texts](AutoCare outcome) {
        const auto ended = watches_.value(browser);
        if (ended) {
            ended->phase = Phase::Closed;
        }
        watchLockFolders();
        UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
        switch (outcome.precheck) {
            case CarePrecheck::BrowserOpen:
                if (ended) {
                    look(*ended);  // started just before: cleaned after its next closing
                }
                break;
            case CarePrecheck::NothingSelected:
                center.deliverNotification(
                    autoCleanRefused(browser, AutoCleanRefusal::NothingSelected, texts));
                emit careRefused(browser);
                break;
            case CarePrecheck::Ready:
                center.deliverNotification(outcome.notification);
                emit careFinished(outcome.report);
                break;
        }
        updateTimers();
    });
}

void AutoClean::updateTimers() {
    const bool anyClosed = std::any_of(watches_.cbegin(), watches_.cend(), [](const auto& watch) {
        return watch->phase == Phase::Closed && watch->lockFolders.isEmpty();
    });
    if (!anyClosed) {
        closedScan_.stop();
    } else if (!closedScan_.isActive()) {
        closedScan_.start();
    }
}

AutoCleanSwitch::AutoCleanSwitch(FileManager& files, UserDefaults& defaults, HistorySource history,
                                 QObject* parent)
    : QObject(parent), files_(files), defaults_(defaults), history_(std::move(history)) {
    connect(&settingsFolder_, &QFileSystemWatcher::directoryChanged, this,
            &AutoCleanSwitch::settingsChanged);
    settingsChanged();
}

void AutoCleanSwitch::settingsChanged() {
    defaults_.synchronize();
    watchSettingsFolder();
    if (autoClean_) {
        autoClean_->reload();
        return;
    }
    if (!autoCleanBrowsers(files_.layout(), Settings(defaults_)).isEmpty()) {
        autoClean_ = new AutoClean(files_, defaults_, history_ ? history_() : nullptr, this);
        emit created(autoClean_);
    }
}

void AutoCleanSwitch::watchSettingsFolder() {
    // The file is replaced by a rename, so its folder is watched; until the folder exists, the
    // folder it will be made in.
    const QString folder = QFileInfo(defaults_.filePath()).absolutePath();
    const QString target = QFileInfo(folder).isDir() ? folder : QFileInfo(folder).absolutePath();
    const QStringList watched = settingsFolder_.directories();
    if (watched == QStringList{target}) {
        return;
    }
    if (!watched.isEmpty()) {
        settingsFolder_.removePaths(watched);
    }
    if (QFileInfo(target).isDir()) {
        settingsFolder_.addPath(target);
    }
}

}  // namespace qz
