// Settings with registered in-memory fallbacks, kept in the XDG config folder (QSettings' INI
// text) and written on synchronize. Safe to use from several threads.
#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <utility>

namespace qz {

class UserDefaults {
  public:
    // The largest settings file that is read; a larger one is refused like a pipe or a device.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;

    // A store kept in the given file (INI format), read now. A file that may not be used (not
    // a regular file, nor a link to one of this user's, or too large) is logged, left alone,
    // and the store runs on its registered values.
    explicit UserDefaults(const QString& filePath);

    // The program's store, "<XDG config>/quenzel/quenzel.conf"; it follows XDG_CONFIG_HOME.
    static UserDefaults& standard();
    static QString standardFilePath();

    // Fallbacks for keys that have no stored value; never written to disk.
    void registerDefaults(const QVariantMap& defaults);

    // The stored value, else the registered one, else an invalid QVariant.
    QVariant objectForKey(const QString& key) const;
    bool hasStoredValue(const QString& key) const;
    bool boolForKey(const QString& key) const;
    quint64 unsignedLongLongForKey(const QString& key) const;
    QByteArray dataForKey(const QString& key) const;

    void setObject(const QVariant& value, const QString& key);
    void setBool(bool value, const QString& key) { setObject(value, key); }
    void removeObjectForKey(const QString& key);
    // Reads changes made by other processes and writes pending changes atomically; false (and
    // a log line) when the file could not be read or written. Changes not written stay
    // pending for the next call.
    bool synchronize();

    const QString& filePath() const { return filePath_; }
    // Why the last read or write failed; empty after one that worked.
    QString lastError() const;

  private:
    using Change = std::pair<QString, std::optional<QVariant>>;  // a value set, or removed
    bool readAndWrite(bool write);
    bool failed(const QString& reason);

    QString filePath_;
    mutable QMutex mutex_;
    QVariantMap stored_;     // the file's values as last read, with this store's changes
    QList<Change> pending_;  // changes not yet in the file, in order
    QVariantMap registered_;
    bool parsed_ = false;                   // whether parsedText_ holds the file's last text
    std::optional<QByteArray> parsedText_;  // that text (none: there was no file)
    QVariantMap parsedValues_;              // and the values QSettings read from it
    QString error_;
};

}  // namespace qz
