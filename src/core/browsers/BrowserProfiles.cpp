#include "core/browsers/BrowserProfiles.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <cstring>
#include <set>
#include <utility>

#include "core/formats/ProfileListParse.h"
#include "core/fs/FileManager.h"
#include "core/fs/ListFile.h"
#include "core/fs/OpenBeneath.h"

namespace qz {

namespace {

constexpr qint64 kProfilesIniLimit = 1 << 20;  // a few hundred bytes in practice
constexpr qint64 kLocalStateLimit = 16 << 20;  // a few hundred kilobytes in practice

using FolderIdentity = std::pair<dev_t, ino_t>;

QString prefixed(const LinuxInstall& install, const QString& name) {
    return install.name == QStringLiteral("native") ? name : install.name + u':' + name;
}

// A folder of an install (data or cache), opened below the root without following any link.
struct InstallFolder {
    UniqueFd fd;
    QString problem;  // why it cannot be used; both empty when it is simply not there
};

InstallFolder openInstallFolder(const QString& platformPath, const FileManager& files) {
    const ResolvedPath resolved = files.resolve(platformPath);
    if (!resolved.valid()) {
        return {{}, files.unreachableReason(platformPath)};
    }
    InstallFolder folder;
    folder.fd.reset(::openat(resolved.parent.get(), resolved.leaf.c_str(),
                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (!folder.fd.valid() &&
        ::fstatat(resolved.parent.get(), resolved.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(info.st_mode)) {
        folder.problem = QStringLiteral("%1 is a symbolic link").arg(platformPath);
    }
    return folder;
}

QString beneathReason(int error, const QString& folder) {
    switch (error) {
        case ELOOP:
            return QStringLiteral("reached through a symbolic link");
        case EXDEV:
            return QStringLiteral("not a folder inside %1 on its mount").arg(folder);
        default:
            return QString::fromLocal8Bit(std::strerror(error));
    }
}

using Parser = ParsedProfileList (*)(const QByteArray&);

struct ParsedList {
    QByteArray content;
    ParsedProfileList list;  // at most kMaxProfilesPerList entries
    qsizetype listed = 0;    // how many entries the bytes hold
};

// Parsing a large list is the costly part of reading the profiles, which the window does at
// every measurement: the last parse of each list is kept for as long as its bytes stay the same.
ParsedList parsedOnce(const QString& key, const QByteArray& content, Parser parse) {
    static QMutex mutex;
    static QHash<QString, ParsedList> memo;
    {
        const QMutexLocker lock(&mutex);
        if (const auto found = memo.constFind(key);
            found != memo.cend() && found->content == content) {
            return *found;
        }
    }
    ParsedList parsed{content, parse(content), 0};
    parsed.listed = parsed.list.entries.size();
    if (parsed.listed > kMaxProfilesPerList) {
        parsed.list.entries.resize(kMaxProfilesPerList);
    }
    const QMutexLocker lock(&mutex);
    memo.insert(key, parsed);
    return parsed;
}

// Reads one install's list and places each profile it names beneath the install's folders.
class InstallReader {
  public:
    InstallReader(const LinuxInstall& install, ProfileList profiles, const FileManager& files,
                  std::set<FolderIdentity>& seen, BrowserProfileList& out)
        : install_(install),
          profiles_(profiles),
          files_(files),
          seen_(seen),
          out_(out),
          data_(linuxPath(install.dataFolder, files)),
          cache_(linuxPath(install.cacheFolder, files)) {}

    void read() {
        InstallFolder data = openInstallFolder(data_, files_);
        if (!data.fd.valid()) {
            if (!data.problem.isEmpty()) {
                out_.problems.append({install_.name, data_, data.problem, true});
            }
            return;
        }
        dataFd_ = std::move(data.fd);
        cacheBase_ = openInstallFolder(cache_, files_);
        ParsedProfileList list;
        switch (profiles_) {
            case ProfileList::None:
                break;
            case ProfileList::DataFolder:
                list.entries.append({QStringLiteral("Default"), QString(), true, true});
                break;
            case ProfileList::FirefoxIni:
                list =
                    readList(QStringLiteral("profiles.ini"), kProfilesIniLimit, parseProfilesIni);
                break;
            case ProfileList::LocalState:
                list = readList(QStringLiteral("Local State"), kLocalStateLimit, parseLocalState);
                break;
        }
        for (const ListedProfile& entry : list.entries) {
            place(entry);
        }
    }

  private:
    ParsedProfileList readList(const QString& name, qint64 limit, Parser parse) {
        listPath_ = data_ + u'/' + name;
        const ListFileRead read = readListFile(files_, listPath_, limit);
        ParsedList parsed =
            parsedOnce(files_.localPath(listPath_), read.content.value_or(QByteArray()), parse);
        QString problem = read.problem;
        if (read.content && !parsed.list.malformed.isEmpty()) {
            problem = parsed.list.malformed;
        }
        if (!problem.isEmpty()) {
            out_.problems.append({install_.name, listPath_, problem, true});
        }
        if (!read.content || !parsed.list.malformed.isEmpty()) {
            parsed = {{}, parse(QByteArray()), 0};  // what the browser falls back on: Default
            parsed.list.malformed.clear();
        }
        if (parsed.listed > kMaxProfilesPerList) {
            out_.problems.append(
                {install_.name, listPath_,
                 QStringLiteral("%1 more profiles were left out: one list is read up to %2")
                     .arg(parsed.listed - kMaxProfilesPerList)
                     .arg(kMaxProfilesPerList),
                 false});
        }
        return parsed.list;
    }

    void place(const ListedProfile& entry) {
        BrowserProfile profile;
        profile.install = install_.name;
        // Names and reasons keep the list's text; whoever prints them escapes it.
        profile.name = prefixed(install_, entry.name);
        profile.isDefault = entry.isDefault;
        if (holdsControlCharacter(entry.name) || holdsControlCharacter(entry.path)) {
            // Named by the list that declares it: such a path names no folder of ours.
            profile.folder = listPath_;
            profile.refused = QStringLiteral("its name or path holds a control character");
            out_.profiles.append(profile);
            return;
        }
        QString relative = entry.path;
        if (!entry.relative) {
            const QString inside = files_.localPath(data_) + u'/';
            relative = entry.path.startsWith(inside) ? entry.path.mid(inside.size()) : QString();
            if (relative.isEmpty()) {
                const QString platform = files_.platformPath(entry.path);
                profile.folder = platform.isEmpty() ? listPath_ : platform;
                profile.refused =
                    QStringLiteral("its path %1 lies outside %2").arg(entry.path, data_);
                out_.profiles.append(profile);
                return;
            }
        }
        const QString clean = relative.split(u'/', Qt::SkipEmptyParts).join(u'/');
        profile.folder = clean.isEmpty() ? data_ : data_ + u'/' + clean;
        // A profile that "Local State" lists is one folder of the data folder.
        if (profiles_ == ProfileList::LocalState && relative.contains(u'/')) {
            profile.folder = data_ + u'/' + relative;
            profile.refused = QStringLiteral("\"%1\" is not a folder name").arg(relative);
            out_.profiles.append(profile);
            return;
        }
        const BeneathOpen opened = openFolderBeneath(dataFd_.get(), QFile::encodeName(relative));
        if (!opened.fd.valid()) {
            if (opened.error == ENOENT || opened.error == ENOTDIR) {
                return;  // listed but not there: nothing to show
            }
            profile.folder = data_ + u'/' + relative;
            profile.refused = beneathReason(opened.error, data_);
            out_.profiles.append(profile);
            return;
        }
        struct stat info {};
        // The same folder listed again (the default comes first, so it is the one kept).
        if (::fstat(opened.fd.get(), &info) != 0 ||
            !seen_.insert({info.st_dev, info.st_ino}).second) {
            return;
        }
        placeCache(profile, entry.relative ? clean : QString(), !entry.relative);
        out_.profiles.append(profile);
    }

    // A relative profile keeps its cache under the same name in the cache folder; an absolute
    // one keeps it inside itself.
    void placeCache(BrowserProfile& profile, const QString& relative, bool inside) {
        if (inside) {
            profile.cacheFolder = profile.folder;
            return;
        }
        profile.cacheFolder = relative.isEmpty() ? cache_ : cache_ + u'/' + relative;
        if (!cacheBase_.problem.isEmpty()) {
            profile.cacheRefused = cacheBase_.problem;
        } else if (cacheBase_.fd.valid()) {
            const BeneathOpen opened =
                openFolderBeneath(cacheBase_.fd.get(), QFile::encodeName(relative));
            if (!opened.fd.valid() && opened.error != ENOENT && opened.error != ENOTDIR) {
                profile.cacheRefused = beneathReason(opened.error, cache_);
            }
        }
        if (!profile.cacheRefused.isEmpty()) {
            profile.cacheFolder.clear();
        }
    }

    const LinuxInstall& install_;
    const ProfileList profiles_;
    const FileManager& files_;
    std::set<FolderIdentity>& seen_;
    BrowserProfileList& out_;
    const QString data_;
    const QString cache_;
    QString listPath_;
    UniqueFd dataFd_;
    InstallFolder cacheBase_;
};

}  // namespace

bool liesInside(const QString& path, const QString& folder) {
    if (path.isEmpty() || folder.isEmpty() || path.split(u'/').contains(QStringLiteral(".."))) {
        return false;
    }
    const QString base = QDir::cleanPath(folder);
    return QDir::cleanPath(path).startsWith(base == QStringLiteral("/") ? base : base + u'/');
}

BrowserProfileList readBrowserProfiles(BrowserId browser, const FileManager& files) {
    BrowserProfileList list;
    if (files.layout() != Layout::Linux) {
        return list;
    }
    std::set<FolderIdentity> seen;
    for (const LinuxInstall& install : browserInfo(browser).linuxInstalls) {
        InstallReader(install, profileList(browser), files, seen, list).read();
    }
    return list;
}

QList<BrowserProfile> browserProfiles(BrowserId browser, const FileManager& files) {
    return readBrowserProfiles(browser, files).profiles;
}

QList<BrowserProfile> usableProfiles(const QList<BrowserProfile>& profiles, const QString& only) {
    QList<BrowserProfile> usable;
    for (const BrowserProfile& profile : profiles) {
        if (profile.usable() && (only.isEmpty() || profile.name == only)) {
            usable.append(profile);
        }
    }
    return usable;
}

QStringList browserLocks(BrowserId browser, const FileManager& files) {
    QStringList locks;
    const FamilyFile& lock = browserFamily(browser).lock;
    if (files.layout() != Layout::Linux || lock.name.isEmpty()) {
        return locks;
    }
    if (lock.in == FamilyFile::In::DataFolder) {
        for (const LinuxInstall& install : browserInfo(browser).linuxInstalls) {
            locks.append(linuxPath(install.dataFolder, files) + u'/' + lock.name);
        }
        return locks;
    }
    for (const BrowserProfile& profile : usableProfiles(browserProfiles(browser, files))) {
        locks.append(profile.folder + u'/' + lock.name);
    }
    return locks;
}

}  // namespace qz
