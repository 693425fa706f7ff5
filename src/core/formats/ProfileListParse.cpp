#include "core/formats/ProfileListParse.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QSet>
#include <algorithm>

#include "core/formats/ControlCharacter.h"

namespace qz {

namespace {

struct IniSection {
    QString name;
    QHash<QString, QString> values;
};

QList<IniSection> parseIni(const QByteArray& text) {
    QList<IniSection> sections;
    for (const QByteArray& raw : text.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#')) {
            continue;
        }
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.append({line.mid(1, line.size() - 2), {}});
        } else if (const qsizetype equals = line.indexOf(u'='); equals > 0 && !sections.isEmpty()) {
            sections.last().values.insert(line.left(equals).trimmed(),
                                          line.mid(equals + 1).trimmed());
        }
    }
    return sections;
}

}  // namespace

bool holdsControlCharacter(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return isControlCharacter(c.unicode()); });
}

ParsedProfileList parseProfilesIni(const QByteArray& text) {
    const QList<IniSection> sections = parseIni(text);
    QSet<QString> installDefaults;  // newer versions name each install's default profile here
    for (const IniSection& section : sections) {
        if (section.name.startsWith(QStringLiteral("Install")) &&
            section.values.contains(QStringLiteral("Default"))) {
            installDefaults.insert(section.values.value(QStringLiteral("Default")));
        }
    }
    ParsedProfileList list;
    for (const IniSection& section : sections) {
        const QString path = section.values.value(QStringLiteral("Path"));
        if (!section.name.startsWith(QStringLiteral("Profile")) || path.isEmpty()) {
            continue;
        }
        ListedProfile entry;
        entry.name = section.values.value(QStringLiteral("Name"), path);
        entry.path = path;
        entry.relative =
            section.values.value(QStringLiteral("IsRelative"), path.startsWith(u'/') ? "0" : "1") ==
            QStringLiteral("1");
        entry.isDefault = installDefaults.contains(path) ||
                          section.values.value(QStringLiteral("Default")) == QStringLiteral("1");
        list.entries.append(entry);
    }
    std::stable_sort(list.entries.begin(), list.entries.end(),
                     [](const auto& a, const auto& b) { return a.isDefault && !b.isDefault; });
    return list;
}

ParsedProfileList parseLocalState(const QByteArray& text) {
    ParsedProfileList list;
    list.entries.append({QStringLiteral("Default"), QStringLiteral("Default"), true, true});
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        list.malformed = error.error != QJsonParseError::NoError
                             ? QStringLiteral("not valid JSON (%1 at byte %2)")
                                   .arg(error.errorString())
                                   .arg(error.offset)
                             : QStringLiteral("not a JSON object");
        return list;
    }
    const QJsonValue profile = document.object().value(QStringLiteral("profile"));
    const QJsonValue cache = profile.toObject().value(QStringLiteral("info_cache"));
    if ((!profile.isUndefined() && !profile.isObject()) ||
        (!cache.isUndefined() && !cache.isObject())) {
        list.malformed = QStringLiteral("its profile.info_cache is not a JSON object");
        return list;
    }
    for (const QString& name : cache.toObject().keys()) {
        if (name != QStringLiteral("Default")) {
            list.entries.append({name, name, true, false});
        }
    }
    return list;
}

}  // namespace qz
