// Text read from files (names, paths, versions) made safe to print: a control character could
// move the cursor, rewrite earlier lines or change the terminal's settings.
#pragma once

#include <QString>
#include <QStringView>

namespace qz {

// Appends text[i] to `out`: a control character (C0, DEL, C1) or half of a surrogate pair
// without its other half as \uXXXX, a backslash doubled, anything else as it is. The JSON
// output and the printed text share this rule.
void appendEscaped(QString& out, QStringView text, qsizetype i);
// The whole text by that rule.
QString terminalText(QStringView text);

}  // namespace qz
