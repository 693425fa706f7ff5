#include "core/browsers/Presets.h"

#include "core/browsers/Catalogue.h"

namespace qz {

std::optional<Preset> presetForSegment(int segment) {
    switch (segment) {
        case 0:
            return Preset{0, QStringLiteral("Bpreset"), false};
        case 1:
            return Preset{1, QStringLiteral("preset"), false};
        case 2:
            return Preset{2, QStringLiteral("cuPreset"), true};
        default:
            return std::nullopt;
    }
}

int presetState(const BrowserCatalogue& items, int segment, const QString& item) {
    switch (segment) {
        case 0:
            return items.basicSet.contains(item) ? 1 : 0;
        case 1:
            return 1;
        default:
            return 0;
    }
}

}  // namespace qz
