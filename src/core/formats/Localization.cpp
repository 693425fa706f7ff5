#include "core/formats/Localization.h"

#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <array>
#include <clocale>
#include <cstdio>

namespace qz {

namespace {

QString languageFromEnvironment() {
    for (const char* name : {"QUENZEL_LANG", "LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value.left(2).toLower() == QStringLiteral("it") ? QStringLiteral("it")
                                                                   : QStringLiteral("en");
        }
    }
    return QStringLiteral("en");
}

// Reads .strings text: "key" = "value"; with /* */ and // comments.
class StringsParser {
  public:
    explicit StringsParser(QString text) : text_(std::move(text)) {}

    std::optional<QHash<QString, QString>> parse() {
        QHash<QString, QString> table;
        for (;;) {
            skipSpaceAndComments();
            if (atEnd()) {
                return table;
            }
            const auto key = token();
            skipSpaceAndComments();
            if (!key || !consume(u'=')) {
                return std::nullopt;
            }
            skipSpaceAndComments();
            const auto value = token();
            skipSpaceAndComments();
            if (!value || !consume(u';')) {
                return std::nullopt;
            }
            table.insert(*key, *value);
        }
    }

  private:
    bool atEnd() const { return pos_ >= text_.size(); }
    bool startsHere(QStringView what) const {
        return QStringView(text_).sliced(pos_).startsWith(what);
    }
    bool consume(QChar c) {
        if (!atEnd() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    void skipSpaceAndComments() {
        while (!atEnd()) {
            if (text_[pos_].isSpace()) {
                ++pos_;
            } else if (startsHere(u"/*")) {
                const qsizetype end = text_.indexOf(QStringLiteral("*/"), pos_ + 2);
                pos_ = end < 0 ? text_.size() : end + 2;
            } else if (startsHere(u"//")) {
                const qsizetype end = text_.indexOf(u'\n', pos_);
                pos_ = end < 0 ? text_.size() : end + 1;
            } else {
                return;
            }
        }
    }

    std::optional<QString> token() {
        if (consume(u'"')) {
            QString out;
            while (!atEnd()) {
                // Plain text up to the next quote or escape goes over whole.
                const QStringView text(text_);
                qsizetype run = pos_;
                while (run < text.size() && text[run] != u'"' && text[run] != u'\\') {
                    ++run;
                }
                out += text.sliced(pos_, run - pos_);
                pos_ = run;
                if (atEnd()) {
                    break;
                }
                const QChar c = text_[pos_++];
                if (c == u'"') {
                    return out;
                }
                if (atEnd()) {
                    out += c;
                    continue;
                }
                const QChar e = text_[pos_++];
                if (e == u'n') {
                    out += u'\n';
                } else if (e == u't') {
                    out += u'\t';
                } else if (e == u'r') {
                    out += u'\r';
                } else if ((e == u'U' || e == u'u') && pos_ + 4 <= text_.size()) {
                    bool ok = false;
                    const ushort code = text_.mid(pos_, 4).toUShort(&ok, 16);
                    if (!ok) {
                        return std::nullopt;
                    }
                    out += QChar(code);
                    pos_ += 4;
                } else {
                    out += e;
                }
            }
            return std::nullopt;
        }
        const qsizetype start = pos_;
        while (!atEnd() && (text_[pos_].isLetterOrNumber() || text_[pos_] == u'_' ||
                            text_[pos_] == u'.' || text_[pos_] == u'-')) {
            ++pos_;
        }
        if (pos_ == start) {
            return std::nullopt;
        }
        return text_.mid(start, pos_ - start);
    }

    const QString text_;
    qsizetype pos_ = 0;
};

// printf's numbers always with a decimal point, whatever locale the application set.
class CLocaleScope {
  public:
    CLocaleScope() : previous_(::uselocale(cLocale())) {}
    ~CLocaleScope() { ::uselocale(previous_); }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    static locale_t cLocale() {
        static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
        return locale;
    }
    locale_t previous_;
};

// Flags, then a width and a precision of two digits at most: printf makes room for any width
// or precision it is given, gigabytes of it for "%.2000000000f".
bool isPlainConversion(QByteArrayView flags) {
    qsizetype at = 0;
    while (at < flags.size() && QByteArrayView("-+ #0").contains(flags[at])) {
        ++at;
    }
    const auto digits = [&] {
        const qsizetype start = at;
        while (at < flags.size() && flags[at] >= '0' && flags[at] <= '9') {
            ++at;
        }
        return at - start;
    };
    if (digits() > 2) {
        return false;
    }
    if (at < flags.size() && flags[at] == '.') {
        ++at;
        if (digits() > 2) {
            return false;
        }
    }
    return at == flags.size();
}

QString formatNumber(const QByteArray& flags, char conversion, const QVariant& argument,
                     const QString& decimalPoint) {
    const CLocaleScope cLocale;
    std::array<char, 128> buffer{};
    QByteArray format = '%' + flags;
    if (conversion == 'f' || conversion == 'F' || conversion == 'e' || conversion == 'E' ||
        conversion == 'g' || conversion == 'G') {
        format += conversion;
        std::snprintf(buffer.data(), buffer.size(), format.constData(), argument.toDouble());
        return QString::fromLatin1(buffer.data()).replace(u'.', decimalPoint);
    } else if (conversion == 'u' || conversion == 'x' || conversion == 'X' || conversion == 'o') {
        format += "ll";
        format += conversion;
        std::snprintf(buffer.data(), buffer.size(), format.constData(),
                      static_cast<unsigned long long>(argument.toULongLong()));
    } else {
        format += "ll";
        format += conversion;
        std::snprintf(buffer.data(), buffer.size(), format.constData(),
                      static_cast<long long>(argument.toLongLong()));
    }
    return QString::fromLatin1(buffer.data());
}

}  // namespace

QString Localization::sharedLanguage() {
    return languageFromEnvironment();
}

const Localization& Localization::shared() {
    static const Localization table = forLanguage(languageFromEnvironment());
    return table;
}

Localization Localization::forLanguage(const QString& language) {
    QFile file(QStringLiteral(":/%1.lproj/Localizable.strings").arg(language));
    if (!file.open(QIODevice::ReadOnly)) {
        return Localization();
    }
    Localization table(parseStrings(file.readAll()).value_or(QHash<QString, QString>{}));
    table.decimalPoint_ = QLocale(language).decimalPoint();
    return table;
}

std::optional<QHash<QString, QString>> Localization::parseStrings(const QByteArray& data) {
    QString text;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(QStringDecoder::Utf16);
        text = decoder(data);
    } else {
        text = QString::fromUtf8(data);
        if (text.startsWith(QChar(0xFEFF))) {
            text.remove(0, 1);
        }
    }
    return StringsParser(text).parse();
}

QString Localization::text(const QString& key) const {
    const auto it = table_.constFind(key);
    return it == table_.constEnd() ? key : it.value();
}

QString Localization::applyFormat(const QString& format, const QVariantList& arguments,
                                  const QString& decimalPoint) {
    QString out;
    qsizetype next = 0;
    const auto nextArgument = [&]() -> QVariant {
        return next < arguments.size() ? arguments[next++] : QVariant();
    };
    for (qsizetype i = 0; i < format.size(); ++i) {
        if (format[i] != u'%') {
            out += format[i];
            continue;
        }
        qsizetype j = i + 1;
        QByteArray flags;
        while (j < format.size() &&
               QByteArrayView("-+ #0123456789.").contains(format[j].toLatin1())) {
            flags += format[j++].toLatin1();
        }
        while (j < format.size() && QByteArrayView("hlqLzjt").contains(format[j].toLatin1())) {
            ++j;  // length modifiers: every integer is formatted as 64-bit
        }
        if (j >= format.size()) {
            out += format.mid(i);
            break;
        }
        const char conversion = format[j].toLatin1();
        if (conversion == '%' && flags.isEmpty()) {
            out += u'%';
        } else if (conversion == '@' || conversion == 's') {
            out += nextArgument().toString();
        } else if (QByteArrayView("diuxXofFeEgG").contains(conversion) && conversion != 0 &&
                   isPlainConversion(flags)) {
            out += formatNumber(flags, conversion, nextArgument(), decimalPoint);
        } else {
            out += format.mid(i, j - i + 1);  // not a conversion we know: keep it as written
        }
        i = j;
    }
    return out;
}

}  // namespace qz
