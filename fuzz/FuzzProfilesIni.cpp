// Any bytes as Firefox's profiles.ini: every entry has a path, the defaults come first.
#include <QByteArray>

#include "core/formats/ProfileListParse.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qz::ParsedProfileList list = qz::parseProfilesIni(bytes);
    bool defaults = true;
    for (const qz::ListedProfile& entry : list.entries) {
        if (entry.path.isEmpty() || (entry.isDefault && !defaults) || !list.malformed.isEmpty()) {
            __builtin_trap();
        }
        defaults = entry.isDefault;
        (void)qz::holdsControlCharacter(entry.name);
    }
    return 0;
}
