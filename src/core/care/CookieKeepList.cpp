#include "core/care/CookieKeepList.h"

#include "core/settings/Settings.h"

namespace qz {

CookieKeepList::CookieKeepList(QStringList sites) {
    for (const QString& site : sites) {
        add(site);
    }
}

CookieKeepList CookieKeepList::fromSettings(const Settings& settings) {
    return CookieKeepList(settings.cookieKeepList());
}

QString CookieKeepList::normalizedSite(const QString& site) {
    QString name = site.trimmed().toLower();
    while (name.startsWith(u'.')) {
        name.remove(0, 1);
    }
    while (name.endsWith(u'.')) {
        name.chop(1);
    }
    if (name.isEmpty() || name.size() > 253 || name.contains(QStringLiteral(".."))) {
        return {};
    }
    // Letters, digits, '-' and '.' (and ':' of an IPv6 address in brackets is not a site).
    for (QChar c : name) {
        const bool allowed = (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-' ||
                             c == u'.' || c == u'_' || c.unicode() > 127;
        if (!allowed) {
            return {};
        }
    }
    return name;
}

bool CookieKeepList::keepsHost(const QString& host) const {
    if (sites_.isEmpty()) {
        return false;
    }
    QString name = host.trimmed().toLower();
    while (name.startsWith(u'.')) {
        name.remove(0, 1);
    }
    for (const QString& site : sites_) {
        if (name == site || (name.size() > site.size() && name.endsWith(site) &&
                             name.at(name.size() - site.size() - 1) == u'.')) {
            return true;
        }
    }
    return false;
}

bool CookieKeepList::add(const QString& site) {
    const QString name = normalizedSite(site);
    if (name.isEmpty() || sites_.contains(name)) {
        return false;
    }
    sites_.insert(std::lower_bound(sites_.begin(), sites_.end(), name), name);
    return true;
}

bool CookieKeepList::remove(const QString& site) {
    return sites_.removeOne(normalizedSite(site));
}

void CookieKeepList::store(Settings& settings) const {
    settings.setCookieKeepList(sites_);
}

}  // namespace qz
