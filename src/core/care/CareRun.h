// One care of one browser, without any widget: the opening pause, the history record, the
// walk over the items in care order reading each box when the walk reaches it, the removals,
// and a report of what went, what was already gone and what stayed.
#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <memory>

#include "core/browsers/Browser.h"
#include "core/browsers/Catalogue.h"
#include "core/care/CookieKeepList.h"
#include "core/care/UserNotification.h"
#include "core/formats/DatabaseEdit.h"

namespace qz {

class CookieStorage;
class FileManager;
class Localization;
struct RemovalCounter;

struct CareFailure {
    QString path;  // platform path
    QString reason;
};

// A database whose rows a care removed.
struct EditedDatabase {
    QString path;  // platform path
    QList<RowCount> removed;
    quint64 bytesFreed = 0;
};

struct CareReport {
    BrowserId browser = BrowserId::Safari;
    bool recorded = false;
    QStringList removed;  // platform paths, in removal order
    QList<CareFailure> failed;
    QStringList missing;       // paths that were not there: not a failure
    int cookiesDeleted = 0;    // cookies taken out of the shared store and cookie databases
    quint64 filesRemoved = 0;  // every entry but a folder counts as a file
    quint64 bytesFreed = 0;    // the removed files' sizes
    QStringList itemsRemoved;  // the items of which something went, in care order
    QList<EditedDatabase> edited;

    bool complete() const { return failed.isEmpty(); }
};

// A check box's state: 1 on, 0 off, -1 mixed. Asked when the walk reaches the item.
using SelectionProvider = std::function<int(const QString& item)>;
// Records the care in the history; answers whether the record was kept.
using HistoryRecorder = std::function<bool(BrowserId browser)>;

// What a controller hears of a run; every function is called on the run's own thread.
struct CareCallbacks {
    std::function<void()> started;  // after the opening pause: start the indicator
    std::function<void(const QString& item)> itemStarted;
    std::function<void(int count)> cookiesDeleted;
    std::function<void(const QString& path)> removed;
    std::function<void(const EditedDatabase& database)> edited;
    // The files and bytes removed so far, after each path (a folder's files are counted as they
    // go, in the run's counter; see CareRun::setCounter).
    std::function<void(quint64 files, quint64 bytes)> progress;
    std::function<void(const CareFailure& failure)> failed;
    std::function<void(const CareReport& report)> finished;
};

// The check boxes' states mirrored in atomics: the main thread sets them as the user clicks,
// a running care reads them.
class CareSelection {
  public:
    // The boxes of the browser's catalogue in the files' layout.
    CareSelection(BrowserId browser, const FileManager& files);
    void setState(const QString& item, int state);
    int state(const QString& item) const;  // 0 for a name the browser does not have
    QList<int> states() const;             // in the catalogue's item order

  private:
    const BrowserCatalogue& items_;
    QHash<QString, int> index_;
    std::unique_ptr<std::atomic<int>[]> states_;
};

enum class CarePrecheck { BrowserOpen, NothingSelected, Ready };

// Whether the browser is running: the bundle identifier's processes, and in the Linux layout
// also a lock of the browser's own held by a live process on this host.
bool browserIsOpen(BrowserId browser, const FileManager& files);
// Whether no box has a state other than 0 (a mixed box counts as selected).
bool nothingSelected(const QList<int>& states);
// The tests before a care, the open browser first; writes the log line of a refusal.
CarePrecheck precheckCare(BrowserId browser, const QList<int>& states, const FileManager& files);

// A path a care would remove now, with its size (for a dry run).
struct PlannedRemoval {
    QString item;
    CarePath path;
    QString platformPath;  // the cookie store's file for the cookie store
    quint64 bytes = 0;
    bool exists = false;
    int cookies = 0;          // for the cookie store, or a cookie database edited row by row: the
                              // cookies that would go
    QList<RowCount> rows;     // for a database: what its edit would remove
    QString refused;          // for a database: why its edit would be refused
    int kept = 0;             // the cookies the keep-list leaves
    bool cookieRows = false;  // a cookie database edited row by row instead of removed
};
// `profile` limits the plan to one profile of the Linux layout; `keep` names the sites whose
// cookies stay.
QList<PlannedRemoval> planCare(BrowserId browser, const SelectionProvider& selection,
                               const FileManager& files, const QString& profile = {},
                               const CookieKeepList& keep = {});
// What a care leaves alone and reports as not removed: refused profiles and caches, and profile
// lists that could not be read whole (limited to `onlyProfile` when given).
QList<CareFailure> profilesLeftAlone(BrowserId browser, const FileManager& files,
                                     const QString& onlyProfile = {});

// The completion notification: the "done" text, or its own text when something stayed.
UserNotification completionNotification(const CareReport& report, const Localization& texts);

class CareRun {
  public:
    CareRun(BrowserId browser, const FileManager& files);

    void setSelection(SelectionProvider selection) { selection_ = std::move(selection); }
    void setRecorder(HistoryRecorder recorder) { recorder_ = std::move(recorder); }
    void setCallbacks(CareCallbacks callbacks) { callbacks_ = std::move(callbacks); }
    // The cookie store to empty (Safari); by default the user's own store under the root.
    void setCookieStorage(CookieStorage* storage) { cookies_ = storage; }
    // Cleans only the named profile (Linux layout); every profile by default.
    void setProfile(const QString& profile) { profile_ = profile; }
    // The counter the removals add to, file by file: another thread may read it while the care
    // runs. The run keeps its own when none is given.
    void setCounter(std::shared_ptr<RemovalCounter> counter);
    // The sites whose cookies stay; none by default.
    void setCookieKeepList(CookieKeepList keep) { keep_ = std::move(keep); }

    // Runs the whole care on the calling thread (never the main thread: it pauses).
    CareReport run();

  private:
    void emptyCookieStore(CareReport& report);
    void deleteCookieRows(const QString& platformPath, CareReport& report);
    void removePath(const QString& platformPath, CareReport& report);
    void refuse(const CareFailure& failure, CareReport& report);
    void reportRefusedProfiles(CareReport& report);

    BrowserId browser_;
    const FileManager& files_;
    SelectionProvider selection_;
    HistoryRecorder recorder_;
    CareCallbacks callbacks_;
    CookieStorage* cookies_ = nullptr;
    QString profile_;
    std::shared_ptr<RemovalCounter> counter_;
    CookieKeepList keep_;
};

}  // namespace qz
