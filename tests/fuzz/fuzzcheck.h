#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <string>

// A broken property ends the run like a crash does, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition, what)                                                                \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "property failed: %s (%s)\n", what, #condition);                  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace FuzzText {

inline QString fromBytes(const unsigned char *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

// The characters a plain decimal number is written with; strtod reads nothing else from them
// than such a number (no "inf", "nan" or hexadecimal).
inline bool isNumberChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'+' || c == u'-' || c == u'e'
        || c == u'E';
}

// strtod in the C locale over text made only of number characters: the value and how many
// characters it took.
inline double referenceValue(QStringView text, qsizetype &used)
{
    const std::string ascii = text.toLatin1().toStdString();
    char *end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    used = end - ascii.c_str();
    return used == 0 ? 0.0 : value;
}

} // namespace FuzzText
