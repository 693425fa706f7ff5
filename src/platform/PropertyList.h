// Property lists (XML and binary) as Qt values, through libplist.
// Dictionaries become QVariantMap, arrays QVariantList, integers qint64 (quint64 above its
// range), reals double, dates QDateTime, data QByteArray.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

namespace qz {

class PropertyList {
  public:
    // Reads an XML or binary property list; nothing when the bytes are not a property list.
    static std::optional<QVariant> read(const QByteArray& data);
    // Reads a file on disk (a local path); nothing when it is missing or not a property list.
    static std::optional<QVariant> readFile(const QString& localPath);
    // The value as an XML property list.
    static QByteArray toXml(const QVariant& value);
    // The value as a binary property list.
    static QByteArray toBinary(const QVariant& value);
    // Writes the value as an XML property list to a temporary file, then replaces the target.
    static bool writeXmlAtomically(const QVariant& value, const QString& localPath,
                                   QString* error = nullptr);
};

}  // namespace qz
