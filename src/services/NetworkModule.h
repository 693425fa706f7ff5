// Qt Network and the HTTP code that uses it live in a module of their own, loaded on the first
// fetch, so that the window starts without loading Qt Network and its libraries.
#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "services/RemoteResource.h"

namespace qz {

// The module's one entry. Starts a GET of `url` through the process's access manager; `owner`
// becomes the manager's child and the reply the owner's, so destroying the owner aborts it. Unless
// the owner goes first, `done` runs once, later, with the answer (a body of at most `maxBytes`).
using HttpGetFunction = void (*)(const QUrl& url, qint64 maxBytes, QObject* owner,
                                 std::function<void(RemoteResource::Result)> done);
inline constexpr char kHttpGetSymbol[] = "quenzelHttpGet";

// Where the module is looked for, in order: the file QUENZEL_NETWORK_MODULE names when it is set;
// else beside the program (the build tree), then the installed folder.
QStringList networkModuleCandidates();
// The module's entry, loaded on first use; nullptr with the reason in *error when none loads.
HttpGetFunction loadNetworkModule(QString* error);

}  // namespace qz
