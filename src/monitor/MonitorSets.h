// The files and folders the status item adds up per browser, and the four totals they give.
// The logos measure their own sets (LogoLevels.h); Opera's two sets differ on purpose.
#pragma once

#include <QList>
#include <QtGlobal>
#include <array>

#include "care/Browser.h"
#include "care/Catalogue.h"

namespace qz {

class FileManager;

// One byte count per browser, indexed in the fixed browser order.
struct BrowserTotals {
    std::array<quint64, 4> bytes{};

    quint64& operator[](BrowserId browser) { return bytes[static_cast<size_t>(browser)]; }
    quint64 operator[](BrowserId browser) const { return bytes[static_cast<size_t>(browser)]; }
    bool operator==(const BrowserTotals&) const = default;
};

// The user's own Library folder as the platform reports it. The program is not sandboxed, so
// this is the user's "/Users/<name>/Library", not a container.
inline const QString kUserLibraryFolder = QStringLiteral("/Users/%@/Library");

// The status item's rows for a browser (file and folder rows, path templates).
const QList<CarePath>& statusItemSet(BrowserId browser);
// The sum of the rows' sizes by the file and folder rules; anything missing counts 0.
quint64 measureSet(const QList<CarePath>& rows, const FileManager& files);
// The four status-item totals, measured afresh; installed or not, every browser is measured.
BrowserTotals measureTotals(const FileManager& files);

}  // namespace qz
