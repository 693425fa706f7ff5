// The care history's entries: appended from any thread, sorted by the table's descriptors,
// read from and written to "History.plist" (an XML property list: an array of dictionaries).
#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <mutex>
#include <optional>

namespace qz {

struct HistoryEntry {
    QString browserName;  // "ItemNameBrowser": the browser's display name, e.g. "Google Chrome"
    QString dateCare;     // "ItemdateCare": the date and time as formatted when recorded
    qint64 timeCare = 0;  // "ItemTimeCare": seconds since 1970 UTC; 0 in entries from older files
    QStringList items{};  // "ItemsCare": the items of which something went, by catalogue name
    std::optional<quint64> bytesFreed{};  // "ItemBytesFreed": none in older entries
    bool automatic = false;  // "ItemAutomatic": run as the browser closed; stored only when true
    bool operator==(const HistoryEntry&) const = default;
};

struct HistorySortDescriptor {
    QString key;  // "ItemNameBrowser" or "ItemdateCare"
    bool ascending = true;
};

class HistoryList {
  public:
    static inline const QString kNameKey = QStringLiteral("ItemNameBrowser");
    static inline const QString kDateKey = QStringLiteral("ItemdateCare");
    static inline const QString kTimeKey = QStringLiteral("ItemTimeCare");
    static inline const QString kItemsKey = QStringLiteral("ItemsCare");
    static inline const QString kBytesKey = QStringLiteral("ItemBytesFreed");
    static inline const QString kAutomaticKey = QStringLiteral("ItemAutomatic");

    // <Application Support>/DIZEROV and the history file inside it.
    static QString folderPath();
    static QString defaultFilePath();
    // The locale's short date and short time.
    static QString formatCareDate(const QDateTime& when, const QLocale& locale = QLocale::system());

    // Reads a history file without changing anything: an empty list when there is no file,
    // nothing when the file is there but is not a list of entries.
    static std::optional<QList<HistoryEntry>> readFile(const QString& path);

    enum class LoadOutcome { NoFile, Loaded, Unreadable, Unavailable };
    // Replaces the list by the file's entries. A file that cannot be read is moved aside
    // ("History.plist.unreadable", numbered when taken) and logged, and the list starts empty.
    // One that failed for a reason that may pass (Unavailable) stays where it is.
    LoadOutcome load(const QString& path, QString* movedTo = nullptr);

    // The file is shared with other processes: each of the three below holds the advisory
    // lock on "History.plist.lock" beside it and the list's lock for its whole read, merge
    // and write. The merge keeps this list's order for the entries still in the file, drops
    // those another process cleared, then adds those another process recorded and last
    // this list's entries not written yet.

    // Appends at the end whatever the current order, then writes the merged list at once.
    // True only when the entry is in the file.
    bool record(const QString& path, const HistoryEntry& entry, QString* error = nullptr);
    // Writes the merged list atomically, creating the folder; nothing when it is empty.
    bool save(const QString& path, QString* error = nullptr);
    // Removes the file (what it held when this ran) and empties the list. False with the
    // reason when the file stayed.
    bool removeFile(const QString& path, QString* error = nullptr);

    // Replaces the entry equal to `recorded` (the latest such) by `completed` where it stands,
    // in memory and in the file, as record() writes. False with the reason when not written;
    // false without one when the entry is no longer in the list.
    bool replace(const QString& path, const HistoryEntry& recorded, const HistoryEntry& completed,
                 QString* error = nullptr);

    // Appends at the end in memory only; safe from any thread.
    void append(const HistoryEntry& entry);
    QList<HistoryEntry> entries() const;
    // Replaces the list by hand; the next write keeps these entries.
    void setEntries(const QList<HistoryEntry>& entries);
    qsizetype size() const;
    void clear();
    // Reorders the list itself: the first descriptor decides, later ones break ties. Dates sort
    // by time: the stored time, else the date text read in the system locale, else the text.
    void sort(const QList<HistorySortDescriptor>& descriptors);

  private:
    struct FileRead {
        std::optional<QList<HistoryEntry>> entries;  // nothing when not read
        bool mayPass = false;                        // failed for a reason that may pass
        QString error;
    };
    static FileRead readEntries(const QString& path);
    bool mergeAndWrite(const QString& path, QString* error);

    mutable std::mutex mutex_;
    QList<HistoryEntry> entries_;
    QList<HistoryEntry> unwritten_;  // recorded here but not yet in the file
    // Entries in the file that this list has replaced since: (as written, as it is now).
    QList<std::pair<HistoryEntry, HistoryEntry>> replaced_;
    bool unreadableKept_ = false;  // an unreadable file could not be moved aside: never overwrite
};

}  // namespace qz
