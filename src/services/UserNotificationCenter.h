// User notifications: freedesktop notifications over the session bus, or a fallback (the
// tray's message) when there is no bus. Delivering never fails and never waits for an answer.
#pragma once

#include <QString>
#include <functional>

#include "core/care/UserNotification.h"

namespace qz {

// Decides whether a notification is shown while the program is in front; every delegate of
// this program answers yes.
class UserNotificationCenterDelegate {
  public:
    virtual ~UserNotificationCenterDelegate() = default;
    virtual bool shouldPresentNotification(const UserNotification&) { return true; }
};

class UserNotificationCenter {
  public:
    using Handler = std::function<void(const UserNotification&)>;

    static UserNotificationCenter& defaultUserNotificationCenter();

    // Callable from any thread. The fallback runs on the application's main thread.
    void deliverNotification(const UserNotification& notification);

    // One delegate at a time; the last one set wins. Not owned.
    void setDelegate(UserNotificationCenterDelegate* delegate);
    UserNotificationCenterDelegate* delegate() const;

    // What shows a notification when no session bus answers (the window sets a tray message).
    void setFallback(Handler fallback);
    // Records deliveries instead of showing them (tests); an empty function restores delivery.
    void setDeliveryHook(Handler hook);

  private:
    UserNotificationCenter() = default;
    bool sendOverSessionBus(const UserNotification& notification);
};

}  // namespace qz
