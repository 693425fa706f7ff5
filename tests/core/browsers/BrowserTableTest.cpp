// Every row of the browser table against the rules a new row must keep: nothing shared with
// another browser, items that stay inside the browser's own folders, a family that knows its
// files, and the texts and emblem the window needs.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSet>

#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Catalogue.h"
#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"

namespace qz {
namespace {

// A path inside a profile: relative, clean, never climbing out.
bool staysInside(const QString& path) {
    return !path.isEmpty() && !path.startsWith(u'/') && QDir::cleanPath(path) == path &&
           !path.split(u'/').contains(QStringLiteral(".."));
}

bool sameOrInside(const QString& a, const QString& b) {
    return a == b || liesInside(a, b) || liesInside(b, a);
}

QStringList names(const BrowserCatalogue& items) {
    QStringList listed;
    for (const CareItem& item : items.items) {
        listed.append(item.name);
    }
    return listed;
}

// The names without those only the Linux layout has (site storage, and Firefox's history, kept
// in the database that also holds the bookmarks).
QStringList without(QStringList names, const QStringList& linuxOnly) {
    for (const QString& name : linuxOnly) {
        names.removeAll(name);
    }
    return names;
}

TEST(BrowserTableTest, NoRowSharesANameAProcessOrAFolderWithAnother) {
    QSet<QString> seen;
    QList<std::pair<BrowserId, QString>> folders;  // every Linux data and cache folder
    for (const BrowserInfo& row : browserTable()) {
        SCOPED_TRACE(row.key.toStdString());
        EXPECT_EQ(browserForKey(row.key), row.id);
        EXPECT_EQ(&browserInfo(row.id), &row);
        for (const QString& name :
             QStringList{"letter " + QString(row.suffix), "key " + row.key,
                         "bundle " + row.bundleIdentifier, "name " + row.displayName,
                         "class " + row.moduleClass} +
                 row.processNames) {
            EXPECT_FALSE(seen.contains(name)) << name.toStdString();
            seen.insert(name);
        }
        EXPECT_TRUE(layoutBrowsers(Layout::MacOS).contains(row.id) ||
                    layoutBrowsers(Layout::Linux).contains(row.id));
        for (const LinuxInstall& install : row.linuxInstalls) {
            for (const QString& folder : {install.dataFolder, install.cacheFolder}) {
                EXPECT_TRUE(folder.startsWith(QStringLiteral("$CONFIG/")) ||
                            folder.startsWith(QStringLiteral("$CACHE/")) ||
                            (folder.startsWith(u'/') && QDir::cleanPath(folder) == folder))
                    << folder.toStdString();
                for (const auto& [other, taken] : folders) {
                    EXPECT_FALSE(other != row.id && sameOrInside(folder, taken))
                        << folder.toStdString() << " meets " << taken.toStdString();
                }
                folders.append({row.id, folder});
            }
        }
        if (!row.linuxInstalls.isEmpty()) {
            // Profiles of other installs are named with a prefix; the native ones are not.
            EXPECT_EQ(row.linuxInstalls.first().name, QStringLiteral("native"));
            const BrowserFamily& family = browserFamily(row.id);
            EXPECT_NE(profileList(row.id), ProfileList::None);
            EXPECT_FALSE(family.lock.name.isEmpty());
            EXPECT_FALSE(family.version.name.isEmpty());
        }
    }
}

TEST(BrowserTableTest, EveryItemStaysInsideItsBrowsersOwnData) {
    QList<std::pair<BrowserId, QString>> macPaths;  // every macOS path and whose item it is
    for (const BrowserInfo& row : browserTable()) {
        SCOPED_TRACE(row.key.toStdString());
        const BrowserCatalogue& shared = catalogue(row.id);
        for (Layout layout : {Layout::MacOS, Layout::Linux}) {
            const BrowserCatalogue* items = catalogue(row.id, layout);
            if (!items) {
                continue;
            }
            // One set of names and orders whatever the layout, each name ending in the letter;
            // Linux adds every browser's site storage, and the Firefox family's history in its
            // basic preset.
            QStringList linuxOnly;
            if (layout == Layout::Linux) {
                linuxOnly.append(QStringLiteral("sitedata") + row.suffix);
                if (row.family == FamilyId::Firefox) {
                    linuxOnly.append(QStringLiteral("history") + row.suffix);
                }
            }
            const QStringList listed = names(*items);
            for (const QString& name : linuxOnly) {
                EXPECT_TRUE(listed.contains(name)) << name.toStdString();
                EXPECT_EQ(items->basicSet.contains(name),
                          name.startsWith(QStringLiteral("history")))
                    << name.toStdString();
            }
            EXPECT_EQ(without(listed, linuxOnly), without(names(shared), linuxOnly));
            EXPECT_EQ(without(items->declarationOrder, linuxOnly),
                      without(shared.declarationOrder, linuxOnly));
            EXPECT_EQ(without(items->careOrder, linuxOnly), without(shared.careOrder, linuxOnly));
            EXPECT_EQ(without(items->basicSet, linuxOnly), without(shared.basicSet, linuxOnly));
            EXPECT_EQ(QSet<QString>(listed.begin(), listed.end()).size(), listed.size());
            for (const QStringList& order : {items->declarationOrder, items->careOrder}) {
                EXPECT_EQ(QSet<QString>(order.begin(), order.end()),
                          QSet<QString>(listed.begin(), listed.end()));
            }
            for (const QString& name : items->basicSet) {
                EXPECT_TRUE(listed.contains(name)) << name.toStdString();
            }
            for (const CareItem& item : items->items) {
                EXPECT_TRUE(item.name.endsWith(row.suffix)) << item.name.toStdString();
                for (const CarePath& path : item.measured + item.removed) {
                    if (layout == Layout::Linux) {
                        EXPECT_NE(path.base, PathBase::Root) << path.path.toStdString();
                        EXPECT_EQ(path.browser, row.id) << path.path.toStdString();
                        EXPECT_TRUE(staysInside(path.path)) << path.path.toStdString();
                    } else if (path.kind == PathKind::File || path.kind == PathKind::Folder) {
                        EXPECT_TRUE(liesInside(path.path, QStringLiteral("/Users/%@/Library")))
                            << path.path.toStdString();
                        for (const auto& [other, taken] : macPaths) {
                            EXPECT_FALSE(other != row.id && sameOrInside(path.path, taken))
                                << path.path.toStdString() << " meets " << taken.toStdString();
                        }
                        macPaths.append({row.id, path.path});
                    }
                }
            }
        }
        // On Linux the status item and the logo count only what the items can remove.
        QSet<std::pair<QString, int>> measured;
        for (const CareItem& item : row.linuxItems.items) {
            for (const CarePath& path : item.measured) {
                measured.insert({path.path, static_cast<int>(path.base)});
            }
        }
        for (const CarePath& path : row.linuxMonitorSet + row.linuxLogoSet) {
            EXPECT_EQ(path.browser, row.id);
            EXPECT_TRUE(measured.contains({path.path, static_cast<int>(path.base)}))
                << path.path.toStdString();
        }
    }
}

// A panel's boxes stand for the items by name, so no two items share one; every text the
// window shows for the row exists in both languages.
TEST(BrowserTableTest, EveryRowHasItsOwnItemsTextsAndEmblem) {
    const Localization english = Localization::forLanguage(QStringLiteral("en"));
    const Localization italian = Localization::forLanguage(QStringLiteral("it"));
    for (const BrowserInfo& row : browserTable()) {
        SCOPED_TRACE(row.key.toStdString());
        for (Layout layout : {Layout::MacOS, Layout::Linux}) {
            if (const BrowserCatalogue* own = catalogue(row.id, layout)) {
                const QStringList& declared = own->declarationOrder;
                EXPECT_EQ(QSet<QString>(declared.begin(), declared.end()).size(), declared.size())
                    << declared.join(u' ').toStdString();
            }
        }
        EXPECT_GT(row.panel.interval, 0);
        QStringList keys = {row.openKey,
                            row.nothingSelectedKey,
                            row.completedKey,
                            row.incompleteKey,
                            row.updateTextKey,
                            QStringLiteral("Care") + row.suffix,
                            QStringLiteral("Update") + row.suffix};
        for (Layout layout : {Layout::MacOS, Layout::Linux}) {
            if (const BrowserCatalogue* own = catalogue(row.id, layout)) {
                for (const QString& item : own->declarationOrder) {
                    keys.append(item);
                    // A help line, where an item has one, is there in both languages.
                    const QString help = item + QStringLiteral("Help");
                    EXPECT_EQ(english.text(help) == help, italian.text(help) == help)
                        << help.toStdString();
                }
            }
        }
        // The history Linux adds to the Firefox family says what stays, and the site storage
        // every Linux row has says the extensions' data stays.
        if (row.family == FamilyId::Firefox) {
            keys.append(QStringLiteral("history") + row.suffix + QStringLiteral("Help"));
        }
        if (!row.linuxInstalls.isEmpty()) {
            keys.append(QStringLiteral("sitedata") + row.suffix + QStringLiteral("Help"));
        }
        for (const QString& key : keys) {
            EXPECT_NE(english.text(key), key);
            EXPECT_NE(italian.text(key), key);
        }
        EXPECT_TRUE(QFile::exists(Bundle::imagePath(QStringLiteral("emblem") + row.moduleClass)));
        EXPECT_TRUE(row.supportFragment.startsWith(u'#'));
        EXPECT_TRUE(row.systemBrowser || !row.updateListKey.isEmpty());
    }
}

}  // namespace
}  // namespace qz
