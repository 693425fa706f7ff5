// Reads a list another program keeps (a browser's profile list) by the bounded-reader rules,
// and says why when it cannot: reading is not deleting, so a symbolic link to a regular file
// of the user's own is read through.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace qz {

class FileManager;

struct ListFileRead {
    std::optional<QByteArray> content;  // nothing when absent or unreadable
    QString problem;                    // why it cannot be read; empty when absent or read

    bool absent() const { return !content && problem.isEmpty(); }
};

// The content of the regular file at a platform path, of at most maxBytes, opened without
// blocking (a FIFO never holds us up). A link is read only when its target is a regular file
// owned by the user running the program. Nothing at the path is not a problem.
ListFileRead readListFile(const FileManager& files, const QString& platformPath, qint64 maxBytes);

}  // namespace qz
