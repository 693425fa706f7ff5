#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <cstdlib>
#include <limits>
#include <memory>

namespace qz {

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime& referenceDate() {
    static const QDateTime date(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return date;
}

struct PlistFree {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

QString takeString(char* text) {
    QString value = text ? QString::fromUtf8(text) : QString();
    std::free(text);
    return value;
}

QVariant toVariant(plist_t node) {
    switch (plist_get_node_type(node)) {
        case PLIST_DICT: {
            QVariantMap map;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char* key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, iter, &key, &value);
                if (!value) {
                    std::free(key);
                    break;
                }
                map.insert(takeString(key), toVariant(value));
            }
            std::free(iter);
            return map;
        }
        case PLIST_ARRAY: {
            QVariantList list;
            const uint32_t count = plist_array_get_size(node);
            for (uint32_t i = 0; i < count; ++i) {
                list.append(toVariant(plist_array_get_item(node, i)));
            }
            return list;
        }
        case PLIST_STRING:
        case PLIST_KEY: {
            char* text = nullptr;
            plist_get_string_val(node, &text);
            return takeString(text);
        }
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return value != 0;
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            if (value > static_cast<uint64_t>(std::numeric_limits<qint64>::max())) {
                return QVariant::fromValue<quint64>(value);
            }
            return QVariant::fromValue<qint64>(static_cast<qint64>(value));
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return value;
        }
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t micros = 0;
            plist_get_date_val(node, &seconds, &micros);
            return referenceDate().addMSecs(qint64(seconds) * 1000 + micros / 1000);
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            QByteArray data(bytes, static_cast<qsizetype>(length));
            std::free(bytes);
            return data;
        }
        case PLIST_UID: {
            uint64_t value = 0;
            plist_get_uid_val(node, &value);
            return QVariant::fromValue<quint64>(value);
        }
        default:
            return {};
    }
}

plist_t fromVariant(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QVariantMap: {
            plist_t dict = plist_new_dict();
            const QVariantMap map = value.toMap();
            for (auto it = map.begin(); it != map.end(); ++it) {
                plist_dict_set_item(dict, it.key().toUtf8().constData(), fromVariant(it.value()));
            }
            return dict;
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            plist_t array = plist_new_array();
            for (const QVariant& item : value.toList()) {
                plist_array_append_item(array, fromVariant(item));
            }
            return array;
        }
        case QMetaType::Bool:
            return plist_new_bool(value.toBool() ? 1 : 0);
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
            return plist_new_uint(static_cast<uint64_t>(value.toLongLong()));
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            return plist_new_uint(value.toULongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return plist_new_real(value.toDouble());
        case QMetaType::QDateTime: {
            const qint64 ms = referenceDate().msecsTo(value.toDateTime());
            return plist_new_date(static_cast<int32_t>(ms / 1000),
                                  static_cast<int32_t>((ms % 1000) * 1000));
        }
        case QMetaType::QByteArray: {
            const QByteArray data = value.toByteArray();
            return plist_new_data(data.constData(), static_cast<uint64_t>(data.size()));
        }
        default:
            return plist_new_string(value.toString().toUtf8().constData());
    }
}

}  // namespace

std::optional<QVariant> PropertyList::read(const QByteArray& data) {
    if (data.isEmpty() || data.size() > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    const auto length = static_cast<uint32_t>(data.size());
    if (plist_is_binary(data.constData(), length)) {
        plist_from_bin(data.constData(), length, &root);
    } else {
        plist_from_xml(data.constData(), length, &root);
    }
    if (!root) {
        return std::nullopt;
    }
    PlistPtr owner(root);
    return toVariant(root);
}

std::optional<QVariant> PropertyList::readFile(const QString& localPath) {
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return read(file.readAll());
}

namespace {
// Serialises a value with one of libplist's writers and frees its buffer with the matching call.
QByteArray serialize(const QVariant& value, void (*write)(plist_t, char**, uint32_t*),
                     void (*release)(char*)) {
    PlistPtr root(fromVariant(value));
    char* bytes = nullptr;
    uint32_t length = 0;
    write(root.get(), &bytes, &length);
    QByteArray result(bytes, static_cast<qsizetype>(length));
    release(bytes);
    return result;
}
}  // namespace

QByteArray PropertyList::toXml(const QVariant& value) {
    return serialize(value, plist_to_xml, plist_to_xml_free);
}

QByteArray PropertyList::toBinary(const QVariant& value) {
    return serialize(value, plist_to_bin, plist_to_bin_free);
}

bool PropertyList::writeXmlAtomically(const QVariant& value, const QString& localPath,
                                      QString* error) {
    QSaveFile file(localPath);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    file.write(toXml(value));
    if (!file.commit()) {
        if (error) {
            *error = file.errorString();
        }
        return false;
    }
    return true;
}

}  // namespace qz
