#include "gui/panels/Safari.h"

namespace qz {

const ModuleTraits& Safari::moduleTraits() {
    static const ModuleTraits traits{BrowserId::Safari,
                                     QStringLiteral("presetS"),
                                     QStringLiteral("careS"),
                                     QStringLiteral("indicatorS"),
                                     QStringLiteral("logoSafari"),
                                     /*firstMeasurementAtOnce=*/true,
                                     /*interval=*/2.0,
                                     /*needsGrant=*/false,
                                     /*redShadow=*/true};
    return traits;
}

Safari::Safari(QWidget* panel, FileManager& files) : CareModule(moduleTraits(), panel, files) {
    awakeFromNib();
}

}  // namespace qz
