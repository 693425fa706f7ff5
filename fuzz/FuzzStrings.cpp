// Any bytes as a .strings table, and every text found used as a format.
#include <QByteArray>

#include "core/formats/Localization.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto table = qz::Localization::parseStrings(bytes);
    if (table) {
        for (auto it = table->cbegin(); it != table->cend(); ++it) {
            (void)qz::Localization::applyFormat(
                it.value(), {QStringLiteral("text"), qint64(-42), 2.5, quint64(7)});
        }
    }
    return 0;
}
