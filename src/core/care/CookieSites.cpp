#include "core/care/CookieSites.h"

#include <QHash>
#include <algorithm>

#include "core/browsers/Browser.h"
#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/Catalogue.h"
#include "core/care/CookieRows.h"
#include "core/care/SizeRules.h"
#include "core/formats/CookieStorage.h"
#include "core/fs/FileManager.h"

namespace qz {

QString cookieSiteOf(const QString& host) {
    QString site = host.trimmed().toLower();
    while (site.startsWith(u'.')) {
        site.remove(0, 1);
    }
    if (site.startsWith(QStringLiteral("www.")) && site.size() > 4) {
        site.remove(0, 4);
    }
    return site;
}

QList<CookieSite> cookieSites(const FileManager& files) {
    QHash<QString, int> counts;
    const auto count = [&counts](const QString& host, qint64 cookies = 1) {
        if (const QString site = cookieSiteOf(host); !site.isEmpty()) {
            counts[site] += static_cast<int>(cookies);
        }
    };
    // Every cookie database the installed browsers' items name, read through a survey that
    // changes nothing.
    ProfileLookup profiles(files);
    for (BrowserId browser : installedBrowsers(files)) {
        const std::optional<SqliteTable> table = cookieTable(browser);
        if (!table) {
            continue;
        }
        DatabaseEdit hosts;
        hosts.schema = {*table};
        hosts.survey = [table](SqliteDatabase& db) { return cookieHosts(db, *table); };
        for (const CareItem& item : catalogue(browser, files).items) {
            for (const CarePath& path : item.removed) {
                if (path.kind != PathKind::CookieDatabase) {
                    continue;
                }
                for (const CareTarget& target : careTargets(path, files, profiles)) {
                    if (target.kind != PathKind::CookieDatabase) {
                        continue;
                    }
                    for (const RowCount& host :
                         surveyDatabase(target.platformPath, hosts, files).counts) {
                        count(host.what, host.rows);
                    }
                }
            }
        }
    }
    if (files.layout() == Layout::MacOS) {
        CookieStorage store(files);
        for (const HTTPCookie& cookie : store.cookies()) {
            count(cookie.domain);
        }
    }
    QList<CookieSite> sites;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        sites.append({it.key(), it.value()});
    }
    std::sort(sites.begin(), sites.end(), [](const CookieSite& a, const CookieSite& b) {
        return a.cookies != b.cookies ? a.cookies > b.cookies : a.site < b.site;
    });
    return sites;
}

}  // namespace qz
