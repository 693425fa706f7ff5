// The Firefox module: its panel's controls and the differences from the other browsers' modules.
#pragma once

#include "gui/panels/CareModule.h"

namespace qz {

class Firefox : public CareModule {
    Q_OBJECT
  public:
    static const ModuleTraits& moduleTraits();

    Firefox(QWidget* panel, FileManager& files);

  public slots:
    void changesizeF() { measure(); }
    void segmentedPresetFirefox() { applySelectedPreset(); }
    void supportFirefox() { openSupportPage(); }
    void careF() { careAction(); }
};

}  // namespace qz
