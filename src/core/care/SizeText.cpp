#include "core/care/SizeText.h"

#include "core/formats/Localization.h"

namespace qz {

QString convertSizeToString(quint64 size, const Localization& texts) {
    if (size <= 998) {
        return texts.format(QStringLiteral("%lli Bytes"), {static_cast<qint64>(size)});
    }
    float value = static_cast<float>(size) / 1000.0f;
    if (value < 999.0f) {
        return texts.format(QStringLiteral("%1.1f KB"), {static_cast<double>(value)});
    }
    value = value / 1000.0f;
    if (value < 999.0f) {
        return texts.format(QStringLiteral("%1.1f MB"), {static_cast<double>(value)});
    }
    const float gigabytes = value / 1000.0f;
    return texts.format(QStringLiteral("%1.1f GB"), {static_cast<double>(gigabytes)});
}

QString convertCountToString(quint64 count, const Localization& texts) {
    const QString key = QStringLiteral("GroupSeparator");
    QString separator = texts.text(key);
    if (separator == key) {
        separator = QStringLiteral(",");  // a table without the key
    }
    QString digits = QString::number(count);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, separator);
    }
    return digits;
}

}  // namespace qz
