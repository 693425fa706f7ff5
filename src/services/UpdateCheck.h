// The program's own update check: fetches the published version list off the main thread and
// answers whether the installed version is behind the one published under "appUpdate".
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

#include "services/RemoteVersionList.h"

namespace qz {

inline const QString kAppUpdateKey = QStringLiteral("appUpdate");

struct UpdateAnswer {
    QString installed;
    std::optional<QString> published;  // nothing without a list or without its entry
    bool updateRequired = false;
};

// Compares by version order; an absent list, entry or empty entry never requires an update.
UpdateAnswer decideUpdate(const QString& installed, const std::optional<PublishedVersions>& list);

class UpdateCheck : public QObject {
    Q_OBJECT

  public:
    explicit UpdateCheck(QObject* parent = nullptr);

    // Where the list is read and which version counts as installed; by default the web
    // site's list and the bundle's short version.
    void setListUrl(const QUrl& url) { listUrl_ = url; }
    void setInstalledVersion(const QString& version) { installed_ = version; }

    // Starts a fetch; answered() follows once. A check started later replaces this one, and
    // the answer of the earlier fetch is dropped.
    void start();
    bool isRunning() const { return running_; }

  signals:
    void answered(const qz::UpdateAnswer& answer);

  private:
    std::optional<QUrl> listUrl_;
    std::optional<QString> installed_;
    quint64 generation_ = 0;
    bool running_ = false;
};

}  // namespace qz
