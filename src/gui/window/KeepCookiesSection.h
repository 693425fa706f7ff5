// The preferences' "Keep cookies for" section: the sites whose cookies a care leaves, a field
// to add one, a button to remove the selected ones, and the sites found in the browsers' cookie
// stores with their cookie counts, read off the main thread.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>

#include "core/care/CookieSites.h"
#include "core/fs/FileManager.h"

namespace qz {

class UserDefaults;

class KeepCookiesSection : public QWidget {
    Q_OBJECT
  public:
    KeepCookiesSection(const FileManager& files, UserDefaults& defaults, QWidget* parent = nullptr);

    QListWidget* keptList() const { return kept_; }
    QLineEdit* siteField() const { return field_; }
    QPushButton* addButton() const { return add_; }
    QPushButton* removeButton() const { return remove_; }
    QListWidget* foundList() const { return found_; }
    QPushButton* keepFoundButton() const { return keepFound_; }
    QLabel* message() const { return message_; }

    // Reads the cookie stores again (on the measuring queue) and shows what it finds.
    void refreshFound();

  signals:
    void foundShown();

  protected:
    // Each time the section comes into view the stores are read afresh.
    void showEvent(QShowEvent* event) override;

  private:
    void addTyped();
    void removeSelected();
    void keepSelectedFound();
    void addSites(const QStringList& sites);
    void showKept();
    void showFound(const QList<CookieSite>& sites);

    FileManager files_;  // a copy the reading job takes along
    UserDefaults& defaults_;
    QListWidget* kept_;
    QLineEdit* field_;
    QPushButton* add_;
    QPushButton* remove_;
    QLabel* message_;
    QLabel* foundTitle_;
    QListWidget* found_;
    QPushButton* keepFound_;
};

}  // namespace qz
