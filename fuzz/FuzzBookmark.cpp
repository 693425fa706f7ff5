// Any bytes as a stored folder grant: resolved or refused, never a crash.
#include <QByteArray>

#include "core/formats/Bookmark.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)qz::Bookmark::resolve(bytes);
    (void)qz::Bookmark::resolve("QZBOOKMARK1\n" + bytes);
    return 0;
}
