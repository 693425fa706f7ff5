#include "platform/UserDefaults.h"

#include <QDir>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>
#include <map>

#include "platform/Log.h"

namespace qz {

UserDefaults::UserDefaults(const QString& filePath)
    : filePath_(filePath), settings_(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {}

QString UserDefaults::standardFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/quenzel/quenzel.conf");
}

UserDefaults& UserDefaults::standard() {
    // One store per file, so a test that points XDG_CONFIG_HOME elsewhere gets a fresh one.
    static QMutex mutex;
    static std::map<QString, std::unique_ptr<UserDefaults>> stores;
    QMutexLocker lock(&mutex);
    const QString path = standardFilePath();
    auto& store = stores[path];
    if (!store) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        store = std::make_unique<UserDefaults>(path);
    }
    return *store;
}

void UserDefaults::registerDefaults(const QVariantMap& defaults) {
    QMutexLocker lock(&mutex_);
    for (auto it = defaults.begin(); it != defaults.end(); ++it) {
        registered_.insert(it.key(), it.value());
    }
}

QVariant UserDefaults::objectForKey(const QString& key) const {
    QMutexLocker lock(&mutex_);
    const QVariant stored = settings_->value(key);
    return stored.isValid() ? stored : registered_.value(key);
}

bool UserDefaults::hasStoredValue(const QString& key) const {
    QMutexLocker lock(&mutex_);
    return settings_->contains(key);
}

bool UserDefaults::boolForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().toLower();
        return text == QStringLiteral("true") || text == QStringLiteral("yes") ||
               text.toLongLong() != 0;
    }
    return value.toBool();
}

quint64 UserDefaults::unsignedLongLongForKey(const QString& key) const {
    return objectForKey(key).toULongLong();
}

QByteArray UserDefaults::dataForKey(const QString& key) const {
    const QVariant value = objectForKey(key);
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

void UserDefaults::setObject(const QVariant& value, const QString& key) {
    QMutexLocker lock(&mutex_);
    settings_->setValue(key, value);
}

void UserDefaults::removeObjectForKey(const QString& key) {
    QMutexLocker lock(&mutex_);
    settings_->remove(key);
}

bool UserDefaults::synchronize() {
    QMutexLocker lock(&mutex_);
    settings_->sync();
    if (settings_->status() != QSettings::NoError) {
        // Every caller's failure shows in the log; the command line also tells the user.
        Log::write(QStringLiteral("Settings file %1 could not be written").arg(filePath_));
        return false;
    }
    return true;
}

}  // namespace qz
