// The process's one status item: re-created only when the chosen icon changes, and a new one
// always replaces the last one installed, whichever owner installed it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

namespace qz {

class StatusItemSlot {
  public:
    // Creates and shows a new item with the icon (the tray icon with its menu and alternate
    // image); the process-wide reference owns it from then on.
    using Factory = std::function<QObject*(const QString& icon)>;

    explicit StatusItemSlot(Factory factory) : factory_(std::move(factory)) {}

    // Start-up step: removes the process-wide item, if any, and empties the reference.
    static void clearInstalled();
    // The item most recently installed by any slot.
    static QObject* installed();

    // Brings the item in line with the icon; returns whether a new item was installed.
    bool setmenuitembar(const QString& icon);
    QObject* item() const { return item_; }
    const QString& icon() const { return icon_; }

  private:
    Factory factory_;
    QPointer<QObject> item_;
    QString icon_;
};

}  // namespace qz
