#include "core/monitor/StatusItemSlot.h"

namespace qz {

namespace {
QPointer<QObject>& processItem() {
    static QPointer<QObject> item;
    return item;
}
}  // namespace

void StatusItemSlot::clearInstalled() {
    delete processItem().data();
    processItem().clear();
}

QObject* StatusItemSlot::installed() {
    return processItem();
}

bool StatusItemSlot::setmenuitembar(const QString& icon) {
    // The icon this slot last installed decides, as the item's own image would.
    if (!icon_.isNull() && icon == icon_) {
        return false;
    }
    delete processItem().data();
    QObject* created = factory_ ? factory_(icon) : nullptr;
    item_ = created;
    icon_ = icon;
    processItem() = created;
    return true;
}

}  // namespace qz
