// The sites whose cookies a care leaves in place: one list for every browser, kept in the
// settings. A site keeps its own cookies and its subdomains' ("example.org" keeps
// ".example.org" and "www.example.org", not "badexample.org").
#pragma once

#include <QString>
#include <QStringList>

namespace qz {

class Settings;

class CookieKeepList {
  public:
    CookieKeepList() = default;
    explicit CookieKeepList(QStringList sites);
    // The list stored in the settings (malformed entries left out).
    static CookieKeepList fromSettings(const Settings& settings);

    // A site as the list keeps it: trimmed, lower case, without a leading or trailing dot;
    // empty when malformed (empty, a space, a '/' or a scheme, a character no host name has).
    static QString normalizedSite(const QString& site);

    // Whether a cookie's host (".example.org", "www.example.org", "example.org") is kept.
    bool keepsHost(const QString& host) const;

    bool isEmpty() const { return sites_.isEmpty(); }
    const QStringList& sites() const { return sites_; }  // sorted, without repeats
    // Adds or removes normalized sites; answers whether the list changed.
    bool add(const QString& site);
    bool remove(const QString& site);
    void store(Settings& settings) const;

  private:
    QStringList sites_;
};

}  // namespace qz
