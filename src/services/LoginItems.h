// The programs that open at login: one XDG autostart entry, "<identifier>.desktop", per login
// item in $XDG_CONFIG_HOME/autostart, seen as job dictionaries {"Label", "OnDemand"}.
#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QVariantMap>
#include <optional>

namespace qz {

// A login-item program found on disk: its identifier and where it is.
struct LoginItemBundle {
    QString identifier;
    QUrl url;

    // The helper at `path`, or nothing when no executable file is there.
    static std::optional<LoginItemBundle> bundleWithPath(const QString& path);
};

class LoginItems {
  public:
    // The largest autostart entry that is read; a larger one counts as disabled.
    static constexpr qint64 kMaxEntryBytes = 64 * 1024;

    virtual ~LoginItems() = default;

    // The program's own, on the user's autostart folder.
    static LoginItems& shared();
    // $XDG_CONFIG_HOME/autostart, by default ~/.config/autostart.
    static QString autostartFolder();

    // Every entry as {"Label": identifier, "OnDemand": not disabled}, sorted by identifier;
    // nothing when there is no autostart folder.
    virtual std::optional<QList<QVariantMap>> copyAllJobDictionaries() const;
    // Writes the entry that starts `program` at login (atomically), or removes it. True when
    // the folder ends up as asked.
    virtual bool setEnabled(const QString& identifier, const QString& program, bool enabled);

    // The Exec value that runs `program` with no arguments, quoted and escaped for an entry.
    static QString execLine(const QString& program);
};

}  // namespace qz
