// Texts by key from the bundle's Localizable.strings; a key without an entry is its own text.
// Texts are often used as formats: %@ (text), %lli / %d (integers), %1.1f (reals) and %%.
#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <optional>

namespace qz {

class Localization {
  public:
    explicit Localization(QHash<QString, QString> table = {}) : table_(std::move(table)) {}

    // The table of the user's language (QUENZEL_LANG, then LC_ALL, LC_MESSAGES, LANG):
    // Italian for "it", English otherwise.
    static const Localization& shared();
    // The language code shared() chose: "it" or "en".
    static QString sharedLanguage();
    // The bundle's table for a language code ("en", "it"); empty when there is none.
    static Localization forLanguage(const QString& language);
    // Parses the text of a .strings file; nothing when it is malformed.
    static std::optional<QHash<QString, QString>> parseStrings(const QByteArray& data);

    QString text(const QString& key) const;
    // The key's text used as a format with the given arguments; reals take the table's
    // decimal separator ("403,0" in Italian).
    QString format(const QString& key, const QVariantList& arguments = {}) const {
        return applyFormat(text(key), arguments, decimalPoint_);
    }
    // printf-style formatting with Foundation's %@; arguments are taken in order, and reals are
    // written with the given decimal separator.
    static QString applyFormat(const QString& format, const QVariantList& arguments,
                               const QString& decimalPoint = QStringLiteral("."));
    // The decimal separator of the table's language: "." unless the language writes another.
    QString decimalPoint() const { return decimalPoint_; }

  private:
    QHash<QString, QString> table_;
    QString decimalPoint_ = QStringLiteral(".");
};

}  // namespace qz
