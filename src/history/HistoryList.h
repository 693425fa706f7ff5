// The care history's entries: appended from any thread, sorted by the table's descriptors,
// read from and written to "History.plist" (an XML property list: an array of dictionaries).
#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QString>
#include <mutex>
#include <optional>

namespace qz {

struct HistoryEntry {
    QString browserName;  // "ItemNameBrowser": "Safari", "Firefox", "Google Chrome", "Opera"
    QString dateCare;     // "ItemdateCare": the date and time as formatted when recorded
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

    // <Application Support>/DIZEROV and the history file inside it.
    static QString folderPath();
    static QString defaultFilePath();
    // The locale's short date and short time.
    static QString formatCareDate(const QDateTime& when, const QLocale& locale = QLocale::system());

    // Reads a history file without changing anything: an empty list when there is no file,
    // nothing when the file is there but is not a list of entries.
    static std::optional<QList<HistoryEntry>> readFile(const QString& path);

    enum class LoadOutcome { NoFile, Loaded, Unreadable };
    // Replaces the list by the file's entries. A file that cannot be read is moved aside
    // ("History.plist.unreadable", numbered when taken) and logged, and the list starts empty.
    LoadOutcome load(const QString& path, QString* movedTo = nullptr);
    // Writes the list atomically, creating the folder; an empty list writes nothing.
    bool save(const QString& path, QString* error = nullptr) const;

    // Appends at the end whatever the current order; safe from any thread.
    void append(const HistoryEntry& entry);
    QList<HistoryEntry> entries() const;
    void setEntries(const QList<HistoryEntry>& entries);
    qsizetype size() const;
    void clear();
    // Reorders the list itself: the first descriptor decides, later ones break ties.
    void sort(const QList<HistorySortDescriptor>& descriptors);

  private:
    mutable std::mutex mutex_;
    mutable std::mutex saveMutex_;  // one write at a time, each with the newest entries
    QList<HistoryEntry> entries_;
    bool unreadableKept_ = false;  // an unreadable file could not be moved aside: never overwrite
};

}  // namespace qz
