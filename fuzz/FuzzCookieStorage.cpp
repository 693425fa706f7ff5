// Any bytes as a cookies file: parsed or refused, and what parses writes back and parses again.
#include <QByteArray>
#include <cstdlib>

#include "core/formats/CookieStorage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<qz::CookieFile> file = qz::CookieStorage::parse(bytes);
    if (file) {
        const std::optional<qz::CookieFile> again =
            qz::CookieStorage::parse(qz::CookieStorage::serialize(*file));
        if (!again || again->cookies.size() != file->cookies.size()) {
            std::abort();  // what we write must read back
        }
    }
    return 0;
}
