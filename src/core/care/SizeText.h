// The short size text shown to the user: decimal units, cut-overs at 999 of the smaller unit,
// computed in 32-bit floating point as the original program does.
#pragma once

#include <QString>
#include <QtGlobal>

namespace qz {

class Localization;

// "%lli Bytes", "%1.1f KB", "%1.1f MB" or "%1.1f GB", each looked up in the table and used as
// the format.
QString convertSizeToString(quint64 size, const Localization& texts);

// A count in groups of three digits, with the table's "GroupSeparator": "1,204" or "1.204".
QString convertCountToString(quint64 count, const Localization& texts);

}  // namespace qz
