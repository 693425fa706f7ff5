// The three presets of a care module's segmented control: basic, complete and custom.
#pragma once

#include <QString>
#include <optional>

#include "core/browsers/Browser.h"
#include "core/browsers/CareItem.h"

namespace qz {

struct Preset {
    int segment;        // 0 basic, 1 complete, 2 custom
    QString image;      // the picture on the preset button
    bool boxesEnabled;  // whether the user may tick the check boxes
};

// The preset of a segment index; nothing for any other index (e.g. no segment selected).
std::optional<Preset> presetForSegment(int segment);
// The state (1 or 0) a preset gives an item's check box, in the layout's catalogue.
int presetState(const BrowserCatalogue& items, int segment, const QString& item);

}  // namespace qz
