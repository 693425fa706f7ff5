#include "core/browsers/RunningApplications.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <mutex>

#include "core/browsers/Browser.h"

namespace qz {

namespace {

std::mutex& probeMutex() {
    static std::mutex mutex;
    return mutex;
}
RunningApplications::Probe& currentProbe() {
    static RunningApplications::Probe probe;
    return probe;
}

constexpr qsizetype kCommLength = 15;  // the kernel keeps this many characters of a name

// The state letter of /proc/<pid>/stat: after the last ')' that closes the command name.
QChar processState(const QString& processFolder) {
    QFile stat(processFolder + QStringLiteral("/stat"));
    if (!stat.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray text = stat.read(4096);
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && close + 2 < text.size() ? QChar::fromLatin1(text[close + 2]) : QChar();
}

bool isZombie(const QString& processFolder) {
    const QChar state = processState(processFolder);
    return state == u'Z' || state == u'X';
}

// Whether an address text is a loopback address or one of this machine's interfaces.
bool isOwnAddress(const QString& text) {
    const QByteArray address = text.toLatin1();
    in_addr v4{};
    in6_addr v6{};
    const bool isV4 = ::inet_pton(AF_INET, address.constData(), &v4) == 1;
    const bool isV6 = !isV4 && ::inet_pton(AF_INET6, address.constData(), &v6) == 1;
    if (!isV4 && !isV6) {
        return false;
    }
    if ((isV4 && (ntohl(v4.s_addr) >> 24) == 127) || (isV6 && IN6_IS_ADDR_LOOPBACK(&v6))) {
        return true;
    }
    ifaddrs* interfaces = nullptr;
    if (::getifaddrs(&interfaces) != 0) {
        return false;
    }
    bool own = false;
    for (const ifaddrs* entry = interfaces; entry && !own; entry = entry->ifa_next) {
        if (!entry->ifa_addr) {
            continue;
        }
        if (isV4 && entry->ifa_addr->sa_family == AF_INET) {
            own =
                reinterpret_cast<const sockaddr_in*>(entry->ifa_addr)->sin_addr.s_addr == v4.s_addr;
        } else if (isV6 && entry->ifa_addr->sa_family == AF_INET6) {
            own = IN6_ARE_ADDR_EQUAL(
                &reinterpret_cast<const sockaddr_in6*>(entry->ifa_addr)->sin6_addr, &v6);
        }
    }
    ::freeifaddrs(interfaces);
    return own;
}

QString hostName() {
    char name[256] = {};
    return ::gethostname(name, sizeof name - 1) == 0 ? QString::fromLocal8Bit(name) : QString();
}

}  // namespace

QStringList RunningApplications::executableNames(const QString& bundleIdentifier) {
    for (const BrowserInfo& row : browserTable()) {
        if (row.bundleIdentifier == bundleIdentifier) {
            return row.processNames;
        }
    }
    return {};
}

QList<qint64> RunningApplications::processesNamed(const QStringList& names,
                                                  const QString& procFolder, uid_t uid) {
    return processesNamedEach({names}, procFolder, uid).constFirst();
}

QList<QList<qint64>> RunningApplications::processesNamedEach(const QList<QStringList>& nameLists,
                                                             const QString& procFolder, uid_t uid) {
    QList<QList<qint64>> found(nameLists.size());
    const bool anyName = std::any_of(nameLists.begin(), nameLists.end(),
                                     [](const QStringList& names) { return !names.isEmpty(); });
    if (!anyName) {
        return found;
    }
    const QDir proc(procFolder);
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool numeric = false;
        const qint64 pid = entry.toLongLong(&numeric);
        if (!numeric) {
            continue;
        }
        const QString folder = proc.filePath(entry);
        struct stat info {};
        if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || info.st_uid != uid) {
            continue;
        }
        QFile commFile(folder + QStringLiteral("/comm"));
        QString comm;
        if (commFile.open(QIODevice::ReadOnly)) {
            comm = QString::fromLocal8Bit(commFile.readAll()).trimmed();
        }
        QString exe = QFileInfo(QFile::symLinkTarget(folder + QStringLiteral("/exe"))).fileName();
        exe.remove(QStringLiteral(" (deleted)"));
        bool zombieRead = false;
        bool zombie = false;
        for (qsizetype list = 0; list < nameLists.size(); ++list) {
            const bool matches = std::any_of(
                nameLists[list].begin(), nameLists[list].end(), [&](const QString& name) {
                    return (!comm.isEmpty() && comm == name.left(kCommLength)) || exe == name;
                });
            if (!matches) {
                continue;
            }
            // Read only for a process that matters: most of the table is other programs.
            if (!zombieRead) {
                zombieRead = true;
                zombie = isZombie(folder);
            }
            if (!zombie) {
                found[list].append(pid);
            }
        }
    }
    return found;
}

QList<qint64> RunningApplications::runningApplicationsWithBundleIdentifier(
    const QString& bundleIdentifier) {
    {
        std::lock_guard lock(probeMutex());
        if (currentProbe()) {
            return currentProbe()(bundleIdentifier) ? QList<qint64>{0} : QList<qint64>{};
        }
    }
    return processesNamed(executableNames(bundleIdentifier), processTableFolder(), ::getuid());
}

QString RunningApplications::processTableFolder() {
    const QString folder = qEnvironmentVariable("QUENZEL_PROC");
    return folder.isEmpty() ? QStringLiteral("/proc") : folder;
}

bool RunningApplications::processIsLive(qint64 pid, const QString& procFolder) {
    if (pid <= 0) {
        return false;
    }
    const QString folder = procFolder + u'/' + QString::number(pid);
    return QFileInfo(folder).isDir() && !isZombie(folder);
}

bool RunningApplications::lockIsHeld(const QString& lockTarget) {
    bool numeric = false;
    // A profile's "lock": "<address>:+<pid>" (older versions leave out the "+").
    if (const qsizetype colon = lockTarget.lastIndexOf(u':'); colon > 0) {
        QString pid = lockTarget.mid(colon + 1);
        if (pid.startsWith(u'+')) {
            pid.remove(0, 1);
        }
        const qint64 id = pid.toLongLong(&numeric);
        if (numeric && isOwnAddress(lockTarget.left(colon))) {
            return processIsLive(id);
        }
    }
    // A data folder's "SingletonLock": "<host name>-<pid>".
    if (const qsizetype dash = lockTarget.lastIndexOf(u'-'); dash > 0) {
        const qint64 id = lockTarget.mid(dash + 1).toLongLong(&numeric);
        if (numeric && lockTarget.left(dash) == hostName()) {
            return processIsLive(id);
        }
    }
    return false;
}

QList<QList<qint64>> RunningApplications::runningApplicationsEach(
    const QStringList& bundleIdentifiers) {
    {
        std::lock_guard lock(probeMutex());
        if (currentProbe()) {
            QList<QList<qint64>> answers;
            for (const QString& identifier : bundleIdentifiers) {
                answers.append(currentProbe()(identifier) ? QList<qint64>{0} : QList<qint64>{});
            }
            return answers;
        }
    }
    QList<QStringList> names;
    for (const QString& identifier : bundleIdentifiers) {
        names.append(executableNames(identifier));
    }
    return processesNamedEach(names, processTableFolder(), ::getuid());
}

bool RunningApplications::isRunning(const QString& bundleIdentifier) {
    return !runningApplicationsWithBundleIdentifier(bundleIdentifier).isEmpty();
}

void RunningApplications::setProbe(Probe probe) {
    std::lock_guard lock(probeMutex());
    currentProbe() = std::move(probe);
}

}  // namespace qz
