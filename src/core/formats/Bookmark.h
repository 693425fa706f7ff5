// The folder grant that survives restarts: the folder's path plus its identity, in our own
// format. It resolves while a folder exists at that path; a different folder there is "stale".
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace qz {

class Bookmark {
  public:
    struct Resolved {
        QString path;  // the folder on disk
        bool stale = false;
    };

    // The bookmark of a folder on disk; empty, with a reason, when it is not a readable folder.
    static QByteArray create(const QString& folder, QString* error = nullptr);
    static std::optional<Resolved> resolve(const QByteArray& data);
};

}  // namespace qz
