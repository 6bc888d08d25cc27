// The pause's number reader: whatever the text, a finite number equal to what strtod reads from
// its start, and 0 where no number starts or it is too large to wait for.
#include "fuzzcheck.h"
#include "logic/numbertext.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    using namespace FuzzText;
    const QString text = fromBytes(data, size);
    const double value = NumberText::leadingValue(text);
    FUZZ_CHECK(std::isfinite(value), "the pause never waits NaN or endless seconds");

    qsizetype from = 0;
    while (from < text.size() && isBlank(text.at(from)))
        ++from;
    qsizetype to = from;
    while (to < text.size() && isNumberChar(text.at(to)))
        ++to;
    qsizetype used = 0;
    const double reference = referenceValue(QStringView(text).sliced(from, to - from), used);
    FUZZ_CHECK(value == (std::isfinite(reference) ? reference : 0.0),
               "the value is the number at the start of the text");
    return 0;
}
