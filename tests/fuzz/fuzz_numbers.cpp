// The text-to-number rule of the boxes, the strict number of a file field, and the two
// number formatters. The input is the text; its first eight bytes are also taken as the
// bits of a double, so the formatters see every kind of value (subnormal, huge, NaN).
//
// Checks: a field that is a number is the value the box rule reads from it; the general
// form of a finite value is a field that reads back to the same general form.
#include "common/numbers.h"
#include "fuzz_check.h"

#include <bit>
#include <cmath>
#include <cstring>

using namespace relperm;
using relperm::fuzz::require;

namespace {

const char* const patterns[] = {"#.##", "#.0####", "#.0#",  "#####",
                                "##.#", "##.##",   "#.0##", "#.0###"};

void format(double value) {
    for (const char* pattern : patterns)
        formatPattern(value, pattern);
    const std::string general = formatGeneral(value);
    formatGeneral(value, SignPlace::Blank);
    if (!std::isfinite(value))
        return;
    const std::optional<double> back = parseNumber(general);
    require(back.has_value(), "the general form is a number field", general);
    require(formatGeneral(*back) == general, "the general form reads back to itself", general);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    const double typed = textToNumber(text);
    if (const std::optional<double> field = parseNumber(text)) {
        require(std::bit_cast<std::uint64_t>(*field) == std::bit_cast<std::uint64_t>(typed),
                "a number field reads as the box rule reads it", std::string(text));
        format(*field);
    }
    format(typed);
    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        format(bits);
    }
    return 0;
}
