// The size alert in the window: keeps the threshold and its pop-up, chooses the status item's
// icon and the status-menu entries for the latest totals, and notifies once per launch.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <array>

#include "core/monitor/AlertThreshold.h"
#include "core/monitor/StatusDecision.h"
#include "services/UserNotificationCenter.h"

namespace qz {

class Localization;
class UserDefaults;

class ImageFactory : public QObject, public UserNotificationCenterDelegate {
    Q_OBJECT
  public:
    // The one-shot notification check comes this long after start-up.
    static constexpr double kNotificationDelay = 5.0;

    // With the standard defaults and the shared text table.
    explicit ImageFactory(QObject* parent = nullptr);
    ImageFactory(UserDefaults& defaults, const Localization& texts, QObject* parent = nullptr);
    ~ImageFactory() override;

    // Start-up step: restores the threshold (selecting the pop-up, if attached), titles the
    // menu entries and arms the notification check.
    void awakeFromNib();

    // The latest totals and which browsers count, measured together off the main thread.
    void setMeasured(const BrowserTotals& totals, const BrowserFlags& considered);
    const BrowserTotals& totals() const { return totals_; }

    // The name of the bundle image for the current sizes and threshold ("qzb.pdf" or
    // "qza.pdf").
    QString imageNormal() const;
    // Shows exactly the status-menu entries of the browsers at or above the threshold, and "ok"
    // when there are none.
    void showMenuEntries();
    // The threshold in force.
    quint64 threshold() const;

    // The threshold chooser; filled with the five entries and selected when attached.
    void setPesoalert(QComboBox* popup);
    QComboBox* pesoalert() const { return pesoalert_; }

    bool notificationsChecked() const { return notifications_.hasRun(); }

    // The status menu's entries (owned by the menu): per browser in the fixed order (nullptr
    // for a browser the menu lacks), and "ok".
    using MenuEntries = std::array<QPointer<QAction>, kBrowserCount>;
    void setMenuEntries(const MenuEntries& entries, QAction* ok);
    QAction* menuEntry(BrowserId browser) const {
        return menuEntries_[static_cast<size_t>(browser)];
    }
    QAction* ok() const { return ok_; }

  public slots:
    // The pop-up's action: stores the chosen entry's threshold.
    void chancepesoalert(int index);
    // Notifies the considered browsers at or above the threshold; only the first call counts.
    // Before the first totals have arrived it waits for them rather than judge zeros.
    void checkNotifiche();

  private:
    UserDefaults& defaults_;
    const Localization& texts_;
    AlertThreshold threshold_;
    BrowserTotals totals_;
    BrowserFlags considered_ = alwaysConsidered();
    QPointer<QComboBox> pesoalert_;
    QTimer notificationTimer_;
    StartupNotifications notifications_;
    bool measured_ = false;
    bool checkPending_ = false;
    MenuEntries menuEntries_;
    QPointer<QAction> ok_;
};

}  // namespace qz
