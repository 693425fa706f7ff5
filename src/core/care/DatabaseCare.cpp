#include "core/care/DatabaseCare.h"

#include <QLocale>

#include "core/care/CareRun.h"
#include "core/formats/FirefoxHistory.h"
#include "core/fs/FileManager.h"
#include "core/settings/Log.h"

namespace qz {

DatabaseEdit databaseEdit(DatabaseChange change) {
    switch (change) {
        case DatabaseChange::FirefoxHistory:
            return firefoxHistoryEdit();
        case DatabaseChange::None:
            break;
    }
    return {};
}

QString rowCountText(const QList<RowCount>& counts) {
    const QLocale english(QLocale::English);
    QStringList parts;
    for (const RowCount& count : counts) {
        if (count.rows != 0) {
            parts.append(english.toString(count.rows) + u' ' + count.what);
        }
    }
    return parts.join(QStringLiteral(", "));
}

void planDatabase(PlannedRemoval& entry, const FileManager& files) {
    const DatabaseSurvey survey =
        surveyDatabase(entry.platformPath, databaseEdit(entry.path.change), files);
    entry.exists = survey.outcome != DatabaseSurvey::Outcome::Missing;
    entry.rows = survey.counts;
    entry.refused = survey.reason;
    if (survey.outcome == DatabaseSurvey::Outcome::Read) {
        for (const char* companion : {"-journal", "-wal", "-shm"}) {
            entry.bytes += files.fileSize(entry.platformPath + QLatin1String(companion));
        }
    }
}

void careForDatabase(BrowserId browser, const CarePath& path, const QString& platformPath,
                     const FileManager& files, CareReport& report, const CareCallbacks& callbacks) {
    DatabaseEditResult result;
    if (path.change == DatabaseChange::None) {
        result.outcome = DatabaseEditResult::Outcome::Refused;
        result.reason = QStringLiteral("refused: no change for this database");
    } else if (browserIsOpen(browser, files)) {
        result.outcome = DatabaseEditResult::Outcome::Refused;
        result.reason =
            QStringLiteral("refused: %1 is running").arg(browserInfo(browser).displayName);
    } else {
        result = editDatabase(platformPath, databaseEdit(path.change), files);
    }
    switch (result.outcome) {
        case DatabaseEditResult::Outcome::Missing:
            report.missing.append(platformPath);
            return;
        case DatabaseEditResult::Outcome::Edited: {
            const EditedDatabase edited{platformPath, result.removed, result.bytesFreed()};
            report.edited.append(edited);
            if (callbacks.edited) {
                callbacks.edited(edited);
            }
            return;
        }
        default:
            break;
    }
    const CareFailure failure{platformPath, result.reason};
    Log::write(
        QStringLiteral("Could not edit %1: %2").arg(files.localPath(platformPath), failure.reason));
    report.failed.append(failure);
    if (callbacks.failed) {
        callbacks.failed(failure);
    }
}

}  // namespace qz
