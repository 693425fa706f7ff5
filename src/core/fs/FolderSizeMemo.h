// Measures each folder once: for one-shot commands that add the same folders up several ways
// (items, presets, the status item's and the logos' sets).
#pragma once

#include <QDir>
#include <QHash>
#include <mutex>

#include "core/fs/FileManager.h"

namespace qz {

class FolderSizeMemo : public FolderSizes {
  public:
    // Walks below the root and user of `files`, which must outlive the memo.
    explicit FolderSizeMemo(const FileManager& files) : files_(files) {}
    FolderSizeMemo(const FolderSizeMemo&) = delete;
    FolderSizeMemo& operator=(const FolderSizeMemo&) = delete;

    quint64 folderSize(const QString& platformPath) override {
        const QString key = QDir::cleanPath(platformPath);
        std::lock_guard lock(mutex_);
        const auto known = sizes_.constFind(key);
        if (known != sizes_.constEnd()) {
            return *known;
        }
        const quint64 size = files_.walkFolderSize(key);
        sizes_.insert(key, size);
        return size;
    }

  private:
    const FileManager& files_;
    std::mutex mutex_;
    QHash<QString, quint64> sizes_;
};

}  // namespace qz
