// Property lists (XML and binary) as Qt values, through libplist.
// Dictionaries become QVariantMap, arrays QVariantList, integers qint64 (quint64 above its
// range), reals double, dates QDateTime, data QByteArray.
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

#include "core/formats/PropertyListCheck.h"

namespace qz {

class PropertyList {
  public:
    // Reads an XML or binary property list; nothing when the bytes are not a property list or
    // exceed a limit (size, nesting, nodes) or hold a string with NUL: every read goes here.
    static std::optional<QVariant> read(const QByteArray& data,
                                        const PropertyListLimits& limits = {});
    // Reads a regular file on disk (a local path, or ":/" for one built in), never through a
    // link at its end and never waiting on a pipe or device; nothing when it is missing, not a
    // regular file, over the size limit or not a property list within the limits.
    static std::optional<QVariant> readFile(const QString& localPath,
                                            const PropertyListLimits& limits = {});
    // The value as an XML property list.
    static QByteArray toXml(const QVariant& value);
    // The value as a binary property list.
    static QByteArray toBinary(const QVariant& value);
    // Writes the value as an XML property list to a temporary file, then replaces the target
    // (see OwnFile::write: every write checked, synced, a link's target kept safe).
    static bool writeXmlAtomically(const QVariant& value, const QString& localPath,
                                   QString* error = nullptr);
};

}  // namespace qz
