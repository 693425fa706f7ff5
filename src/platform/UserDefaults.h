// Settings with registered in-memory fallbacks, kept in the XDG config folder and written on
// synchronize. Safe to use from several threads.
#pragma once

#include <QMutex>
#include <QSettings>
#include <QString>
#include <QVariantMap>
#include <memory>

namespace qz {

class UserDefaults {
  public:
    // A store kept in the given file (INI format).
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
    // Writes pending changes to disk and reads changes made by other processes; false (and
    // a log line) when the file could not be written. QSettings keeps its first error, so once
    // false it stays false for this store.
    bool synchronize();

    const QString& filePath() const { return filePath_; }

  private:
    QString filePath_;
    mutable QMutex mutex_;
    std::unique_ptr<QSettings> settings_;
    QVariantMap registered_;
};

}  // namespace qz
