// What every care item covers: the paths measured for its size, the paths removed by a care,
// and the orders in which a module tests, walks and declares its items.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace qz {

enum class BrowserId;  // the browser table's key (Browser.h)

enum class PathKind {
    File,            // measured by the file rule, removed as a whole
    Folder,          // measured by the folder rule, removed with its contents
    ProfileFile,     // a file name inside Firefox's default profile folder
    CookieStore,     // the shared cookie store: emptied cookie by cookie, never measured
    Database,        // a browser's database whose rows a change removes; the file stays
    FolderEntries,   // each entry of a folder but those named with the path's `except` prefix:
                     // measured and removed one by one, the folder itself stays
    CookieDatabase,  // a profile's cookie database: measured and removed as a file, or with a
                     // keep-list, only the other sites' cookies deleted from it
};

// Which change a database path makes.
enum class DatabaseChange {
    None,
    FirefoxHistory,  // places.sqlite: visits and visited pages go, bookmarks stay
};

// What a care path is written against: the root (a full path template), or each profile of the
// browser (its profile folder or its cache folder) in the Linux layout.
enum class PathBase { Root, Profile, ProfileCache };

struct CarePath {
    PathKind kind;
    QString path;  // a "/Users/%@/Library/..." template, a profile file's name, or a path inside
                   // a profile's folder
    PathBase base = PathBase::Root;
    BrowserId browser{};      // whose profiles, for a path inside a profile
    bool companions = false;  // SQLite's "-journal", "-wal" and "-shm" files go with it
    DatabaseChange change = DatabaseChange::None;  // for a database path
    QString except{};  // FolderEntries: the entries whose names start with it stay
};

inline CarePath filePath(const QString& path) {
    return {PathKind::File, path};
}
inline CarePath folderPath(const QString& path) {
    return {PathKind::Folder, path};
}

struct CareItem {
    QString name;  // the check box's outlet name, e.g. "historyS"
    QList<CarePath> measured;
    QList<CarePath> removed;        // in removal order
    double pauseBeforeRemoval = 0;  // seconds to wait before removing this item's paths
};

struct BrowserCatalogue {
    BrowserId browser{};
    QList<CareItem> items;         // in the order of the nothing-selected test
    QStringList declarationOrder;  // the module's check boxes as its panel declares them
    QStringList careOrder;         // the order in which a care walks the items
    QStringList basicSet;          // the items the basic preset selects

    const CareItem* item(const QString& name) const;
};

}  // namespace qz
