// The shared cookie store: the Library's Cookies/Cookies.binarycookies, read into memory,
// emptied cookie by cookie and written back atomically. A missing file is an empty store; a
// damaged file is left exactly as it is.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

namespace qz {

class FileManager;

struct HTTPCookie {
    QString domain;
    QString name;
    QString path;
    QString value;
    quint32 flags = 0;  // 1 secure, 4 HTTP only
    QDateTime expiresDate;
    QDateTime creationDate;
    QByteArray record;  // the cookie's bytes as stored, written back unchanged

    bool sameCookie(const HTTPCookie& other) const {
        return domain == other.domain && name == other.name && path == other.path;
    }
};

// The contents of a cookies file.
struct CookieFile {
    QList<HTTPCookie> cookies;
    QByteArray trailer;  // whatever follows the pages' checksum and end mark, kept as it is
};

class CookieStorage {
  public:
    static inline const QString kStorePath =
        QStringLiteral("/Users/%@/Library/Cookies/Cookies.binarycookies");

    explicit CookieStorage(const FileManager& files);

    // The store's platform path for the file manager's user.
    QString storePath() const;
    // Every cookie of the store, reading the file on first use.
    QList<HTTPCookie> cookies();
    // Takes one cookie out of the store (matched by domain, name and path).
    void deleteCookie(const HTTPCookie& cookie);
    // Writes the store back when cookies were deleted. False with a reason when the file could
    // not be replaced, or was damaged and left alone.
    bool synchronize(QString* error = nullptr);
    // Whether the file was present but could not be understood (it is then never written).
    bool damaged() const { return damaged_; }

    static std::optional<CookieFile> parse(const QByteArray& data);
    static QByteArray serialize(const CookieFile& file);

  private:
    void load();

    const FileManager& files_;
    bool loaded_ = false;
    bool damaged_ = false;
    bool changed_ = false;
    QString damage_;  // why the store was left alone
    CookieFile contents_;
};

}  // namespace qz
