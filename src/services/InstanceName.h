// Where the window holds its local socket while it runs, so that the command line can tell that
// the window owns the care history, and who may speak on that socket: this user only.
#pragma once

#include <QString>
#include <QtGlobal>

namespace qz {

// Whether `path` is a folder itself (not a link) owned by this user, open to nobody else (0700).
bool isPrivateFolder(const QString& path);
// The folder for the socket: $XDG_RUNTIME_DIR when it is private, else a private folder made in
// the temporary folder ("quenzel-" + the user id), else one in the cache folder; empty when none
// of them can be had.
QString instanceSocketFolder();
// The socket's full path: that folder + "/quenzel-" + a short hash of the folder that holds the
// care history; empty when there is no private folder.
QString singleInstanceServerName();
// Whether the other end of a connected local socket runs as this user (its SO_PEERCRED).
bool peerIsThisUser(qintptr socketDescriptor);
// Whether a window instance of this user answers on that socket.
bool windowInstanceRunning();

}  // namespace qz
