#include "core/monitor/AlertThreshold.h"

#include <optional>

#include "core/settings/Settings.h"
#include "core/settings/UserDefaults.h"

namespace qz {

namespace {
std::optional<quint64> storedThreshold(const UserDefaults& defaults) {
    if (!defaults.hasStoredValue(Settings::Key::alertThreshold)) {
        return std::nullopt;
    }
    const QVariant value = defaults.objectForKey(Settings::Key::alertThreshold);
    bool ok = false;
    const quint64 threshold = value.typeId() == QMetaType::QString
                                  ? value.toString().trimmed().toULongLong(&ok)
                                  : value.toULongLong(&ok);
    return ok ? std::optional<quint64>(threshold) : std::nullopt;
}
}  // namespace

AlertThreshold::AlertThreshold(UserDefaults& defaults) : defaults_(defaults) {}

int AlertThreshold::indexForThreshold(quint64 threshold) {
    for (size_t i = kChoices.size() - 1; i > 0; --i) {
        if (kChoices[i] == threshold) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

quint64 AlertThreshold::thresholdForIndex(int index) {
    if (index < 0 || index >= static_cast<int>(kChoices.size())) {
        return kDefault;
    }
    return kChoices[static_cast<size_t>(index)];
}

quint64 AlertThreshold::value() const {
    return storedThreshold(defaults_).value_or(kDefault);
}

bool AlertThreshold::isStored() const {
    return storedThreshold(defaults_).has_value();
}

int AlertThreshold::restore() {
    const quint64 threshold = value();
    store(threshold);
    return indexForThreshold(threshold);
}

quint64 AlertThreshold::chancepesoalert(int index, bool* written) {
    const quint64 threshold = thresholdForIndex(index);
    const bool ok = store(threshold);
    if (written) {
        *written = ok;
    }
    return threshold;
}

bool AlertThreshold::store(quint64 threshold) {
    defaults_.setObject(QVariant::fromValue<quint64>(threshold), Settings::Key::alertThreshold);
    return defaults_.synchronize();
}

}  // namespace qz
