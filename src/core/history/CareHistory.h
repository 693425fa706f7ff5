// The care history file: loaded once (an unreadable file is set aside), each care recorded and
// written at once, cleared on request. Recording is safe from any thread.
#pragma once

#include <QString>

#include "core/browsers/Browser.h"
#include "core/history/HistoryList.h"

namespace qz {

class CareHistory {
  public:
    explicit CareHistory(QString filePath = HistoryList::defaultFilePath());

    // Reads the file into the list. An unreadable file is set aside and remembered.
    HistoryList::LoadOutcome load();
    // Appends the care of `browser` now and writes the file; false, with the reason, when the
    // file was not written (the entry stays in memory for the next write).
    // `recorded`, when given, receives the entry as recorded, for complete(). `automatic`: the
    // care ran by itself as the browser closed.
    bool record(BrowserId browser, QString* error = nullptr, HistoryEntry* recorded = nullptr,
                bool automatic = false);
    // Adds to the entry recorded at a care's start what went and the bytes freed, and writes the
    // file; false, with the reason when there is one, when that was not written.
    bool complete(const HistoryEntry& recorded, const QStringList& items, quint64 bytesFreed,
                  QString* error = nullptr);
    // Removes the file and empties the list; false, with the reason, when the file stayed.
    bool clear(QString* error = nullptr);
    // Writes the list (nothing for an empty one).
    bool save(QString* error = nullptr);

    HistoryList& list() { return list_; }
    const HistoryList& list() const { return list_; }
    const QString& filePath() const { return filePath_; }
    // Where an unreadable history was set aside by load() (empty when it was not, or once the
    // history has been cleared).
    const QString& unreadableMovedTo() const { return unreadableMovedTo_; }

  private:
    HistoryList list_;
    QString filePath_;
    QString unreadableMovedTo_;
};

}  // namespace qz
