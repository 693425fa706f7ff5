// The Chrome module: its panel's controls and the differences from the other browsers' modules.
#pragma once

#include "gui/panels/CareModule.h"

namespace qz {

class Chrome : public CareModule {
    Q_OBJECT
  public:
    static const ModuleTraits& moduleTraits();

    Chrome(QWidget* panel, FileManager& files);

  public slots:
    void changesizeC() { measure(); }
    void segmentedPresetChrome() { applySelectedPreset(); }
    void supportChrome() { openSupportPage(); }
    void careC() { careAction(); }
};

}  // namespace qz
