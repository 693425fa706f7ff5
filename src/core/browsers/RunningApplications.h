// Which browsers are running: the process table searched for the executables that stand for
// a bundle identifier, for the processes of the current user.
#pragma once

#include <sys/types.h>
#include <QString>
#include <QStringList>
#include <functional>

namespace qz {

class RunningApplications {
  public:
    // The executable names that stand for a bundle identifier in the browser table
    // ("org.mozilla.firefox" → firefox, firefox-bin, firefox-esr); empty for one it does not know.
    static QStringList executableNames(const QString& bundleIdentifier);
    // The process table searched: "/proc", or the folder QUENZEL_PROC names (tests point it at
    // a table of their own so that a browser running on the machine changes nothing).
    static QString processTableFolder();
    // The process ids running one of those executables.
    static QList<qint64> runningApplicationsWithBundleIdentifier(const QString& bundleIdentifier);
    // Whether at least one such process runs.
    static bool isRunning(const QString& bundleIdentifier);

    // The processes of user `uid` in a process table laid out like /proc whose command name
    // (comm, cut to 15 characters by the kernel) or executable's file name is one of `names`.
    // Zombies (ended but not yet collected by their parent) do not count.
    static QList<qint64> processesNamed(const QStringList& names, const QString& procFolder,
                                        uid_t uid);
    // The same for several lists of names in one pass over the table: the processes of each
    // list, in the lists' order.
    static QList<QList<qint64>> processesNamedEach(const QList<QStringList>& nameLists,
                                                   const QString& procFolder, uid_t uid);
    // The processes of each bundle identifier, in one pass over the process table; while a
    // probe is set, its answer (a running one as the process id 0).
    static QList<QList<qint64>> runningApplicationsEach(const QStringList& bundleIdentifiers);
    // Whether a process of that id exists in the table and has not ended (zombies have).
    static bool processIsLive(qint64 pid, const QString& procFolder = QStringLiteral("/proc"));
    // Whether a browser's lock link names a live process on this host: a profile's "lock" holds
    // "<address>:+<pid>" (an address of this host), a data folder's "SingletonLock"
    // "<host name>-<pid>".
    static bool lockIsHeld(const QString& lockTarget);

    // Replaces the process table with an answer per bundle identifier (tests); an empty
    // function restores the real table.
    using Probe = std::function<bool(const QString& bundleIdentifier)>;
    static void setProbe(Probe probe);
};

}  // namespace qz
