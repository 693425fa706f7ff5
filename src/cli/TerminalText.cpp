#include "cli/TerminalText.h"

#include "core/formats/ControlCharacter.h"

namespace qz {

namespace {
// A surrogate that does not form a pair with its neighbour.
bool isLoneSurrogate(QStringView text, qsizetype i) {
    const QChar c = text[i];
    if (c.isHighSurrogate()) {
        return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
    }
    return c.isLowSurrogate() && (i == 0 || !text[i - 1].isHighSurrogate());
}
}  // namespace

void appendEscaped(QString& out, QStringView text, qsizetype i) {
    const char16_t c = text[i].unicode();
    if (c == u'\\') {
        out += QStringLiteral("\\\\");
    } else if (isControlCharacter(c) || isLoneSurrogate(text, i)) {
        out += QStringLiteral("\\u%1").arg(static_cast<uint>(c), 4, 16, QLatin1Char('0'));
    } else {
        out += text[i];
    }
}

QString terminalText(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        appendEscaped(out, text, i);
    }
    return out;
}

}  // namespace qz
