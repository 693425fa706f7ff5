#include "services/UserNotificationCenter.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>
#include <mutex>

namespace qz {

namespace {

struct CenterState {
    std::mutex mutex;
    UserNotificationCenterDelegate* delegate = nullptr;
    UserNotificationCenter::Handler fallback;
    UserNotificationCenter::Handler hook;
};

CenterState& state() {
    static CenterState instance;
    return instance;
}

const QString kConnectionName = QStringLiteral("quenzel-notifications");

}  // namespace

UserNotificationCenter& UserNotificationCenter::defaultUserNotificationCenter() {
    static UserNotificationCenter center;
    return center;
}

void UserNotificationCenter::setDelegate(UserNotificationCenterDelegate* delegate) {
    std::lock_guard lock(state().mutex);
    state().delegate = delegate;
}

UserNotificationCenterDelegate* UserNotificationCenter::delegate() const {
    std::lock_guard lock(state().mutex);
    return state().delegate;
}

void UserNotificationCenter::setFallback(Handler fallback) {
    std::lock_guard lock(state().mutex);
    state().fallback = std::move(fallback);
}

void UserNotificationCenter::setDeliveryHook(Handler hook) {
    std::lock_guard lock(state().mutex);
    state().hook = std::move(hook);
}

bool UserNotificationCenter::sendOverSessionBus(const UserNotification& notification) {
    // A named connection reads the bus address when it is made; a failed one is dropped so
    // that a bus started later is found.
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, kConnectionName);
    if (!bus.isConnected()) {
        QDBusConnection::disconnectFromBus(kConnectionName);
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    if (notification.defaultSound) {
        hints.insert(QStringLiteral("sound-name"), QStringLiteral("message-new-instant"));
    }
    call << QCoreApplication::applicationName() << quint32(0) << QString() << notification.title
         << notification.informativeText << QStringList() << hints << qint32(-1);
    // Sent without waiting for the reply, so a slow notification server never holds us up.
    return bus.send(call);
}

void UserNotificationCenter::deliverNotification(const UserNotification& notification) {
    Handler hook;
    Handler fallback;
    {
        std::lock_guard lock(state().mutex);
        hook = state().hook;
        fallback = state().fallback;
        if (state().delegate && !state().delegate->shouldPresentNotification(notification)) {
            return;
        }
    }
    if (hook) {
        hook(notification);
        return;
    }
    if (sendOverSessionBus(notification) || !fallback) {
        return;
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [fallback, notification] { fallback(notification); }, Qt::QueuedConnection);
    } else {
        fallback(notification);
    }
}

}  // namespace qz
