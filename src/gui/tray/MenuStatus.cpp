#include "gui/tray/MenuStatus.h"

#include <QApplication>

#include "core/formats/Bundle.h"
#include "core/formats/Localization.h"
#include "core/fs/FileManager.h"
#include "core/monitor/MonitorSets.h"
#include "core/monitor/StatusDecision.h"
#include "gui/chrome/BundleImage.h"
#include "gui/tray/ImageFactory.h"
#include "services/UserNotificationCenter.h"

namespace qz {

MenuStatus::MenuStatus(const FileManager& files, const SizeMonitor& sizes,
                       ImageFactory& imageFactory, QObject* parent)
    : QObject(parent),
      files_(files),
      imageFactory_(imageFactory),
      statusMenu_(std::make_unique<QMenu>()),
      slot_([this](const QString& icon) { return createStatusItem(icon); }),
      measuring_(sizes, kInterval, [this]() -> SizeSubscription::Job {
          // The job carries this controller only into the answer, run while it lives.
          return
              [this](const FileManager& measured, FolderSizes& folders) -> std::function<void()> {
                  // Both figures come from the same moment's disk, measured anew on every tick.
                  const BrowserTotals totals = measureTotals(measured, &folders);
                  const BrowserFlags considered = consideredBrowsers(measured);
                  return [this, totals, considered] {
                      imageFactory_.setMeasured(totals, considered);
                      setmenuitembar();
                      ++updates_;
                      emit updated();
                  };
              };
      }) {
    buildMenu();
    qApp->installEventFilter(this);
    // Without a notification server the tray shows the message.
    UserNotificationCenter::defaultUserNotificationCenter().setFallback(
        [](const UserNotification& notification) {
            auto* item = qobject_cast<QSystemTrayIcon*>(StatusItemSlot::installed());
            if (item && item->isVisible()) {
                item->showMessage(notification.title, notification.informativeText);
            }
        });
}

MenuStatus::~MenuStatus() {
    if (slot_.item() && StatusItemSlot::installed() == slot_.item()) {
        StatusItemSlot::clearInstalled();
    }
}

void MenuStatus::buildMenu() {
    const Localization& texts = Localization::shared();
    QMenu* menu = statusMenu_.get();
    ImageFactory::MenuEntries entries;
    for (BrowserId browser : layoutBrowsers(files_.layout())) {
        QAction* entry = menu->addAction(texts.text(menuEntryKey(browser)));
        entry->setObjectName(QStringLiteral("menu") + browserInfo(browser).key);
        entry->setVisible(false);
        connect(entry, &QAction::triggered, this, &MenuStatus::openRequested);
        entries[static_cast<size_t>(browser)] = entry;
    }
    QAction* ok = menu->addAction(texts.text(QStringLiteral("ok")));
    ok->setObjectName(QStringLiteral("ok"));
    ok->setEnabled(false);
    imageFactory_.setMenuEntries(entries, ok);
    menu->addSeparator();
    connect(menu->addAction(texts.text(QStringLiteral("menuOpen"))), &QAction::triggered, this,
            &MenuStatus::openRequested);
    connect(menu->addAction(texts.text(QStringLiteral("menuAbout"))), &QAction::triggered, this,
            &MenuStatus::aboutRequested);
    connect(menu->addAction(texts.text(QStringLiteral("menuPreferences"))), &QAction::triggered,
            this, &MenuStatus::preferencesRequested);
    connect(menu->addAction(texts.text(QStringLiteral("menuShare"))), &QAction::triggered, this,
            &MenuStatus::shareRequested);
    menu->addSeparator();
    connect(menu->addAction(texts.text(QStringLiteral("menuQuit"))), &QAction::triggered, qApp,
            &QCoreApplication::quit, Qt::QueuedConnection);
    // The item shows its alternate image while its menu is open, as a highlighted item does.
    connect(menu, &QMenu::aboutToShow, this, [this] {
        if (QSystemTrayIcon* item = statusItem()) {
            item->setIcon(bundleImage(alternateImage()));
        }
    });
    connect(menu, &QMenu::aboutToHide, this, [this] {
        if (QSystemTrayIcon* item = statusItem()) {
            item->setIcon(shownIcon(slot_.icon()));
        }
    });
}

QObject* MenuStatus::createStatusItem(const QString& icon) {
    auto* item = new QSystemTrayIcon(shownIcon(icon));
    item->setObjectName(QStringLiteral("statusItem"));
    item->setToolTip(QStringLiteral("Quenzel"));
    item->setContextMenu(statusMenu_.get());
    // A plain click opens the window, as tray icons on Linux do; the menu is on the right click.
    connect(item, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger) {
            emit openRequested();
        }
    });
    if (trayAvailable_()) {
        item->show();
    }
    return item;
}

void MenuStatus::awakeFromNib() {
    StatusItemSlot::clearInstalled();
    measuring_.start(/*runAtOnce=*/true);
}

QSystemTrayIcon* MenuStatus::statusItem() const {
    return qobject_cast<QSystemTrayIcon*>(slot_.item());
}

QString MenuStatus::alternateImage() {
    return kIconSelected;
}

QString MenuStatus::iconForm(const QString& icon, const QPalette& panel) {
    if (icon == kIconSelected || qGray(panel.color(QPalette::Window).rgb()) >= 128) {
        return icon;
    }
    QString name = icon;
    name.remove(QStringLiteral(".pdf"));
    return name + QStringLiteral("Dark");
}

QIcon MenuStatus::shownIcon(const QString& icon) const {
    return bundleImage(iconForm(icon, QApplication::palette()));
}

bool MenuStatus::eventFilter(QObject* watched, QEvent* event) {
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange) {
        QSystemTrayIcon* item = statusItem();
        if (item && !statusMenu_->isVisible()) {
            item->setIcon(shownIcon(slot_.icon()));
        }
    }
    return QObject::eventFilter(watched, event);
}

void MenuStatus::updatesize() {
    measuring_.tick();
}

void MenuStatus::setmenuitembar() {
    imageFactory_.showMenuEntries();
    slot_.setmenuitembar(imageFactory_.imageNormal());
    // A tray that started after the item was made (a panel that comes up after login).
    QSystemTrayIcon* item = statusItem();
    if (item && !item->isVisible() && trayAvailable_()) {
        item->show();
    }
}

}  // namespace qz
