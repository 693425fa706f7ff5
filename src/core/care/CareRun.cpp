#include "core/care/CareRun.h"

#include "core/browsers/BrowserProfiles.h"
#include "core/browsers/RunningApplications.h"
#include "core/care/CookieRows.h"
#include "core/care/DatabaseCare.h"
#include "core/care/SizeRules.h"
#include "core/care/SizeText.h"
#include "core/formats/CookieStorage.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/fs/FileRemoval.h"
#include "core/settings/Log.h"
#include "core/settings/TimeScale.h"

namespace qz {

namespace {
constexpr double kOpeningPause = 1.0;

template <typename Function, typename... Arguments>
void notify(const Function& function, Arguments&&... arguments) {
    if (function) {
        function(std::forward<Arguments>(arguments)...);
    }
}
}  // namespace

CareSelection::CareSelection(BrowserId browser, const FileManager& files)
    : items_(catalogue(browser, files)) {
    const QList<CareItem>& items = items_.items;
    states_.reset(new std::atomic<int>[static_cast<size_t>(items.size())]);
    for (qsizetype i = 0; i < items.size(); ++i) {
        index_.insert(items[i].name, static_cast<int>(i));
        states_[static_cast<size_t>(i)].store(0);
    }
}

void CareSelection::setState(const QString& item, int state) {
    if (const auto found = index_.constFind(item); found != index_.cend()) {
        states_[static_cast<size_t>(*found)].store(state);
    }
}

int CareSelection::state(const QString& item) const {
    const auto found = index_.constFind(item);
    return found == index_.cend() ? 0 : states_[static_cast<size_t>(*found)].load();
}

QList<int> CareSelection::states() const {
    QList<int> result;
    for (const CareItem& item : items_.items) {
        result.append(state(item.name));
    }
    return result;
}

bool browserIsOpen(BrowserId browser, const FileManager& files) {
    if (RunningApplications::isRunning(browserInfo(browser).bundleIdentifier)) {
        return true;
    }
    for (const QString& lock : browserLocks(browser, files)) {
        if (RunningApplications::lockIsHeld(files.readLink(lock))) {
            return true;
        }
    }
    return false;
}

bool nothingSelected(const QList<int>& states) {
    for (int state : states) {
        if (state != 0) {
            return false;
        }
    }
    return true;
}

CarePrecheck precheckCare(BrowserId browser, const QList<int>& states, const FileManager& files) {
    const BrowserInfo& info = browserInfo(browser);
    if (browserIsOpen(browser, files)) {
        Log::write(info.openLogLine);
        return CarePrecheck::BrowserOpen;
    }
    if (nothingSelected(states)) {
        Log::write(info.nothingSelectedLogLine);
        return CarePrecheck::NothingSelected;
    }
    return CarePrecheck::Ready;
}

namespace {
PlannedRemoval plannedCookieRows(const QString& item, const CarePath& path,
                                 const QString& platformPath, const SqliteTable& table,
                                 const CookieKeepList& keep, const FileManager& files) {
    PlannedRemoval entry{item, path, platformPath, 0, false, 0, {}, {}};
    entry.cookieRows = true;
    const DatabaseSurvey survey = surveyDatabase(platformPath, cookieRowsEdit(table, keep), files);
    // The file stays: what the edit frees is known only once it has compacted the copy.
    entry.exists = survey.outcome != DatabaseSurvey::Outcome::Missing;
    if (survey.outcome == DatabaseSurvey::Outcome::Read) {
        const CookieRowCounts counts = cookieRowCounts(survey.counts);
        entry.cookies = static_cast<int>(counts.going);
        entry.kept = static_cast<int>(counts.kept);
    } else {
        entry.refused = survey.reason;
    }
    return entry;
}
}  // namespace

QList<PlannedRemoval> planCare(BrowserId browser, const SelectionProvider& selection,
                               const FileManager& files, const QString& profile,
                               const CookieKeepList& keep) {
    QList<PlannedRemoval> plan;
    ProfileLookup profiles(files, profile);
    const BrowserCatalogue& items = catalogue(browser, files);
    for (const QString& name : items.careOrder) {
        const CareItem* item = items.item(name);
        if (!item || selection(name) != 1) {
            continue;
        }
        for (const CarePath& path : item->removed) {
            if (path.kind == PathKind::CookieStore) {
                PlannedRemoval entry{name, path, {}, 0, false, 0, {}, {}};
                CookieStorage store(files);
                entry.platformPath = store.storePath();
                for (const HTTPCookie& cookie : store.cookies()) {
                    ++(keep.keepsHost(cookie.domain) ? entry.kept : entry.cookies);
                }
                entry.exists = entry.cookies > 0;
                plan.append(entry);
                continue;
            }
            const std::optional<SqliteTable> table = cookieTable(browser);
            const bool rows = path.kind == PathKind::CookieDatabase && !keep.isEmpty() && table;
            // Nothing for Firefox without a default profile, or a browser without profiles.
            for (const CareTarget& target : careTargets(path, files, profiles)) {
                if (rows) {
                    // The edit folds the companions in: only the database is listed.
                    if (target.kind == PathKind::CookieDatabase) {
                        plan.append(plannedCookieRows(name, path, target.platformPath, *table, keep,
                                                      files));
                    }
                    continue;
                }
                PlannedRemoval entry{name, path, target.platformPath, 0, false, 0, {}, {}};
                while (entry.platformPath.size() > 1 && entry.platformPath.endsWith(u'/')) {
                    entry.platformPath.chop(1);
                }
                entry.exists = files.fileExistsAtPath(entry.platformPath);
                entry.bytes = files.isDirectory(entry.platformPath)
                                  ? files.walkFolderSize(entry.platformPath)
                                  : files.fileSize(entry.platformPath);
                if (path.kind == PathKind::Database) {
                    planDatabase(entry, files);
                }
                plan.append(entry);
            }
        }
    }
    return plan;
}

UserNotification completionNotification(const CareReport& report, const Localization& texts) {
    const BrowserInfo& info = browserInfo(report.browser);
    // Below what happened, the space it freed: also when something stayed.
    const QString freed = texts.format(QStringLiteral("CareFreed"),
                                       {convertSizeToString(report.bytesFreed, texts),
                                        convertCountToString(report.filesRemoved, texts)});
    if (report.complete()) {
        return {texts.text(QStringLiteral("QZ")), texts.text(info.completedKey) + u'\n' + freed,
                true};
    }
    return {texts.text(QStringLiteral("CareIncompleteTitle")),
            texts.text(info.incompleteKey) + u'\n' + freed, true};
}

CareRun::CareRun(BrowserId browser, const FileManager& files)
    : browser_(browser), files_(files), counter_(std::make_shared<RemovalCounter>()) {}

void CareRun::setCounter(std::shared_ptr<RemovalCounter> counter) {
    counter_ = counter ? std::move(counter) : std::make_shared<RemovalCounter>();
}

CareReport CareRun::run() {
    CareReport report;
    report.browser = browser_;
    // The counter may have counted before: the report gives this run's share.
    const quint64 filesBefore = counter_->files.load();
    const quint64 bytesBefore = counter_->bytes.load();
    TimeScale::sleep(kOpeningPause);
    notify(callbacks_.started);
    report.recorded = recorder_ ? recorder_(browser_) : false;

    const BrowserCatalogue& items = catalogue(browser_, files_);
    ProfileLookup profiles(files_, profile_);
    bool profilesReported = false;
    for (const QString& name : items.careOrder) {
        const CareItem* item = items.item(name);
        // The box is read now, so a change made during the run counts for the items ahead.
        if (!item || !selection_ || selection_(name) != 1) {
            continue;
        }
        notify(callbacks_.itemStarted, name);
        if (!profilesReported) {
            profilesReported = true;
            reportRefusedProfiles(report);
        }
        if (item->pauseBeforeRemoval > 0) {
            TimeScale::sleep(item->pauseBeforeRemoval);
        }
        const qsizetype removedBefore = report.removed.size();
        const int cookiesBefore = report.cookiesDeleted;
        const qsizetype editedBefore = report.edited.size();
        const quint64 itemFilesBefore = counter_->files.load();
        for (const CarePath& path : item->removed) {
            if (path.kind == PathKind::CookieStore) {
                emptyCookieStore(report);
                continue;
            }
            // With a keep-list, a cookie database loses only the other sites' cookies.
            const bool rows =
                path.kind == PathKind::CookieDatabase && !keep_.isEmpty() && cookieTable(browser_);
            // Firefox's default profile (macOS) is looked up afresh for every path.
            for (const CareTarget& target : careTargets(path, files_, profiles)) {
                if (!target.container.isEmpty() &&
                    (!liesInside(target.platformPath, target.container) ||
                     !files_.linkOnPath(target.container).isEmpty())) {
                    refuse({target.platformPath,
                            QStringLiteral("refused: not inside the profile folder %1")
                                .arg(target.container)},
                           report);
                    continue;
                }
                if (rows) {
                    // Its companions are folded in by the edit, never removed beside it.
                    if (target.kind == PathKind::CookieDatabase) {
                        deleteCookieRows(target.platformPath, report);
                    }
                    continue;
                }
                if (target.kind == PathKind::Database) {
                    careForDatabase(browser_, path, target.platformPath, files_, report,
                                    callbacks_);
                    continue;
                }
                removePath(target.platformPath, report);
            }
        }
        // Something went: a path, cookies, or files of a folder that partly stayed.
        if (report.removed.size() > removedBefore || report.cookiesDeleted > cookiesBefore ||
            report.edited.size() > editedBefore || counter_->files.load() > itemFilesBefore) {
            report.itemsRemoved.append(name);
        }
    }
    report.filesRemoved = counter_->files.load() - filesBefore;
    report.bytesFreed = counter_->bytes.load() - bytesBefore;
    // What the edited databases gave back after their compaction counts as freed too.
    for (const EditedDatabase& database : report.edited) {
        report.bytesFreed += database.bytesFreed;
    }
    notify(callbacks_.finished, report);
    return report;
}

void CareRun::emptyCookieStore(CareReport& report) {
    CookieStorage ownStore(files_);
    CookieStorage& store = cookies_ ? *cookies_ : ownStore;
    int deleted = 0;
    for (const HTTPCookie& cookie : store.cookies()) {
        if (!keep_.keepsHost(cookie.domain)) {
            store.deleteCookie(cookie);
            ++deleted;
        }
    }
    QString error;
    if (!store.synchronize(&error)) {
        const CareFailure failure{store.storePath(), error};
        Log::write(QStringLiteral("Could not empty %1: %2")
                       .arg(files_.localPath(failure.path), failure.reason));
        report.failed.append(failure);
        notify(callbacks_.failed, failure);
        return;
    }
    report.cookiesDeleted += deleted;
    notify(callbacks_.cookiesDeleted, deleted);
}

void CareRun::deleteCookieRows(const QString& platformPath, CareReport& report) {
    DatabaseEditResult result;
    // Checked again here, as every database edit is: no edit while the browser runs.
    if (browserIsOpen(browser_, files_)) {
        result.outcome = DatabaseEditResult::Outcome::Refused;
        result.reason =
            QStringLiteral("refused: %1 is running").arg(browserInfo(browser_).displayName);
    } else {
        result = editDatabase(platformPath, cookieRowsEdit(*cookieTable(browser_), keep_), files_);
    }
    switch (result.outcome) {
        case DatabaseEditResult::Outcome::Missing:
            report.missing.append(platformPath);
            break;
        case DatabaseEditResult::Outcome::Edited: {
            const EditedDatabase edited{platformPath, result.removed, result.bytesFreed()};
            const int deleted = static_cast<int>(result.rowsRemoved());
            report.edited.append(edited);
            report.cookiesDeleted += deleted;
            notify(callbacks_.edited, edited);
            notify(callbacks_.cookiesDeleted, deleted);
            break;
        }
        default:
            refuse({platformPath, result.reason}, report);
            break;
    }
}

void CareRun::refuse(const CareFailure& failure, CareReport& report) {
    // The log names the file on this disk, not the layout's path.
    Log::write(QStringLiteral("Could not remove %1: %2")
                   .arg(files_.localPath(failure.path), failure.reason));
    report.failed.append(failure);
    notify(callbacks_.failed, failure);
}

QList<CareFailure> profilesLeftAlone(BrowserId browser, const FileManager& files,
                                     const QString& onlyProfile) {
    QList<CareFailure> leftAlone;
    const BrowserProfileList lists = readBrowserProfiles(browser, files);
    for (const ProfileListProblem& problem : lists.problems) {
        if (problem.unreadable || onlyProfile.isEmpty()) {
            leftAlone.append(
                {problem.list, (problem.unreadable ? QStringLiteral("profile list unreadable: ")
                                                   : QStringLiteral("profile list: ")) +
                                   problem.reason});
        }
    }
    for (const BrowserProfile& profile : lists.profiles) {
        if (!onlyProfile.isEmpty() && profile.name != onlyProfile) {
            continue;
        }
        if (!profile.refused.isEmpty()) {
            leftAlone.append(
                {profile.folder, QStringLiteral("profile refused: ") + profile.refused});
        } else if (!profile.cacheRefused.isEmpty()) {
            leftAlone.append(
                {profile.folder, QStringLiteral("cache refused: ") + profile.cacheRefused});
        }
    }
    return leftAlone;
}

// A profile the browser lists but that is left alone, or a list that could not be read whole,
// is a failure the user should hear of: what it names may still be there.
void CareRun::reportRefusedProfiles(CareReport& report) {
    for (const CareFailure& failure : profilesLeftAlone(browser_, files_, profile_)) {
        refuse(failure, report);
    }
}

void CareRun::removePath(const QString& itemPath, CareReport& report) {
    const RemovalResult result = files_.removeItem(itemPath, counter_.get());
    QString platformPath = itemPath;  // reported without a trailing slash
    while (platformPath.size() > 1 && platformPath.endsWith(u'/')) {
        platformPath.chop(1);
    }
    switch (result.outcome) {
        case RemovalResult::Outcome::Missing:
            report.missing.append(platformPath);
            break;
        case RemovalResult::Outcome::Removed:
            report.removed.append(platformPath);
            notify(callbacks_.removed, platformPath);
            break;
        case RemovalResult::Outcome::Failed:
            for (const RemovalFailure& stayed : result.failures) {
                refuse({stayed.path, stayed.reason}, report);
            }
            break;
    }
    notify(callbacks_.progress, counter_->files.load(), counter_->bytes.load());
}

}  // namespace qz
