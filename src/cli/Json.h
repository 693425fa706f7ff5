// A small JSON value that keeps its keys in insertion order and 64-bit integers exact.
#pragma once

#include <QString>
#include <QtGlobal>
#include <utility>
#include <variant>
#include <vector>

namespace qz {

class Json {
  public:
    using Array = std::vector<Json>;
    using Object = std::vector<std::pair<QString, Json>>;

    Json() = default;  // null
    Json(bool value) : value_(value) {}
    Json(int value) : value_(static_cast<qint64>(value)) {}
    Json(qint64 value) : value_(value) {}
    Json(quint64 value) : value_(value) {}
    Json(double value) : value_(value) {}
    Json(const char* value) : value_(QString::fromUtf8(value)) {}
    Json(QString value) : value_(std::move(value)) {}
    Json(Array value) : value_(std::move(value)) {}
    Json(Object value) : value_(std::move(value)) {}

    static Json array() { return Json(Array{}); }
    static Json object() { return Json(Object{}); }

    // Appends to an array, or sets a key of an object (replacing an existing one in place).
    Json& append(Json value);
    Json& set(const QString& key, Json value);
    // The value of a key of an object; a null value when absent.
    const Json* find(const QString& key) const;

    QString serialize(int indent = 2) const;

  private:
    void write(QString& out, int indent, int depth) const;
    std::variant<std::monostate, bool, qint64, quint64, double, QString, Array, Object> value_;
};

}  // namespace qz
