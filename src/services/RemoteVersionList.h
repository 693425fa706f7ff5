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

// Keys such as "appUpdate" or "firefox" to version texts; std::optional<PublishedVersions> is
// the same type the browser update advice takes as its list.
using PublishedVersions = QMap<QString, QString>;

class RemoteVersionList {
  public:
    using Callback = std::function<void(const std::optional<PublishedVersions>&)>;

    // "<web site>/Quenzel2_Browser.plist"; an empty address unless the site is http or https.
    static QUrl url();
    // The list in an XML or binary property list; nothing unless the root is a dictionary
    // whose values are all texts.
    static std::optional<PublishedVersions> parse(const QByteArray& body);
    // Fetches and parses the list at `address` without blocking; the callback runs on the
    // thread of `context`, with nothing when the list cannot be fetched or read.
    static void fetch(const QUrl& address, QObject* context, Callback callback);
    // The same, waiting for the answer (command line only).
    static std::optional<PublishedVersions> fetchBlocking(const QUrl& address);
};

}  // namespace qz
