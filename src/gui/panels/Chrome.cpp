#include "gui/panels/Chrome.h"

namespace qz {

const ModuleTraits& Chrome::moduleTraits() {
    static const ModuleTraits traits{BrowserId::Chrome,
                                     QStringLiteral("presetC"),
                                     QStringLiteral("careC"),
                                     QStringLiteral("indicatorC"),
                                     QStringLiteral("logoChrome"),
                                     /*firstMeasurementAtOnce=*/true,
                                     /*interval=*/2.0,
                                     /*needsGrant=*/false,
                                     /*redShadow=*/false};
    return traits;
}

Chrome::Chrome(QWidget* panel, FileManager& files) : CareModule(moduleTraits(), panel, files) {
    awakeFromNib();
}

}  // namespace qz
