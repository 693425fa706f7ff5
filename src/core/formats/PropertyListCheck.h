// Checks a property list's bytes before libplist parses them: libplist expands shared binary
// objects into copies, recurses without a bound and aborts on strings holding NUL, so every
// such input is refused here first.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace qz {

struct PropertyListLimits {
    qint64 maxBytes = 16 * 1024 * 1024;
    int maxDepth = 64;          // containers inside containers, the root counting 1
    qint64 maxNodes = 1000000;  // every value and dictionary key, shared objects each time used
};

// Whether a binary list ("bplist00") stays within the limits once every reference is
// expanded, has no reference cycle, and holds no string with a NUL character.
bool binaryWithinLimits(const QByteArray& data, const PropertyListLimits& limits);
// Whether an XML list nests no deeper than the limit and holds no NUL, raw or as a reference.
bool xmlWithinLimits(const QByteArray& data, const PropertyListLimits& limits);

}  // namespace qz
