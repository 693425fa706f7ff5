#include "gui/panels/Opera.h"

namespace qz {

const ModuleTraits& Opera::moduleTraits() {
    static const ModuleTraits traits{BrowserId::Opera,
                                     QStringLiteral("presetO"),
                                     QStringLiteral("careO"),
                                     QStringLiteral("indicatorO"),
                                     QStringLiteral("logoOpera"),
                                     /*firstMeasurementAtOnce=*/true,
                                     /*interval=*/2.0,
                                     /*needsGrant=*/false,
                                     /*redShadow=*/false};
    return traits;
}

Opera::Opera(QWidget* panel, FileManager& files) : CareModule(moduleTraits(), panel, files) {
    awakeFromNib();
}

}  // namespace qz
