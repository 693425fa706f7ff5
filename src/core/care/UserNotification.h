// A notification for the user: what a care or an alert has to say.
#pragma once

#include <QString>

namespace qz {

struct UserNotification {
    QString title;
    QString informativeText;
    bool defaultSound = true;
};

}  // namespace qz
