#include "platform/RunningApplications.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <mutex>

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

}  // namespace

QStringList RunningApplications::executableNames(const QString& bundleIdentifier) {
    static const QHash<QString, QStringList> table = {
        {QStringLiteral("com.apple.Safari"), {QStringLiteral("Safari"), QStringLiteral("safari")}},
        {QStringLiteral("org.mozilla.firefox"),
         {QStringLiteral("firefox"), QStringLiteral("firefox-bin"), QStringLiteral("firefox-esr")}},
        {QStringLiteral("com.google.Chrome"),
         {QStringLiteral("chrome"), QStringLiteral("google-chrome"),
          QStringLiteral("google-chrome-stable"), QStringLiteral("Google Chrome")}},
        {QStringLiteral("com.operasoftware.Opera"),
         {QStringLiteral("opera"), QStringLiteral("Opera")}},
    };
    return table.value(bundleIdentifier);
}

QList<qint64> RunningApplications::processesNamed(const QStringList& names,
                                                  const QString& procFolder, uid_t uid) {
    QList<qint64> found;
    if (names.isEmpty()) {
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
        for (const QString& name : names) {
            if ((!comm.isEmpty() && comm == name.left(kCommLength)) || exe == name) {
                found.append(pid);
                break;
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
    return processesNamed(executableNames(bundleIdentifier), QStringLiteral("/proc"), ::getuid());
}

bool RunningApplications::isRunning(const QString& bundleIdentifier) {
    return !runningApplicationsWithBundleIdentifier(bundleIdentifier).isEmpty();
}

void RunningApplications::setProbe(Probe probe) {
    std::lock_guard lock(probeMutex());
    currentProbe() = std::move(probe);
}

}  // namespace qz
