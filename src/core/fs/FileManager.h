// Files under the filesystem root: path mapping, existence, the size rules' attributes, walks.
// Every path handed in is a platform path such as "/Users/anna/Library/Safari"; it is mapped
// under the root (--root / QUENZEL_ROOT) and reached without following any symbolic link.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <string>
#include <vector>

#include "core/fs/FolderWalk.h"
#include "core/fs/UniqueFd.h"

namespace qz {

struct RemovalCounter;
struct RemovalResult;

// Where a measurement takes the folder rule's answers from instead of a fresh walk each time:
// the window's size monitor, or a command's one-walk-per-path memo. Called from any thread.
class FolderSizes {
  public:
    virtual ~FolderSizes() = default;
    // The folder rule for a platform path, as FileManager::walkFolderSize would give it now.
    virtual quint64 folderSize(const QString& platformPath) = 0;
};

// Which file layout the browsers' data follows: the macOS Library under the root, or the Linux
// home (the root is then the home folder itself).
enum class Layout { MacOS, Linux };

// The folder holding a path's last component, opened below the root, and that component's name.
struct ResolvedPath {
    UniqueFd parent;
    std::string leaf;
    bool valid() const { return parent.valid() && !leaf.empty(); }
};

class FileManager {
  public:
    FileManager();

    // The instance the program uses; set its root and user once at start-up, before any worker.
    static FileManager& shared();

    // The folder that stands for "/". Fails with a readable reason when it is not a folder.
    bool setRoot(const QString& folder, QString* error = nullptr);
    const QString& root() const { return root_; }
    void setUserName(const QString& name) { userName_ = name; }
    const QString& userName() const { return userName_; }
    // The short name of the account running the program.
    static QString accountUserName();
    Layout layout() const { return layout_; }
    void setLayout(Layout layout) { layout_ = layout; }
    // The Linux layout's home, configuration and cache folders as platform paths. The home is
    // empty when the root is the home itself; then the others lie below it ("/.config",
    // "/.cache"). When XDG_CONFIG_HOME or XDG_CACHE_HOME lie outside the user's own home, the
    // root is "/" and all three are the folders' own paths.
    const QString& homeFolder() const { return homeFolder_; }
    const QString& configFolder() const { return configFolder_; }
    const QString& cacheFolder() const { return cacheFolder_; }
    void setHomeFolders(const QString& config, const QString& cache, const QString& home = {});
    // The home folder on disk (the root unless a home folder is set).
    QString homePath() const;
    // The first component of the path that is a symbolic link, as a platform path; empty when
    // none is (missing components end the search).
    QString linkOnPath(const QString& platformPath) const;

    // A path template with "%@" replaced by the user's short name.
    QString userPath(const QString& pathTemplate) const;
    // Where a platform path lies on this machine's disk.
    QString localPath(const QString& platformPath) const;
    // The platform path of a path on disk below the root; empty when it lies outside the root.
    QString platformPath(const QString& localPath) const;

    // The target text of a symbolic link (never followed); empty when the path is no link.
    QString readLink(const QString& platformPath) const;
    // The content of a regular file of at most maxBytes (links and larger files read nothing).
    std::optional<QByteArray> readSmallFile(const QString& platformPath, qint64 maxBytes) const;

    // Whether anything (file, folder, link) is at the path. Links are not followed.
    bool fileExistsAtPath(const QString& platformPath) const;
    // Whether the path is a folder (not a link to one).
    bool isDirectory(const QString& platformPath) const;
    // File rule: the entry's own size attribute; 0 when missing or unreadable. A link counts
    // its own size.
    quint64 fileSize(const QString& platformPath) const;
    // Folder rule by a fresh walk: the sizes of every entry beneath the folder (folders
    // themselves count 0, links their own size; unreadable entries are skipped) plus the folder
    // entry's own size.
    quint64 walkFolderSize(const QString& platformPath) const;
    // The entries directly inside a folder reached without links (a link inside is an entry of
    // its own, never followed); nothing when the path is no such folder.
    std::vector<FolderEntry> folderEntries(const QString& platformPath) const;
    // How many fresh walks this process has made (a test hook).
    static int freshWalks();

    // Opens the parent of a platform path below the root, refusing ".." and every link on the way,
    // and a component holding a NUL (the system call would see the name cut there).
    ResolvedPath resolve(const QString& platformPath) const;

    // Why a path that resolve() refuses cannot be reached (a link on the way, a ".."); empty
    // when it is simply not there.
    QString unreachableReason(const QString& platformPath) const;

    // Removes a file, a link (never its target) or a folder with everything beneath it,
    // depth-first through descriptors, touching nothing outside the path (FileRemoval.h).
    // Each file that goes is added to `counter` when one is given.
    RemovalResult removeItem(const QString& platformPath, RemovalCounter* counter = nullptr) const;

  private:
    QString root_;
    QString userName_;
    Layout layout_ = Layout::MacOS;
    QString homeFolder_;
    QString configFolder_ = QStringLiteral("/.config");
    QString cacheFolder_ = QStringLiteral("/.cache");
};

}  // namespace qz
