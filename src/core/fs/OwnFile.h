// The program's own files (history, settings, autostart entries): read by the bounded-reader
// rules and replaced atomically, through a link only when it names a regular file of this user.
#pragma once

#include <QByteArray>
#include <QString>

namespace qz {

class OwnFile {
  public:
    enum class ReadStatus {
        Read,     // the bytes are in `data`
        Missing,  // nothing at the path
        Refused,  // not a regular file (or a link to one of this user's), or over the size cap
        Failed,   // a condition that may pass (descriptors, memory, I/O): try again later
    };
    struct ReadResult {
        ReadStatus status = ReadStatus::Missing;
        QByteArray data;
        QString error;  // why, for every status but Read and Missing
    };

    // Reads the file without ever waiting on a pipe or a device.
    static ReadResult read(const QString& path, qint64 maxBytes);

    // Writes `data` to a new file beside the target, syncs it, renames it over the target and
    // syncs the folder; the old file stays whole unless all of that succeeded. A link at
    // `path` is written through only to a regular file this user owns, else refused.
    static bool write(const QString& path, const QByteArray& data, QString* error = nullptr);
};

}  // namespace qz
