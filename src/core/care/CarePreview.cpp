#include "core/care/CarePreview.h"

#include "core/browsers/BrowserProfiles.h"
#include "core/care/DatabaseCare.h"
#include "core/care/SizeText.h"
#include "core/fs/ByteSum.h"
#include "core/fs/FileManager.h"

namespace qz {

quint64 CarePreview::total() const {
    quint64 sum = 0;
    for (const PlannedRemoval& entry : plan) {
        // An edited database stays: its size is not part of what goes.
        if (entry.exists && entry.path.kind != PathKind::Database && !entry.cookieRows) {
            sum = saturatingAdd(sum, entry.bytes);
        }
    }
    return sum;
}

QList<QPair<QString, quint64>> CarePreview::itemSizes() const {
    QList<QPair<QString, quint64>> sizes;
    for (const PlannedRemoval& entry : plan) {
        if (!entry.exists) {
            continue;
        }
        if (sizes.isEmpty() || sizes.last().first != entry.item) {
            sizes.append({entry.item, 0});
        }
        sizes.last().second = saturatingAdd(sizes.last().second, entry.bytes);
    }
    return sizes;
}

CarePreview previewCare(BrowserId browser, const SelectionProvider& selection,
                        const FileManager& files, const QString& profile) {
    CarePreview preview;
    preview.plan = planCare(browser, selection, files, profile);
    preview.leftAlone = profilesLeftAlone(browser, files, profile);
    for (const BrowserProfile& each : browserProfiles(browser, files)) {
        if (each.usable() && (profile.isEmpty() || each.name == profile)) {
            preview.profiles.append(each.name);
        }
    }
    return preview;
}

QString plannedRemovalLine(const PlannedRemoval& entry, const QString& shownPath,
                           const Localization& texts) {
    if (entry.path.kind == PathKind::CookieStore || entry.cookieRows) {
        QString line =
            QStringLiteral("would delete %1 cookies from %2").arg(entry.cookies).arg(shownPath);
        if (entry.kept > 0) {
            line += QStringLiteral(" (%1 kept)").arg(entry.kept);
        }
        return line;
    }
    if (entry.path.kind == PathKind::Database) {
        const QString rows = rowCountText(entry.rows);
        return QStringLiteral("would edit %1: %2  (a database of %3)")
            .arg(shownPath, rows.isEmpty() ? QStringLiteral("no history") : rows,
                 convertSizeToString(entry.bytes, texts));
    }
    return QStringLiteral("would remove %1  (%2)")
        .arg(shownPath, convertSizeToString(entry.bytes, texts));
}

QString leftAloneLine(const QString& shownPath, const QString& reason) {
    return QStringLiteral("would leave alone %1: %2").arg(shownPath, reason);
}

}  // namespace qz
