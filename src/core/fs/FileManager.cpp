#include "core/fs/FileManager.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <atomic>

#include "core/fs/ByteSum.h"
#include "core/fs/FolderWalk.h"
#include "core/fs/ReadToEnd.h"

namespace qz {

namespace {
std::atomic<int> walksMade{0};

bool lstatBelowRoot(const FileManager& files, const QString& platformPath, struct stat* info) {
    const ResolvedPath resolved = files.resolve(platformPath);
    return resolved.valid() &&
           ::fstatat(resolved.parent.get(), resolved.leaf.c_str(), info, AT_SYMLINK_NOFOLLOW) == 0;
}
}  // namespace

FileManager::FileManager() : root_(QStringLiteral("/")), userName_(accountUserName()) {}

FileManager& FileManager::shared() {
    static FileManager instance;
    return instance;
}

bool FileManager::setRoot(const QString& folder, QString* error) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir() || !info.isReadable() || !info.isExecutable()) {
        if (error) {
            *error = QStringLiteral("the root folder \"%1\" does not exist or cannot be read")
                         .arg(folder);
        }
        return false;
    }
    root_ = QDir::cleanPath(info.absoluteFilePath());
    return true;
}

QString FileManager::accountUserName() {
    if (const passwd* account = ::getpwuid(::getuid()); account && account->pw_name) {
        return QString::fromLocal8Bit(account->pw_name);
    }
    return qEnvironmentVariable("USER");
}

QString FileManager::userPath(const QString& pathTemplate) const {
    QString path = pathTemplate;
    return path.replace(QStringLiteral("%@"), userName_);
}

QString FileManager::localPath(const QString& platformPath) const {
    if (root_ == QStringLiteral("/")) {
        return platformPath;
    }
    return root_ + (platformPath.startsWith(u'/') ? platformPath : u'/' + platformPath);
}

QString FileManager::platformPath(const QString& localPath) const {
    const QString clean = QDir::cleanPath(localPath);
    if (root_ == QStringLiteral("/")) {
        return clean;
    }
    if (clean == root_) {
        return QStringLiteral("/");
    }
    if (clean.startsWith(root_ + u'/')) {
        return clean.mid(root_.size());
    }
    return {};
}

ResolvedPath FileManager::resolve(const QString& platformPath) const {
    const QStringList parts = platformPath.split(u'/', Qt::SkipEmptyParts);
    ResolvedPath result;
    if (parts.isEmpty()) {
        return result;
    }
    // A NUL would end the name the system call sees, whatever the text says after it.
    for (const QString& part : parts) {
        if (part == QStringLiteral(".") || part == QStringLiteral("..") || part.contains(QChar())) {
            return result;
        }
    }
    UniqueFd dir(::open(QFile::encodeName(root_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (qsizetype i = 0; dir.valid() && i + 1 < parts.size(); ++i) {
        dir.reset(::openat(dir.get(), QFile::encodeName(parts[i]).constData(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    if (dir.valid()) {
        result.parent = std::move(dir);
        result.leaf = QFile::encodeName(parts.last()).toStdString();
    }
    return result;
}

void FileManager::setHomeFolders(const QString& config, const QString& cache, const QString& home) {
    configFolder_ = config;
    cacheFolder_ = cache;
    homeFolder_ = home;
}

QString FileManager::homePath() const {
    return homeFolder_.isEmpty() ? root_ : localPath(homeFolder_);
}

QString FileManager::linkOnPath(const QString& platformPath) const {
    const QStringList parts = platformPath.split(u'/', Qt::SkipEmptyParts);
    QString prefix;
    for (const QString& part : parts) {
        prefix += u'/' + part;
        struct stat info {};
        if (!lstatBelowRoot(*this, prefix, &info)) {
            return {};
        }
        if (S_ISLNK(info.st_mode)) {
            return prefix;
        }
    }
    return {};
}

QString FileManager::readLink(const QString& platformPath) const {
    const ResolvedPath resolved = resolve(platformPath);
    if (!resolved.valid()) {
        return {};
    }
    char target[4096];
    const ssize_t length =
        ::readlinkat(resolved.parent.get(), resolved.leaf.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof target) {
        return {};
    }
    return QFile::decodeName(QByteArray(target, static_cast<qsizetype>(length)));
}

std::optional<QByteArray> FileManager::readSmallFile(const QString& platformPath,
                                                     qint64 maxBytes) const {
    const ResolvedPath resolved = resolve(platformPath);
    if (!resolved.valid()) {
        return std::nullopt;
    }
    const UniqueFd fd(::openat(resolved.parent.get(), resolved.leaf.c_str(),
                               O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > maxBytes) {
        return std::nullopt;
    }
    ReadToEnd content = readToEnd(fd.get(), maxBytes);
    if (content.outcome != ReadToEnd::Outcome::Read) {
        return std::nullopt;
    }
    return std::move(content.data);
}

bool FileManager::fileExistsAtPath(const QString& platformPath) const {
    struct stat info {};
    return lstatBelowRoot(*this, platformPath, &info);
}

bool FileManager::isDirectory(const QString& platformPath) const {
    struct stat info {};
    return lstatBelowRoot(*this, platformPath, &info) && S_ISDIR(info.st_mode);
}

quint64 FileManager::fileSize(const QString& platformPath) const {
    struct stat info {};
    return lstatBelowRoot(*this, platformPath, &info) ? static_cast<quint64>(info.st_size) : 0;
}

int FileManager::freshWalks() {
    return walksMade.load();
}

std::vector<FolderEntry> FileManager::folderEntries(const QString& platformPath) const {
    const ResolvedPath resolved = resolve(platformPath);
    if (!resolved.valid()) {
        return {};
    }
    const UniqueFd folder(openSubfolder(resolved.parent.get(), resolved.leaf.c_str()));
    return folder.valid() ? listFolderEntries(folder.get()) : std::vector<FolderEntry>{};
}

quint64 FileManager::walkFolderSize(const QString& platformPath) const {
    ++walksMade;
    const ResolvedPath resolved = resolve(platformPath);
    if (!resolved.valid()) {
        return 0;
    }
    struct stat info {};
    if (::fstatat(resolved.parent.get(), resolved.leaf.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return 0;
    }
    quint64 total = static_cast<quint64>(info.st_size);
    if (S_ISDIR(info.st_mode)) {
        const int fd = ::openat(resolved.parent.get(), resolved.leaf.c_str(),
                                O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            total = saturatingAdd(total, sumEntrySizesBeneath(fd));
        }
    }
    return total;
}

}  // namespace qz
