// A sample macOS-style home with all four browsers installed and believable data, built once
// in the cache folder so that Quenzel can be tried without a Mac's disk.
#pragma once

#include <QString>

namespace qz {

class DemoHome {
  public:
    // "<XDG cache>/quenzel/demo-home".
    static QString defaultLocation();

    explicit DemoHome(QString folder = defaultLocation());

    // The folder that stands for "/".
    const QString& root() const { return root_; }
    bool isComplete(const QString& user) const;
    // Builds the home for the user unless it is complete already; false with a reason.
    bool ensure(const QString& user, QString* error = nullptr) const;
    // Settings and history of demo runs live beside the home, apart from the user's own.
    QString configFolder() const;
    QString dataFolder() const;
    // Stores the grant of the demo user's Library folder unless a grant is stored already.
    void grantAccess(const QString& user) const;

  private:
    bool build(const QString& user, QString* error) const;
    QString marker(const QString& user) const;

    QString root_;
};

}  // namespace qz
