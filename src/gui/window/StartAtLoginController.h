// Asks whether one login-item program is registered to open at login, and registers or
// unregisters it; observers hear every change through will/did-change signals.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <optional>

#include "services/LoginItems.h"

namespace qz {

class StartAtLoginController : public QObject {
    Q_OBJECT
  public:
    // Plain set-up: no bundle, `enabled` NO, nothing logged.
    explicit StartAtLoginController(LoginItems& items = LoginItems::shared(),
                                    QObject* parent = nullptr);

    // Takes the bundle, reads the registration once and logs what it found.
    StartAtLoginController* initWithBundle(const std::optional<LoginItemBundle>& bundle);
    void setBundle(const std::optional<LoginItemBundle>& bundle);

    // Whether the login item is registered and on; refreshes `enabled`.
    bool startAtLogin();
    // Registers or unregisters the login item; without an identifier or a URL, nothing.
    void setStartAtLogin(bool startAtLogin);
    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled) { setStartAtLogin(enabled); }

    const QString& identifier() const { return identifier_; }
    void setIdentifier(const QString& identifier) { identifier_ = identifier; }
    const QUrl& url() const { return url_; }
    void setUrl(const QUrl& url) { url_ = url; }

    // Where the helper that opens Quenzel at login is: QUENZEL_HELPER, else beside this
    // program, else ../libexec/quenzel/ from it.
    static QString loginItemPath();

  signals:
    // Sent by hand around each change, for "startAtLogin" and "enabled".
    void willChangeValueForKey(const QString& key);
    void didChangeValueForKey(const QString& key);

  private:
    void changeEnabled(bool enabled);

    LoginItems& items_;
    QString identifier_;
    QUrl url_;
    bool enabled_ = false;
};

}  // namespace qz
