// Any bytes as a Chromium "Local State": "Default" always comes first and only once.
#include <QByteArray>

#include "core/formats/ProfileListParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qz::ParsedProfileList list = qz::parseLocalState(bytes);
    if (list.entries.isEmpty() || list.entries.first().path != QStringLiteral("Default")) {
        __builtin_trap();
    }
    for (qsizetype i = 1; i < list.entries.size(); ++i) {
        const qz::ListedProfile& entry = list.entries[i];
        if (entry.path == QStringLiteral("Default") || entry.isDefault ||
            entry.name != entry.path) {
            __builtin_trap();
        }
        (void)qz::holdsControlCharacter(entry.path);
    }
    return 0;
}
