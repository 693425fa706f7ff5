// Any bytes through the bounded property-list reader: no crash, no hang, no runaway memory.
#include <QByteArray>

#include "core/formats/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    (void)qz::PropertyList::read(bytes);
    return 0;
}
