// The preferences' "Clean when it closes" section: one row per installed browser with a check
// box and the preset to clean with. Every change is stored at once; the running watcher follows
// the settings file.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QWidget>

#include "core/browsers/Browser.h"

namespace qz {

class FileManager;
class UserDefaults;

class AutoCleanSection : public QWidget {
    Q_OBJECT
  public:
    AutoCleanSection(const FileManager& files, UserDefaults& defaults, QWidget* parent = nullptr);

    QList<BrowserId> browsers() const { return browsers_; }
    // The row's controls; nullptr for a browser without a row.
    QCheckBox* checkBox(BrowserId browser) const { return boxes_.value(browser); }
    QComboBox* presetChoice(BrowserId browser) const { return presets_.value(browser); }
    // Shows what the settings hold now (another process may have changed them).
    void showStored();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void store(BrowserId browser);

    UserDefaults& defaults_;
    QList<BrowserId> browsers_;
    QHash<BrowserId, QCheckBox*> boxes_;
    QHash<BrowserId, QComboBox*> presets_;
    bool showing_ = false;  // the controls change because of the settings, not the user
};

}  // namespace qz
