// Every value the program keeps in its settings file, typed, with its default, in one place.
// The key strings are those of the stored file and never change.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "core/settings/UserDefaults.h"

namespace qz {

class Settings {
  public:
    struct Key {
        static inline const QString showInTaskbar = QStringLiteral("quenzel");
        static inline const QString welcomePending = QStringLiteral("welcome");
        static inline const QString reviewPending = QStringLiteral("leaveReview");
        static inline const QString closeHintShown = QStringLiteral("closeHintShown");
        static inline const QString folderGrant = QStringLiteral("ExportDirectory");
        static inline const QString alertThreshold = QStringLiteral("SetPesoAlert");
        static inline const QString miniaturizeOnDoubleClick =
            QStringLiteral("AppleMiniaturizeOnDoubleClick");
        static inline const QString cookieKeepList = QStringLiteral("KeepCookiesFor");
        // Per browser key ("AutoClean/chromium"): the preset cleaned when the browser closes.
        static QString autoClean(const QString& browserKey) {
            return QStringLiteral("AutoClean/") + browserKey;
        }
        // Per browser key: the items the custom preset selects.
        static QString customItems(const QString& browserKey) {
            return QStringLiteral("CustomItems/") + browserKey;
        }
    };

    // Registers the defaults (in memory, never written) on the store it is given.
    explicit Settings(UserDefaults& defaults) : defaults_(defaults) {
        defaults_.registerDefaults(
            {{Key::showInTaskbar, true}, {Key::welcomePending, true}, {Key::reviewPending, true}});
    }
    // The program's own settings file.
    static Settings standard() { return Settings(UserDefaults::standard()); }

    // The task-bar entry is shown; also the enabled state. Default: yes.
    bool showInTaskbar() const { return defaults_.boolForKey(Key::showInTaskbar); }
    void setShowInTaskbar(bool show) { store(Key::showInTaskbar, show); }
    // The welcome window is still to be shown by itself. Default: yes.
    bool welcomePending() const { return defaults_.boolForKey(Key::welcomePending); }
    void setWelcomePending(bool pending) { store(Key::welcomePending, pending); }
    // The rating prompt is still to be shown. Default: yes.
    bool reviewPending() const { return defaults_.boolForKey(Key::reviewPending); }
    void setReviewPending(bool pending) { store(Key::reviewPending, pending); }
    // The hint that closing the window leaves Quenzel in the tray was given. Default: no.
    bool closeHintShown() const { return defaults_.boolForKey(Key::closeHintShown); }
    void setCloseHintShown(bool shown) { store(Key::closeHintShown, shown); }
    // A double click in the title bar minimises the window. Default: no.
    bool miniaturizeOnDoubleClick() const {
        return defaults_.boolForKey(Key::miniaturizeOnDoubleClick);
    }

    // The sites whose cookies a care keeps, as stored (see CookieKeepList). Default: none.
    QStringList cookieKeepList() const {
        return defaults_.objectForKey(Key::cookieKeepList).toStringList();
    }
    void setCookieKeepList(const QStringList& sites) {
        if (sites.isEmpty()) {
            defaults_.removeObjectForKey(Key::cookieKeepList);
        } else {
            defaults_.setObject(sites, Key::cookieKeepList);
        }
    }

    // The preset ("basic", "complete" or "custom") cleaned when the browser of that key closes;
    // empty while that is off. Default: off.
    QString autoCleanPreset(const QString& browserKey) const {
        return defaults_.objectForKey(Key::autoClean(browserKey)).toString();
    }
    // An empty preset turns it off.
    void setAutoCleanPreset(const QString& browserKey, const QString& preset) {
        setOrRemove(Key::autoClean(browserKey), preset);
    }
    // The items the browser's custom preset selects, as its panel left them. Default: none.
    QStringList customItems(const QString& browserKey) const {
        return defaults_.objectForKey(Key::customItems(browserKey)).toStringList();
    }
    void setCustomItems(const QString& browserKey, const QStringList& items) {
        setOrRemove(Key::customItems(browserKey), items);
    }

    // The bookmark of the granted home folder; empty when none is stored.
    QByteArray folderGrant() const { return defaults_.dataForKey(Key::folderGrant); }
    bool hasFolderGrant() const { return defaults_.hasStoredValue(Key::folderGrant); }
    // An empty bookmark removes the grant.
    void setFolderGrant(const QByteArray& bookmark) {
        if (bookmark.isEmpty()) {
            defaults_.removeObjectForKey(Key::folderGrant);
        } else {
            defaults_.setObject(bookmark, Key::folderGrant);
        }
    }

    // Writes what changed to the file at once; false (logged) when it could not.
    bool synchronize() { return defaults_.synchronize(); }
    UserDefaults& defaults() const { return defaults_; }

  private:
    void store(const QString& key, bool value) { defaults_.setBool(value, key); }
    template <typename Value>
    void setOrRemove(const QString& key, const Value& value) {
        if (value.isEmpty()) {
            defaults_.removeObjectForKey(key);
        } else {
            defaults_.setObject(value, key);
        }
    }

    UserDefaults& defaults_;
};

}  // namespace qz
