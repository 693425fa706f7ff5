#include "core/formats/PropertyList.h"

#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "core/fs/OwnFile.h"
#include "core/fs/ReadToEnd.h"
#include "core/fs/UniqueFd.h"

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

// Text of a string or key node, read with its length so a NUL inside never reaches libplist's
// checks (the byte checks refuse such lists before parsing; this is the second guard).
std::optional<QString> textOf(plist_t node) {
    if (plist_get_node_type(node) == PLIST_STRING) {
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (!text || std::memchr(text, 0, length) != nullptr) {
            return std::nullopt;
        }
        return QString::fromUtf8(text, static_cast<qsizetype>(length));
    }
    char* key = nullptr;
    plist_get_key_val(node, &key);
    return takeString(key);
}

// Converts with a depth and node budget; nothing when either runs out.
class Converter {
  public:
    explicit Converter(const PropertyListLimits& limits) : limits_(limits) {}

    // `depth` counts the containers around the node.
    std::optional<QVariant> convert(plist_t node, int depth) {
        const plist_type type = plist_get_node_type(node);
        const bool container = type == PLIST_DICT || type == PLIST_ARRAY;
        if (++nodes_ > limits_.maxNodes || (container && depth >= limits_.maxDepth)) {
            return std::nullopt;
        }
        switch (type) {
            case PLIST_DICT:
                return dictionary(node, depth);
            case PLIST_ARRAY: {
                QVariantList list;
                const uint32_t count = plist_array_get_size(node);
                for (uint32_t i = 0; i < count; ++i) {
                    std::optional<QVariant> item =
                        convert(plist_array_get_item(node, i), depth + 1);
                    if (!item) {
                        return std::nullopt;
                    }
                    list.append(std::move(*item));
                }
                return list;
            }
            case PLIST_STRING:
            case PLIST_KEY: {
                std::optional<QString> text = textOf(node);
                return text ? std::optional<QVariant>(*text) : std::nullopt;
            }
            default:
                return scalar(node);
        }
    }

  private:
    std::optional<QVariant> dictionary(plist_t node, int depth) {
        QVariantMap map;
        plist_dict_iter iter = nullptr;
        plist_dict_new_iter(node, &iter);
        std::optional<QVariant> result;
        for (;;) {
            plist_t value = nullptr;
            plist_dict_next_item(node, iter, nullptr, &value);
            if (!value) {
                result = map;
                break;
            }
            const plist_t keyNode = plist_dict_item_get_key(value);
            std::optional<QString> key = keyNode ? textOf(keyNode) : std::nullopt;
            std::optional<QVariant> item = key ? convert(value, depth + 1) : std::nullopt;
            if (!item || ++nodes_ > limits_.maxNodes) {
                break;
            }
            map.insert(*key, std::move(*item));
        }
        std::free(iter);
        return result;
    }

    static QVariant scalar(plist_t node) {
        switch (plist_get_node_type(node)) {
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
                uint64_t length = 0;
                const char* bytes = plist_get_data_ptr(node, &length);
                return QByteArray(bytes, static_cast<qsizetype>(length));
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

    const PropertyListLimits& limits_;
    qint64 nodes_ = 0;
};

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

std::optional<QVariant> PropertyList::read(const QByteArray& data,
                                           const PropertyListLimits& limits) {
    if (data.isEmpty() || data.size() > limits.maxBytes ||
        data.size() > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    plist_t root = nullptr;
    const auto length = static_cast<uint32_t>(data.size());
    if (plist_is_binary(data.constData(), length)) {
        if (binaryWithinLimits(data, limits)) {
            plist_from_bin(data.constData(), length, &root);
        }
    } else if (xmlWithinLimits(data, limits)) {
        plist_from_xml(data.constData(), length, &root);
    }
    if (!root) {
        return std::nullopt;
    }
    PlistPtr owner(root);
    return Converter(limits).convert(root, 0);
}

std::optional<QVariant> PropertyList::readFile(const QString& localPath,
                                               const PropertyListLimits& limits) {
    if (localPath.startsWith(u':')) {  // built into the program
        QFile resource(localPath);
        return resource.open(QIODevice::ReadOnly) ? read(resource.readAll(), limits) : std::nullopt;
    }
    // Never through a link at the end, never waiting on a pipe or device: regular files only.
    UniqueFd fd(::open(QFile::encodeName(localPath).constData(),
                       O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd.valid() || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) ||
        info.st_size > limits.maxBytes) {
        return std::nullopt;
    }
    const ReadToEnd content = readToEnd(fd.get(), limits.maxBytes);
    return content.outcome == ReadToEnd::Outcome::Read ? read(content.data, limits) : std::nullopt;
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
    return OwnFile::write(localPath, toXml(value), error);
}

}  // namespace qz
