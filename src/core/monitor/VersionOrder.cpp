#include "core/monitor/VersionOrder.h"

namespace qz {

namespace {
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Compares two runs of digits by value without converting them, so any length works.
int compareNumbers(QStringView a, QStringView b) {
    while (a.size() > 1 && a.front() == u'0') {
        a = a.mid(1);
    }
    while (b.size() > 1 && b.front() == u'0') {
        b = b.mid(1);
    }
    if (a.size() != b.size()) {
        return a.size() < b.size() ? -1 : 1;
    }
    return a.compare(b);
}
// Longer than any version a program publishes.
constexpr qsizetype kMaxVersionLength = 64;
}  // namespace

bool isWellFormedVersion(const QString& text) {
    if (text.isEmpty() || text.size() > kMaxVersionLength) {
        return false;
    }
    qsizetype i = 0;
    for (;;) {
        const qsizetype start = i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
        }
        if (i == start) {
            return false;  // a dot, or the start, with no number after it
        }
        if (i == text.size() || text[i] != u'.') {
            break;
        }
        ++i;
    }
    // The tag: a letter first, then letters and digits.
    if (i < text.size() && !(text[i].isLetter() && text[i].unicode() < 128)) {
        return false;
    }
    for (; i < text.size(); ++i) {
        if (text[i].unicode() >= 128 || !text[i].isLetterOrNumber()) {
            return false;
        }
    }
    return true;
}

int compareVersions(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            const qsizetype startA = i;
            const qsizetype startB = j;
            while (i < a.size() && isDigit(a[i])) {
                ++i;
            }
            while (j < b.size() && isDigit(b[j])) {
                ++j;
            }
            const int order = compareNumbers(QStringView(a).mid(startA, i - startA),
                                             QStringView(b).mid(startB, j - startB));
            if (order != 0) {
                return order;
            }
            continue;
        }
        if (a[i] != b[j]) {
            return a[i] < b[j] ? -1 : 1;
        }
        ++i;
        ++j;
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

}  // namespace qz
