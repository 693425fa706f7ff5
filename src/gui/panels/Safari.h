// The Safari module: its panel's controls and the differences from the other browsers' modules.
#pragma once

#include "gui/panels/CareModule.h"

namespace qz {

class Safari : public CareModule {
    Q_OBJECT
  public:
    static const ModuleTraits& moduleTraits();

    Safari(QWidget* panel, FileManager& files);

  public slots:
    void changesize() { measure(); }
    void segmentedPresetSafari() { applySelectedPreset(); }
    void supportSafari() { openSupportPage(); }
    void careS() { careAction(); }

    // Called once at start-up; there is nothing to check.
    void checkUpdateS() {}

  protected:
    void checkUpdate() override { checkUpdateS(); }
};

}  // namespace qz
