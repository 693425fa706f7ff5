// FileManager::removeItem: removal through directory descriptors, never through a link.
#include "core/fs/FileRemoval.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/fs/FileManager.h"
#include "core/fs/MountIdentity.h"

namespace qz {

namespace {

constexpr size_t kDirentBufferSize = 256 * 1024;
// Folders with more entries than this are emptied in inode order.
constexpr size_t kInodeOrderThreshold = 1000;
// A folder that keeps filling while it is emptied is given up after this many passes.
constexpr int kEmptyingPasses = 4;
// Each level of folders costs a descriptor and a little stack; deeper than this stays.
constexpr size_t kMaxDepth = 4000;

std::atomic<RemovalListingHook> listingHook{nullptr};

QString reasonOf(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Removes everything beneath one item, remembering what stayed.
class TreeRemover {
  public:
    TreeRemover(const QString& itemPath, const MountIdentity& mount, RemovalCounter* counter)
        : itemPath_(itemPath),
          mount_(mount),
          counter_(counter),
          buffer_(new char[kDirentBufferSize]) {}

    // Empties the open folder dirFd and then removes its entry `name` from parentFd; isItem
    // tells the item's own folder from the folders beneath it.
    void removeFolder(int parentFd, const char* name, UniqueFd dirFd, bool isItem) {
        const char* reportName = isItem ? "" : name;
        const std::optional<MountIdentity> mount = mountIdentityOf(dirFd.get());
        if (!mount) {
            fail(reportName, errno);
            return;
        }
        // A mount below the item (a bind mount of the same disk too) is left whole.
        if (*mount != mount_) {
            failWith(reportName, QStringLiteral("another filesystem is mounted here; left whole"));
            return;
        }
        if (depth_ >= kMaxDepth) {
            failWith(reportName, QStringLiteral("folders nested too deeply to remove"));
            return;
        }
        const qsizetype failuresBefore = failures_.size();
        for (int pass = 0; pass < kEmptyingPasses; ++pass) {
            if (pass > 0 && ::lseek(dirFd.get(), 0, SEEK_SET) != 0) {
                break;
            }
            const size_t depth = relative_.size();
            if (!isItem) {
                relative_.append(name).push_back('/');
            }
            ++depth_;
            emptyFolder(dirFd.get());
            --depth_;
            relative_.resize(depth);
            if (failures_.size() != failuresBefore) {
                return;  // something inside stayed, so the folder stays too
            }
            if (::unlinkat(parentFd, name, AT_REMOVEDIR) == 0) {
                return;
            }
            if (errno != ENOTEMPTY && errno != EEXIST) {
                break;
            }
        }
        if (errno == ENOENT) {
            return;  // removed meanwhile by someone else: gone all the same
        }
        fail(reportName, errno);
    }

    QList<RemovalFailure> failures() const { return failures_; }

  private:
    void emptyFolder(int dirFd) {
        // The whole listing first: nothing is removed while the folder is being read, and a
        // large folder is emptied in inode order, which spares the disk most of its seeking.
        struct Entry {
            ino64_t inode;
            size_t name;  // offset into names
            unsigned char type;
        };
        std::vector<Entry> entries;
        std::vector<char> names;
        for (;;) {
            const ssize_t count = ::getdents64(dirFd, buffer_.get(), kDirentBufferSize);
            if (count < 0 && errno == ENOENT) {
                return;  // the folder itself was removed meanwhile: nothing left in it
            }
            if (count < 0) {
                fail("", errno);
                return;
            }
            if (count == 0) {
                break;
            }
            for (ssize_t offset = 0; offset < count;) {
                const auto* entry = reinterpret_cast<const dirent64*>(buffer_.get() + offset);
                offset += entry->d_reclen;
                const char* name = entry->d_name;
                if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                    continue;
                }
                entries.push_back({entry->d_ino, names.size(), entry->d_type});
                names.insert(names.end(), name, name + std::strlen(name) + 1);
            }
        }
        if (entries.size() > kInodeOrderThreshold) {
            std::sort(entries.begin(), entries.end(),
                      [](const Entry& a, const Entry& b) { return a.inode < b.inode; });
        }
        if (const RemovalListingHook hook = listingHook.load()) {
            hook(relative_);
        }
        for (const Entry& entry : entries) {
            removeEntry(dirFd, names.data() + entry.name, entry.type);
        }
    }

    void removeEntry(int dirFd, const char* name, unsigned char type) {
        struct stat info {};
        // Counted from the entry itself, never a link's target; a folder goes below.
        const bool sized =
            counter_ && type != DT_DIR && ::fstatat(dirFd, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
        if (sized && S_ISDIR(info.st_mode)) {
            type = DT_DIR;
        }
        if (type != DT_DIR) {
            if (::unlinkat(dirFd, name, 0) == 0) {
                count(sized ? static_cast<quint64>(info.st_size) : 0);
                return;
            }
            if (errno == ENOENT) {
                return;  // gone meanwhile: nothing left to remove
            }
            if (errno != EISDIR) {
                fail(name, errno);
                return;
            }
        }
        UniqueFd child(
            ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
        if (!child.valid()) {
            const int error = errno;
            if (error == ENOENT) {
                return;
            }
            // Replaced by a file or a link since it was listed: remove that entry itself.
            if ((error == ENOTDIR || error == ELOOP) && ::unlinkat(dirFd, name, 0) == 0) {
                count(0);
                return;
            }
            if ((error == ENOTDIR || error == ELOOP) && errno == ENOENT) {
                return;
            }
            fail(name, error);
            return;
        }
        removeFolder(dirFd, name, std::move(child), false);
    }

    void count(quint64 size) {
        if (counter_) {
            counter_->add(size);
        }
    }

    void fail(const char* name, int error) { failWith(name, reasonOf(error)); }

    void failWith(const char* name, const QString& reason) {
        std::string relative = relative_ + name;
        while (!relative.empty() && relative.back() == '/') {
            relative.pop_back();
        }
        const QString path =
            relative.empty() ? itemPath_ : itemPath_ + u'/' + QFile::decodeName(relative.c_str());
        failures_.append({path, reason});
    }

    QString itemPath_;
    MountIdentity mount_;
    RemovalCounter* counter_;  // may be null
    std::unique_ptr<char[]> buffer_;
    size_t depth_ = 0;      // folder levels open beneath the item
    std::string relative_;  // the path beneath the item of the folder being emptied, with '/'
    QList<RemovalFailure> failures_;
};

// Why a path could not be resolved: missing, or a reason to report.
RemovalResult unresolvable(const FileManager& files, const QString& platformPath) {
    const QStringList parts = platformPath.split(u'/', Qt::SkipEmptyParts);
    RemovalResult result;
    result.outcome = RemovalResult::Outcome::Failed;
    if (parts.isEmpty() || parts.contains(QStringLiteral("..")) ||
        parts.contains(QStringLiteral(".")) || platformPath.contains(QChar())) {
        result.failures.append({platformPath, QStringLiteral("not a plain path below the root")});
        return result;
    }
    UniqueFd dir(
        ::open(QFile::encodeName(files.root()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) {
        if (!dir.valid()) {
            break;
        }
        const QByteArray name = QFile::encodeName(parts[i]);
        struct stat info {};
        if (::fstatat(dir.get(), name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT || errno == ENOTDIR) {
                result.outcome = RemovalResult::Outcome::Missing;
                return result;
            }
            result.failures.append({platformPath, reasonOf(errno)});
            return result;
        }
        if (S_ISLNK(info.st_mode)) {
            // Looked at through the link only to tell "nothing there" from "out of reach".
            struct stat target {};
            if (::stat(QFile::encodeName(files.localPath(platformPath)).constData(), &target) !=
                    0 &&
                errno == ENOENT) {
                result.outcome = RemovalResult::Outcome::Missing;
                return result;
            }
            result.failures.append(
                {platformPath, QStringLiteral("a folder on the way is a symbolic link")});
            return result;
        }
        if (!S_ISDIR(info.st_mode)) {
            result.outcome = RemovalResult::Outcome::Missing;  // nothing can lie inside a file
            return result;
        }
        dir.reset(
            ::openat(dir.get(), name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
    result.failures.append({platformPath, reasonOf(dir.valid() ? EIO : errno)});
    return result;
}

RemovalResult removeBelowRoot(const FileManager& files, const QString& platformPath,
                              RemovalCounter* counter) {
    const ResolvedPath resolved = files.resolve(platformPath);
    if (!resolved.valid()) {
        return unresolvable(files, platformPath);
    }
    QString itemPath = platformPath;
    while (itemPath.size() > 1 && itemPath.endsWith(u'/')) {
        itemPath.chop(1);
    }
    RemovalResult result;
    const int parent = resolved.parent.get();
    const char* leaf = resolved.leaf.c_str();
    struct stat info {};
    if (::fstatat(parent, leaf, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            result.outcome = RemovalResult::Outcome::Failed;
            result.failures.append({itemPath, reasonOf(errno)});
        }
        return result;
    }
    if (!S_ISDIR(info.st_mode)) {
        if (::unlinkat(parent, leaf, 0) == 0) {
            result.outcome = RemovalResult::Outcome::Removed;
            if (counter) {
                counter->add(static_cast<quint64>(info.st_size));
            }
        } else if (errno == ENOENT) {
            result.outcome = RemovalResult::Outcome::Removed;
        } else {
            result.outcome = RemovalResult::Outcome::Failed;
            result.failures.append({itemPath, reasonOf(errno)});
        }
        return result;
    }
    UniqueFd folder(::openat(parent, leaf, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    const std::optional<MountIdentity> mount =
        folder.valid() ? mountIdentityOf(folder.get()) : std::nullopt;
    if (!folder.valid() || !mount) {
        const int error = errno;
        // Became a link or a file after the check: that entry itself is the item now.
        if ((error == ENOTDIR || error == ELOOP) && ::unlinkat(parent, leaf, 0) == 0) {
            result.outcome = RemovalResult::Outcome::Removed;
            if (counter) {
                counter->add(0);  // its size was not read: the check saw a folder there
            }
            return result;
        }
        if ((error == ENOTDIR || error == ELOOP) && errno == ENOENT) {
            result.outcome = RemovalResult::Outcome::Removed;
            return result;
        }
        result.outcome =
            error == ENOENT ? RemovalResult::Outcome::Missing : RemovalResult::Outcome::Failed;
        if (error != ENOENT) {
            result.failures.append({itemPath, reasonOf(error)});
        }
        return result;
    }
    TreeRemover remover(itemPath, *mount, counter);
    remover.removeFolder(parent, leaf, std::move(folder), true);
    result.failures = remover.failures();
    result.outcome = result.failures.isEmpty() ? RemovalResult::Outcome::Removed
                                               : RemovalResult::Outcome::Failed;
    return result;
}

}  // namespace

void setRemovalListingHook(RemovalListingHook hook) {
    listingHook.store(hook);
}

QString FileManager::unreachableReason(const QString& platformPath) const {
    const RemovalResult result = unresolvable(*this, platformPath);
    return result.failed() ? result.failures.value(0).reason : QString();
}

RemovalResult FileManager::removeItem(const QString& platformPath, RemovalCounter* counter) const {
    RemovalResult result = removeBelowRoot(*this, platformPath, counter);
    // A name read from a folder that is not valid text cannot be found again by its text: say
    // so rather than report nothing there.
    if (result.outcome == RemovalResult::Outcome::Missing &&
        platformPath.contains(QChar::ReplacementCharacter)) {
        result.outcome = RemovalResult::Outcome::Failed;
        result.failures.append(
            {platformPath, QStringLiteral("the name is not valid text and cannot be reached")});
    }
    return result;
}

}  // namespace qz
