#include "core/browsers/Catalogue.h"

namespace qz {

const CareItem* BrowserCatalogue::item(const QString& name) const {
    for (const CareItem& candidate : items) {
        if (candidate.name == name) {
            return &candidate;
        }
    }
    return nullptr;
}

const BrowserCatalogue* catalogue(BrowserId browser, Layout layout) {
    if (!layoutBrowsers(layout).contains(browser)) {
        return nullptr;
    }
    const BrowserInfo& row = browserInfo(browser);
    return layout == Layout::Linux ? &row.linuxItems : &row.macItems;
}

const BrowserCatalogue& catalogue(BrowserId browser, const FileManager& files) {
    const BrowserCatalogue* own = catalogue(browser, files.layout());
    return own ? *own : catalogue(browser);
}

const BrowserCatalogue& catalogue(BrowserId browser) {
    const BrowserCatalogue* macos = catalogue(browser, Layout::MacOS);
    return macos ? *macos : *catalogue(browser, Layout::Linux);
}

}  // namespace qz
