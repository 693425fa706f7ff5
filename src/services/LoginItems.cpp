#include "services/LoginItems.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "core/formats/Bundle.h"
#include "core/formats/DesktopEntry.h"
#include "core/fs/OwnFile.h"
#include "core/settings/Log.h"

namespace qz {

namespace {

const QString kSuffix = QStringLiteral(".desktop");

bool isSafeIdentifier(const QString& identifier) {
    return !identifier.isEmpty() && !identifier.startsWith(u'.') && !identifier.contains(u'/') &&
           !identifier.contains(QChar(0));
}

// An entry counts as on unless it is hidden or switched off; one that cannot be read is off.
bool entryIsEnabled(const QString& path) {
    const OwnFile::ReadResult file = OwnFile::read(path, LoginItems::kMaxEntryBytes);
    return file.status == OwnFile::ReadStatus::Read &&
           DesktopEntry::parse(file.data).startsAtLogin();
}

}  // namespace

std::optional<LoginItemBundle> LoginItemBundle::bundleWithPath(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isExecutable()) {
        return std::nullopt;
    }
    return LoginItemBundle{Bundle::objectForInfoDictionaryKey(QStringLiteral("QZHelperIdentifier")),
                           QUrl::fromLocalFile(info.absoluteFilePath())};
}

LoginItems& LoginItems::shared() {
    static LoginItems items;
    return items;
}

QString LoginItems::autostartFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart");
}

std::optional<QList<QVariantMap>> LoginItems::copyAllJobDictionaries() const {
    const QDir folder(autostartFolder());
    if (!folder.exists()) {
        return std::nullopt;
    }
    QList<QVariantMap> jobs;
    const QStringList names =
        folder.entryList({QStringLiteral("*") + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : names) {
        jobs.append({{QStringLiteral("Label"), name.chopped(kSuffix.size())},
                     {QStringLiteral("OnDemand"), entryIsEnabled(folder.filePath(name))}});
    }
    return jobs;
}

bool LoginItems::setEnabled(const QString& identifier, const QString& program, bool enabled) {
    if (!isSafeIdentifier(identifier)) {
        return false;
    }
    const QString folder = autostartFolder();
    const QString path = folder + u'/' + identifier + kSuffix;
    if (!enabled) {
        return QFile::remove(path) || !QFileInfo::exists(path);
    }
    if (program.isEmpty() || !QDir().mkpath(folder)) {
        return false;
    }
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Quenzel\n"
                              "Comment=Starts Quenzel in the background at login\n"
                              "Exec=%1\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                              .arg(execLine(program));
    QString error;
    if (!OwnFile::write(path, entry.toUtf8(), &error)) {
        Log::write(QStringLiteral("Autostart entry not written: %1").arg(error));
        return false;
    }
    return true;
}

QString LoginItems::execLine(const QString& program) {
    // Quoted as one argument: ", `, $ and \ take a backslash; % doubles (no field codes).
    QString quoted;
    for (const QChar c : program) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
            quoted += u'\\';
        } else if (c == u'%') {
            quoted += u'%';
        }
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    // Then the entry's own string escapes.
    QString value;
    for (const QChar c : quoted) {
        switch (c.unicode()) {
            case '\\':
                value += QStringLiteral("\\\\");
                break;
            case '\n':
                value += QStringLiteral("\\n");
                break;
            case '\t':
                value += QStringLiteral("\\t");
                break;
            case '\r':
                value += QStringLiteral("\\r");
                break;
            default:
                value += c;
        }
    }
    return value;
}

}  // namespace qz
