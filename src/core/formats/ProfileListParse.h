// The pure reading of a browser's profile list, bytes in, entries out, without touching the
// disk: profiles.ini and "Local State".
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace qz {

struct ListedProfile {
    QString name;  // as the list names it
    QString path;  // profiles.ini: the Path value; "Local State": the folder inside the data folder
    bool relative = true;
    bool isDefault = false;
};

struct ParsedProfileList {
    QList<ListedProfile> entries;  // the default first, then in the list's order
    QString malformed;             // why the bytes are no such list; empty when they are
};

// The [Profile*] sections with a Path; a profile named by an [Install*] section's Default or
// marked Default=1 is a default. An ini file is read leniently: it is never malformed.
ParsedProfileList parseProfilesIni(const QByteArray& text);
// The keys of profile.info_cache, "Default" first (always there, as the browser falls back
// on it); malformed when the bytes are not a JSON object or those members are not objects.
ParsedProfileList parseLocalState(const QByteArray& text);

// Whether a text holds a control character (C0, DEL or C1), NUL included.
bool holdsControlCharacter(const QString& text);

}  // namespace qz
