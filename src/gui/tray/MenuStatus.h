// The tray status item and its menu: measures the browsers' totals every few seconds through the
// size monitor, hands them to the size alert, and replaces the one status item only when its
// icon changes.
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QPalette>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "core/monitor/StatusItemSlot.h"
#include "services/SizeMonitor.h"

namespace qz {

class FileManager;
class ImageFactory;

class MenuStatus : public QObject {
    Q_OBJECT
  public:
    static constexpr double kInterval = 3.0;

    // The menu lists the browsers of the file manager's layout; the totals are measured through
    // the size monitor. The file manager and the image factory must outlive this object.
    MenuStatus(const FileManager& files, const SizeMonitor& sizes, ImageFactory& imageFactory,
               QObject* parent = nullptr);
    ~MenuStatus() override;

    // Start-up step: forgets any earlier status item, measures at once and every 3 s after.
    void awakeFromNib();

    // The status item this controller installed last (a tray icon); nullptr before the first
    // measurement has arrived or once another controller has replaced it.
    QSystemTrayIcon* statusItem() const;
    // The icon's bundle image name as installed ("qzb.pdf" or "qza.pdf"), and the one shown
    // while the menu is open.
    QString statusItemImage() const { return slot_.icon(); }
    static QString alternateImage();
    // The image drawn for an icon name on a panel of this palette: the dark glyph on a light
    // panel, its light form ("qzbDark") on a dark one. The tray's own background is unknown on
    // X11, so the application palette's window colour stands in for it.
    static QString iconForm(const QString& icon, const QPalette& panel);
    QMenu* statusMenu() const { return statusMenu_.get(); }
    ImageFactory& imageFactory() const { return imageFactory_; }
    // Measurements applied so far, and ticks skipped because one was still running.
    int updates() const { return updates_; }
    int skippedTicks() const { return measuring_.skippedTicks(); }

    // Tells whether a tray is there to show the item; the item appears on the first tick that
    // finds one, also when the tray starts after Quenzel. Tests swap in their own answer.
    using TrayProbe = std::function<bool()>;
    void setTrayProbe(TrayProbe probe) { trayAvailable_ = std::move(probe); }

  public slots:
    // Starts a measurement unless one is running; its totals reach the alert on this thread.
    void updatesize();
    // Brings the status item in line with the icon the alert chooses now.
    void setmenuitembar();

  signals:
    // After each measurement's totals have been applied and the item refreshed.
    void updated();
    // The menu's entry that brings the main window to the front.
    void openRequested();
    // The menu's About and Preferences entries; the main window's controller answers them.
    void aboutRequested();
    void preferencesRequested();
    // The menu's entry that opens the share window.
    void shareRequested();

  protected:
    // Draws the item again in the form that suits a changed application palette.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QIcon shownIcon(const QString& icon) const;
    QObject* createStatusItem(const QString& icon);
    void buildMenu();

    const FileManager& files_;
    ImageFactory& imageFactory_;
    std::unique_ptr<QMenu> statusMenu_;
    StatusItemSlot slot_;
    TrayProbe trayAvailable_ = &QSystemTrayIcon::isSystemTrayAvailable;
    int updates_ = 0;
    // Last, so that it is destroyed first and no result arrives in a half-destroyed object.
    SizeSubscription measuring_;
};

}  // namespace qz
