// The numeric check of "Set Launch Interval": it accepts exactly the plain decimal numbers,
// blanks around them allowed, too large for a double refused, and what it accepts the pause
// reads whole.
#include "fuzzcheck.h"
#include "logic/numbertext.h"

#include <algorithm>
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, std::size_t size)
{
    using namespace FuzzText;
    const QString text = fromBytes(data, size);
    const bool numeric = NumberText::isNumeric(text);

    QStringView core(text);
    while (!core.isEmpty() && isBlank(core.front()))
        core = core.sliced(1);
    while (!core.isEmpty() && isBlank(core.back()))
        core.chop(1);

    qsizetype used = 0;
    const bool plain = std::all_of(core.begin(), core.end(), isNumberChar);
    const double reference = plain ? referenceValue(core, used) : 0.0;
    const bool expected
        = plain && !core.isEmpty() && used == core.size() && std::isfinite(reference);
    FUZZ_CHECK(numeric == expected,
               "the check accepts exactly the finite numbers strtod reads whole");

    if (numeric) {
        const double value = NumberText::leadingValue(text);
        FUZZ_CHECK(!std::isnan(value), "an accepted interval is a number");
        FUZZ_CHECK(value == reference, "the pause reads the whole accepted text");
    }
    return 0;
}
