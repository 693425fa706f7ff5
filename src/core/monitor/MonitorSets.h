// The files and folders the status item adds up per browser, and the totals they give.
// The logos measure their own sets (LogoLevels.h), which a browser's row may set apart.
#pragma once

#include <QList>
#include <QtGlobal>
#include <array>

#include "core/browsers/Browser.h"
#include "core/browsers/Catalogue.h"

namespace qz {

class FileManager;
class FolderSizes;

// One byte count per browser, indexed in the fixed browser order.
struct BrowserTotals {
    std::array<quint64, kBrowserCount> bytes{};

    quint64& operator[](BrowserId browser) { return bytes[static_cast<size_t>(browser)]; }
    quint64 operator[](BrowserId browser) const { return bytes[static_cast<size_t>(browser)]; }
    bool operator==(const BrowserTotals&) const = default;
};

// The status item's rows for a browser (file and folder rows, path templates).
const QList<CarePath>& statusItemSet(BrowserId browser, Layout layout = Layout::MacOS);
// The Linux layout's rows in every profile (history and cache), for the status item or the
// logo.
const QList<CarePath>& linuxMonitorSet(BrowserId browser, bool logo);
// The sum of the rows' sizes by the file and folder rules; anything missing counts 0. Folder
// totals come from `sizes` when given, else from a fresh walk of each folder.
quint64 measureSet(const QList<CarePath>& rows, const FileManager& files,
                   FolderSizes* sizes = nullptr);
// The layout's status-item totals; installed or not, every browser of the layout is measured.
BrowserTotals measureTotals(const FileManager& files, FolderSizes* sizes = nullptr);

}  // namespace qz
