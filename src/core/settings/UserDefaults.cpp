#include "core/settings/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <map>
#include <memory>

#include "core/fs/OwnFile.h"
#include "core/settings/Log.h"

namespace qz {

namespace {

// What QSettings makes of the settings text with the changes applied: its values and, when
// there were changes, its new text.
struct IniText {
    QVariantMap values;
    QByteArray text;
    QString error;  // empty when it worked
};

// QSettings parses and writes the INI text on a private scratch copy, so the file keeps the
// very format it always had while the real file is only ever touched through OwnFile.
IniText throughQSettings(const std::optional<QByteArray>& text,
                         const QList<std::pair<QString, std::optional<QVariant>>>& changes) {
    IniText result;
    const QTemporaryDir scratch;
    if (!scratch.isValid()) {
        result.error = QStringLiteral("no scratch folder: %1").arg(scratch.errorString());
        return result;
    }
    const QString path = scratch.filePath(QStringLiteral("quenzel.conf"));
    if (text) {
        QFile copy(path);
        if (!copy.open(QIODevice::WriteOnly) || copy.write(*text) != text->size() ||
            !copy.flush()) {
            result.error = QStringLiteral("scratch copy: %1").arg(copy.errorString());
            return result;
        }
    }
    {
        QSettings settings(path, QSettings::IniFormat);
        for (const auto& [key, value] : changes) {
            if (value) {
                settings.setValue(key, *value);
            } else {
                settings.remove(key);
            }
        }
        if (!changes.isEmpty()) {
            settings.sync();
            if (settings.status() == QSettings::AccessError) {
                result.error = QStringLiteral("scratch copy could not be written");
                return result;
            }
        }
        for (const QString& key : settings.allKeys()) {
            result.values.insert(key, settings.value(key));
        }
    }
    // Removing keys from an empty store leaves QSettings nothing to write: the text is empty.
    if (!changes.isEmpty() && QFileInfo::exists(path)) {
        QFile written(path);
        if (!written.open(QIODevice::ReadOnly)) {
            result.error = QStringLiteral("scratch copy: %1").arg(written.errorString());
            return result;
        }
        result.text = written.readAll();
    }
    return result;
}

// Takes the key and every key in its group out, as QSettings::remove does.
void removeKey(QVariantMap& values, const QString& key) {
    for (auto it = values.begin(); it != values.end();) {
        it = it.key() == key || it.key().startsWith(key + u'/') ? values.erase(it) : ++it;
    }
}

// Whether the changes, applied to the file's values, leave every value as the file has it (as a
// setting stored again at each start does): then nothing needs writing, nor syncing.
bool leavesFileAsItIs(const IniText& current,
                      const QList<std::pair<QString, std::optional<QVariant>>>& changes) {
    QVariantMap after = current.values;
    for (const auto& [key, value] : changes) {
        if (value) {
            after.insert(key, *value);
        } else {
            removeKey(after, key);
        }
    }
    // The file gives plain values back as text ("true", "300"): compare those as text too.
    const auto plain = [](const QVariant& value) {
        switch (value.typeId()) {
            case QMetaType::Bool:
            case QMetaType::Int:
            case QMetaType::UInt:
            case QMetaType::LongLong:
            case QMetaType::ULongLong:
            case QMetaType::Double:
            case QMetaType::QString:
                return true;
            default:
                return false;
        }
    };
    const auto same = [&plain](const QVariant& a, const QVariant& b) {
        return a == b || (plain(a) && plain(b) && a.toString() == b.toString());
    };
    return after.keys() == current.values.keys() &&
           std::equal(after.cbegin(), after.cend(), current.values.cbegin(), same);
}

}  // namespace

UserDefaults::UserDefaults(const QString& filePath) : filePath_(filePath) {
    readAndWrite(false);
}

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
    const auto stored = stored_.constFind(key);
    return stored != stored_.cend() ? *stored : registered_.value(key);
}

bool UserDefaults::hasStoredValue(const QString& key) const {
    QMutexLocker lock(&mutex_);
    return stored_.contains(key);
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
    stored_.insert(key, value);
    pending_.append({key, value});
}

void UserDefaults::removeObjectForKey(const QString& key) {
    QMutexLocker lock(&mutex_);
    removeKey(stored_, key);
    pending_.append({key, std::nullopt});
}

bool UserDefaults::synchronize() {
    QMutexLocker lock(&mutex_);
    return readAndWrite(true);
}

QString UserDefaults::lastError() const {
    QMutexLocker lock(&mutex_);
    return error_;
}

bool UserDefaults::readAndWrite(bool write) {
    const OwnFile::ReadResult file = OwnFile::read(filePath_, kMaxFileBytes);
    if (file.status == OwnFile::ReadStatus::Refused || file.status == OwnFile::ReadStatus::Failed) {
        return failed(file.error);
    }
    std::optional<QByteArray> text;
    if (file.status == OwnFile::ReadStatus::Read) {
        text = file.data;
    }
    // The same text as last time (every synchronize at start) needs no second parse.
    if (!parsed_ || parsedText_ != text) {
        const IniText read = throughQSettings(text, {});
        if (!read.error.isEmpty()) {
            return failed(read.error);
        }
        parsed_ = true;
        parsedText_ = text;
        parsedValues_ = read.values;
    }
    IniText ini{parsedValues_, {}, {}};
    if (write && !pending_.isEmpty() && leavesFileAsItIs(ini, pending_)) {
        pending_.clear();
    }
    const bool changed = write && !pending_.isEmpty();
    if (changed) {
        ini = throughQSettings(text, pending_);
    }
    if (!ini.error.isEmpty()) {
        return failed(ini.error);
    }
    if (changed) {
        QString error;
        QDir().mkpath(QFileInfo(filePath_).absolutePath());
        if (!OwnFile::write(filePath_, ini.text, &error)) {
            return failed(error);
        }
        pending_.clear();
    }
    // What another process stored shows from now on, under this store's unwritten changes.
    stored_ = ini.values;
    for (const auto& [key, value] : std::as_const(pending_)) {
        if (value) {
            stored_.insert(key, *value);
        } else {
            removeKey(stored_, key);
        }
    }
    error_.clear();
    return true;
}

bool UserDefaults::failed(const QString& reason) {
    // Every caller's failure shows in the log; the command line also tells the user.
    error_ = reason;
    Log::write(QStringLiteral("Settings file %1 not used: %2").arg(filePath_, reason));
    return false;
}

}  // namespace qz
