// The Opera module: its panel's controls and the differences from the other browsers' modules.
#pragma once

#include "gui/panels/CareModule.h"

namespace qz {

class Opera : public CareModule {
    Q_OBJECT
  public:
    static const ModuleTraits& moduleTraits();

    Opera(QWidget* panel, FileManager& files);

  public slots:
    void changesizeO() { measure(); }
    void segmentedPresetOpera() { applySelectedPreset(); }
    void supportOpera() { openSupportPage(); }
    void careO() { careAction(); }
};

}  // namespace qz
