#include "logic/numbertext.h"

#include <cmath>

namespace NumberText {
namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

qsizetype skipBlanks(QStringView text, qsizetype at)
{
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && isDigit(text[at]))
        ++at;
    return at;
}

// Length of the number starting at `from`, 0 when none starts there.
qsizetype numberLength(QStringView text, qsizetype from)
{
    qsizetype at = from;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-'))
        ++at;
    const qsizetype intStart = at;
    at = skipDigits(text, at);
    bool hasDigits = at > intStart;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fracStart = at + 1;
        const qsizetype fracEnd = skipDigits(text, fracStart);
        if (hasDigits || fracEnd > fracStart) {
            hasDigits = true;
            at = fracEnd;
        }
    }
    if (!hasDigits)
        return 0;
    // An exponent counts only when digits follow it: "1e" is the number 1 and an "e".
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        qsizetype exp = at + 1;
        if (exp < text.size() && (text[exp] == u'+' || text[exp] == u'-'))
            ++exp;
        const qsizetype expEnd = skipDigits(text, exp);
        if (expEnd > exp)
            at = expEnd;
    }
    return at - from;
}

// The number as written, infinite where it is too large for a double.
double valueAsWritten(QStringView text, qsizetype start, qsizetype length)
{
    // Qt reads "." as the decimal point whatever the locale, and overflow as infinity.
    return text.mid(start, length).toDouble();
}

} // namespace

bool isNumeric(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    // "1e999" has the form but is no number: it would read as infinity.
    return length > 0 && skipBlanks(text, start + length) == text.size()
        && std::isfinite(valueAsWritten(text, start, length));
}

double leadingValue(QStringView text)
{
    const qsizetype start = skipBlanks(text, 0);
    const qsizetype length = numberLength(text, start);
    if (length == 0)
        return 0;
    const double value = valueAsWritten(text, start, length);
    return std::isfinite(value) ? value : 0;
}

} // namespace NumberText
