// The care items of each browser in each layout, as the browser table gives them.
#pragma once

#include <QString>

#include "core/browsers/Browser.h"

namespace qz {

// The browser's catalogue in a layout; nullptr when the layout has no such browser.
const BrowserCatalogue* catalogue(BrowserId browser, Layout layout);
// The catalogue of the layout in which the browser's paths are resolved now.
const BrowserCatalogue& catalogue(BrowserId browser, const FileManager& files);
// The browser's macOS catalogue, else its Linux one. The Linux catalogue keeps the macOS
// names, orders and basic set and may add items of its own among them; what shows or runs the
// items of the layout in use asks for its catalogue with the file manager.
const BrowserCatalogue& catalogue(BrowserId browser);

inline const QString kFirefoxProfilesFolder =
    QStringLiteral("/Users/%@/Library/Application Support/Firefox/Profiles");

}  // namespace qz
