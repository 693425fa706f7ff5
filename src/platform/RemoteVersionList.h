// The version list the maker publishes on the web site: which version of the program and of
// each browser is current, as a property-list dictionary of texts.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace qz {

using VersionList = QMap<QString, QString>;

class RemoteVersionList {
  public:
    using Callback = std::function<void(const std::optional<VersionList>&)>;

    // "<web site>/Quenzel2_Browser.plist"; an empty address when no web site is configured.
    static QUrl url();
    // The list in an XML or binary property list; nothing unless the root is a dictionary
    // whose values are all texts.
    static std::optional<VersionList> parse(const QByteArray& body);
    // Fetches and parses the list at `address` without blocking; the callback runs on the
    // thread of `context`, with nothing when the list cannot be fetched or read.
    static void fetch(const QUrl& address, QObject* context, Callback callback);
    // The same, waiting for the answer (command line only).
    static std::optional<VersionList> fetchBlocking(const QUrl& address);
};

}  // namespace qz
