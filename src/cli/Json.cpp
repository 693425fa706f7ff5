#include "cli/Json.h"

#include "cli/TerminalText.h"

namespace qz {

namespace {
void writeString(QString& out, const QString& text) {
    out += u'"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        switch (text[i].unicode()) {
            case '"':
                out += QStringLiteral("\\\"");
                break;
            case '\n':
                out += QStringLiteral("\\n");
                break;
            case '\r':
                out += QStringLiteral("\\r");
                break;
            case '\t':
                out += QStringLiteral("\\t");
                break;
            default:
                appendEscaped(out, text, i);
        }
    }
    out += u'"';
}

void newline(QString& out, int indent, int depth) {
    if (indent > 0) {
        out += u'\n';
        out += QString(indent * depth, u' ');
    }
}
}  // namespace

Json& Json::append(Json value) {
    if (!std::holds_alternative<Array>(value_)) {
        value_ = Array{};
    }
    auto& array = std::get<Array>(value_);
    array.push_back(std::move(value));
    return array.back();
}

Json& Json::set(const QString& key, Json value) {
    if (!std::holds_alternative<Object>(value_)) {
        value_ = Object{};
    }
    auto& object = std::get<Object>(value_);
    for (auto& [name, existing] : object) {
        if (name == key) {
            existing = std::move(value);
            return existing;
        }
    }
    object.emplace_back(key, std::move(value));
    return object.back().second;
}

const Json* Json::find(const QString& key) const {
    if (const auto* object = std::get_if<Object>(&value_)) {
        for (const auto& [name, value] : *object) {
            if (name == key) {
                return &value;
            }
        }
    }
    return nullptr;
}

QString Json::serialize(int indent) const {
    QString out;
    write(out, indent, 0);
    return out;
}

void Json::write(QString& out, int indent, int depth) const {
    const QString separator = indent > 0 ? QStringLiteral(": ") : QStringLiteral(":");
    std::visit(
        [&](const auto& value) {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::monostate>) {
                out += QStringLiteral("null");
            } else if constexpr (std::is_same_v<T, bool>) {
                out += value ? QStringLiteral("true") : QStringLiteral("false");
            } else if constexpr (std::is_same_v<T, qint64> || std::is_same_v<T, quint64>) {
                out += QString::number(value);
            } else if constexpr (std::is_same_v<T, double>) {
                out += QString::number(value, 'g', 17);
            } else if constexpr (std::is_same_v<T, QString>) {
                writeString(out, value);
            } else if constexpr (std::is_same_v<T, Array>) {
                out += u'[';
                for (size_t i = 0; i < value.size(); ++i) {
                    out += i ? QStringLiteral(",") : QString();
                    newline(out, indent, depth + 1);
                    value[i].write(out, indent, depth + 1);
                }
                if (!value.empty()) {
                    newline(out, indent, depth);
                }
                out += u']';
            } else {
                out += u'{';
                for (size_t i = 0; i < value.size(); ++i) {
                    out += i ? QStringLiteral(",") : QString();
                    newline(out, indent, depth + 1);
                    writeString(out, value[i].first);
                    out += separator;
                    value[i].second.write(out, indent, depth + 1);
                }
                if (!value.empty()) {
                    newline(out, indent, depth);
                }
                out += u'}';
            }
        },
        value_);
}

}  // namespace qz
