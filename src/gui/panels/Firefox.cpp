#include "gui/panels/Firefox.h"

namespace qz {

const ModuleTraits& Firefox::moduleTraits() {
    static const ModuleTraits traits{BrowserId::Firefox,
                                     QStringLiteral("preset"),
                                     QStringLiteral("careF"),
                                     QStringLiteral("indicatorF"),
                                     QStringLiteral("logoFirefox"),
                                     /*firstMeasurementAtOnce=*/false,
                                     /*interval=*/3.5,
                                     /*needsGrant=*/true,
                                     /*redShadow=*/false};
    return traits;
}

Firefox::Firefox(QWidget* panel, FileManager& files) : CareModule(moduleTraits(), panel, files) {
    awakeFromNib();
}

}  // namespace qz
