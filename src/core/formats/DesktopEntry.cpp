#include "core/formats/DesktopEntry.h"

namespace qz {

DesktopEntry DesktopEntry::parse(const QByteArray& bytes) {
    DesktopEntry entry;
    bool inMainGroup = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[')) {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inMainGroup || equals <= 0) {
            continue;  // comments, blank lines and other groups
        }
        entry.values.append({line.left(equals).trimmed(), line.mid(equals + 1).trimmed()});
    }
    return entry;
}

bool DesktopEntry::startsAtLogin() const {
    for (const auto& [key, value] : values) {
        const QByteArray lower = value.toLower();
        if ((key == "Hidden" && lower == "true") ||
            (key == "X-GNOME-Autostart-enabled" && lower == "false")) {
            return false;
        }
    }
    return true;
}

}  // namespace qz
