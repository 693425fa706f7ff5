// The main group ("[Desktop Entry]") of a desktop entry file, as the autostart folder holds
// them: its keys and raw values, read from bytes alone.
#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

namespace qz {

struct DesktopEntry {
    // The main group's lines in file order, key and value trimmed, values unescaped never.
    QList<std::pair<QByteArray, QByteArray>> values;

    static DesktopEntry parse(const QByteArray& bytes);
    // On unless hidden or switched off for GNOME-style sessions.
    bool startsAtLogin() const;
};

}  // namespace qz
