// Any bytes as an autostart entry: its main group's keys, and whether it starts at login.
#include <QByteArray>

#include "core/formats/DesktopEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qz::DesktopEntry entry = qz::DesktopEntry::parse(bytes);
    for (const auto& [key, value] : entry.values) {
        // Every key came from a line of the main group: never empty, never with a line break.
        if (key.isEmpty() || key.contains('\n') || value.contains('\n')) {
            __builtin_trap();
        }
    }
    (void)entry.startsAtLogin();
    return 0;
}
