// What a care would take now, told the same way wherever it is shown: the terminal's dry run and
// the window's confirmation read one plan and write its lines with the same words.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "core/care/CareRun.h"

namespace qz {

class FileManager;
class Localization;

struct CarePreview {
    QList<PlannedRemoval> plan;    // every path, also those not there
    QList<CareFailure> leftAlone;  // what the care would report as not removed
    QStringList profiles;          // the profiles the care goes through, by name

    // The bytes of the paths that are there.
    quint64 total() const;
    // Each selected item with something there, in care order, with its bytes.
    QList<QPair<QString, quint64>> itemSizes() const;
};

// The plan of a care of `browser` with the boxes' states now (limited to one profile when given).
CarePreview previewCare(BrowserId browser, const SelectionProvider& selection,
                        const FileManager& files, const QString& profile = {});

// "would remove PATH  (SIZE)", or "would delete N cookies from PATH" for the cookie store;
// `shownPath` is the path as the reader should see it.
QString plannedRemovalLine(const PlannedRemoval& entry, const QString& shownPath,
                           const Localization& texts);
// "would leave alone PATH: REASON"
QString leftAloneLine(const QString& shownPath, const QString& reason);

}  // namespace qz
