// The sites that have cookies on this computer, counted over every installed browser's cookie
// stores, for choosing which sites keep theirs.
#pragma once

#include <QList>
#include <QString>

namespace qz {

class FileManager;

struct CookieSite {
    QString site;  // as the keep-list would hold it
    int cookies = 0;
};

// The site a cookie's host counts under: the host in lower case without a leading dot and
// without "www." (a simple stand-in for the registrable part: "a.b.example" stays itself).
QString cookieSiteOf(const QString& host);

// Every installed browser's cookies read without changing anything: in the Linux layout each
// usable profile's cookie databases (those of its cookie item), in the macOS layout the shared
// cookie store. Grouped by site, most cookies first, then by name;
// a store that cannot be read adds nothing.
QList<CookieSite> cookieSites(const FileManager& files);

}  // namespace qz
