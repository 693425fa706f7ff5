#include "gui/tray/ImageFactory.h"

#include <QFontDatabase>

#include "core/formats/Localization.h"
#include "core/settings/TimeScale.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {
// The status-menu titles' font: Lucida Grande 14, or the closest installed family.
QFont menuEntryFont() {
    const QStringList families = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("Lucida Grande"), QStringLiteral("Lucida Sans"),
                                  QStringLiteral("DejaVu Sans")}) {
        if (families.contains(family, Qt::CaseInsensitive)) {
            return QFont(family, 14);
        }
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(14);
    return font;
}
}  // namespace

ImageFactory::ImageFactory(QObject* parent)
    : ImageFactory(UserDefaults::standard(), Localization::shared(), parent) {}

ImageFactory::ImageFactory(UserDefaults& defaults, const Localization& texts, QObject* parent)
    : QObject(parent),
      defaults_(defaults),
      texts_(texts),
      threshold_(defaults),
      notifications_([](const AlertNotification& alert) {
          UserNotificationCenter::defaultUserNotificationCenter().deliverNotification(
              {alert.title, alert.informativeText, alert.defaultSound});
      }) {
    notificationTimer_.setSingleShot(true);
    connect(&notificationTimer_, &QTimer::timeout, this, &ImageFactory::checkNotifiche);
}

ImageFactory::~ImageFactory() {
    UserNotificationCenter& center = UserNotificationCenter::defaultUserNotificationCenter();
    if (center.delegate() == this) {
        center.setDelegate(nullptr);
    }
}

void ImageFactory::awakeFromNib() {
    const int index = threshold_.restore();
    if (pesoalert_) {
        pesoalert_->setCurrentIndex(index);
    }
    const QFont font = menuEntryFont();
    for (BrowserId browser : kAllBrowsers) {
        if (QAction* entry = menuEntry(browser)) {
            entry->setText(texts_.text(menuEntryKey(browser)));
            entry->setFont(font);
        }
    }
    notificationTimer_.start(TimeScale::milliseconds(kNotificationDelay));
}

void ImageFactory::setMeasured(const BrowserTotals& totals, const BrowserFlags& considered) {
    totals_ = totals;
    considered_ = considered;
    measured_ = true;
    if (checkPending_) {
        checkPending_ = false;
        checkNotifiche();
    }
}

quint64 ImageFactory::threshold() const {
    // Before the start-up step has stored it, the default stands in for an absent value, so
    // empty browsers never count as over a threshold of nothing.
    return threshold_.value();
}

QString ImageFactory::imageNormal() const {
    return decideStatus(totals_, considered_, threshold()).icon;
}

void ImageFactory::showMenuEntries() {
    const StatusState state = decideStatus(totals_, considered_, threshold());
    for (size_t i = 0; i < menuEntries_.size(); ++i) {
        if (menuEntries_[i]) {
            menuEntries_[i]->setVisible(state.entryVisible[i]);
        }
    }
    if (ok_) {
        ok_->setVisible(state.okVisible);
    }
}

void ImageFactory::setMenuEntries(const MenuEntries& entries, QAction* ok) {
    menuEntries_ = entries;
    ok_ = ok;
}

void ImageFactory::setPesoalert(QComboBox* popup) {
    if (pesoalert_) {
        disconnect(pesoalert_, nullptr, this, nullptr);
    }
    pesoalert_ = popup;
    if (!popup) {
        return;
    }
    popup->clear();
    for (size_t i = 0; i < AlertThreshold::kChoices.size(); ++i) {
        popup->addItem(texts_.text(QStringLiteral("pesoalert%1").arg(i)),
                       QVariant::fromValue<quint64>(AlertThreshold::kChoices[i]));
    }
    popup->setCurrentIndex(AlertThreshold::indexForThreshold(threshold()));
    // Only the user's own choice stores a threshold; selecting in code keeps an odd stored one.
    connect(popup, &QComboBox::activated, this, &ImageFactory::chancepesoalert);
}

void ImageFactory::chancepesoalert(int index) {
    threshold_.chancepesoalert(index);
}

void ImageFactory::checkNotifiche() {
    if (notifications_.hasRun()) {
        return;
    }
    if (!measured_) {
        checkPending_ = true;
        return;
    }
    const QList<BrowserId> notified =
        notifications_.checkNotifiche(totals_, considered_, threshold(), texts_);
    if (!notified.isEmpty()) {
        UserNotificationCenter::defaultUserNotificationCenter().setDelegate(this);
    }
}

}  // namespace qz
