#include "common/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace relperm {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// A finite value as 15 significant decimal digits: value = 0.d1d2... read as d1.d2... x
// 10^exponent. Trailing zeros are dropped; zero is the digit "0" with exponent 0.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal toDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value) && value != 0.0;
    if (value == 0.0) {
        d.digits = "0";
        return d;
    }
    char buf[64];
    // Precision 14 in scientific form gives 15 significant digits, correctly rounded from
    // the binary value and independent of the locale.
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    (void)ec; // 64 characters always suffice for 15 digits and a three-digit exponent
    std::string_view text(buf, static_cast<std::size_t>(end - buf));
    std::size_t ePos = text.find('e');
    for (char c : text.substr(0, ePos))
        if (isDigit(c))
            d.digits.push_back(c);
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+'), text.data() + text.size(),
                    d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    // Near the largest double (1.7976931348623157E+308) the nearest 15 digits lie above it
    // and would read back as an infinite value; those values keep the 15 digits below.
    if (d.exponent == 308 && d.digits > "179769313486231")
        d.digits = "179769313486231";
    return d;
}

std::string nonFinite(double value) {
    if (std::isnan(value))
        return "NaN";
    return value < 0 ? "-Inf" : "Inf";
}

// Adds one to a string of decimal digits, growing it on a carry out of the first digit.
void incrementDigits(std::string& digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return;
        }
        *it = '0';
    }
    digits.insert(digits.begin(), '1');
}

// |value| x 10^decimals rounded half away from zero, as a string of at least one digit.
std::string scaledRounded(const Decimal& d, int decimals) {
    const int exponent = d.exponent + decimals; // place of the first digit after scaling
    const int kept = exponent + 1;              // digits before the scaled point
    if (kept < 0)
        return "0";
    if (kept == 0)
        return d.digits[0] >= '5' ? "1" : "0";
    std::string result = d.digits.substr(0, static_cast<std::size_t>(kept));
    result.resize(static_cast<std::size_t>(kept), '0');
    if (static_cast<std::size_t>(kept) < d.digits.size() &&
        d.digits[static_cast<std::size_t>(kept)] >= '5')
        incrementDigits(result);
    return result;
}

struct Pattern {
    bool hasPoint = false;
    int minIntegerDigits = 0;
    int minDecimals = 0;
    int maxDecimals = 0;
};

Pattern parsePattern(std::string_view pattern) {
    Pattern p;
    std::size_t point = pattern.find('.');
    p.hasPoint = point != std::string_view::npos;
    for (char c : pattern.substr(0, point))
        if (c == '0')
            ++p.minIntegerDigits;
    if (p.hasPoint) {
        int position = 0;
        for (char c : pattern.substr(point + 1)) {
            if (c != '#' && c != '0')
                continue;
            ++position;
            if (c == '0')
                p.minDecimals = position;
        }
        p.maxDecimals = position;
    }
    return p;
}

} // namespace

double textToNumber(std::string_view text) {
    std::string number;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i]))
            ++i;
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        if (text[i] == '-')
            number.push_back('-');
        ++i;
    }
    bool seenPoint = false;
    int mantissaDigits = 0;
    int integerDigits = 0; // significant digits before the point, for out-of-range results
    for (skipBlanks(); i < text.size(); ++i, skipBlanks()) {
        char c = text[i];
        if (isDigit(c)) {
            ++mantissaDigits;
            if (!seenPoint && (integerDigits > 0 || c != '0'))
                ++integerDigits;
            number.push_back(c);
        } else if (c == '.' && !seenPoint) {
            seenPoint = true;
            number.push_back(c);
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return 0.0;

    long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        auto skip = [&] {
            while (j < text.size() && isBlank(text[j]))
                ++j;
        };
        skip();
        bool negative = false;
        if (j < text.size() && (text[j] == '-' || text[j] == '+')) {
            negative = text[j] == '-';
            ++j;
        }
        std::string digits;
        bool seenExponentDigit = false;
        for (skip(); j < text.size() && isDigit(text[j]); ++j, skip()) {
            seenExponentDigit = true;
            // Six significant exponent digits already put any value out of range.
            if ((text[j] != '0' || !digits.empty()) && digits.size() < 6)
                digits.push_back(text[j]);
        }
        if (seenExponentDigit) {
            if (digits.empty())
                digits = "0";
            exponent = std::stol(digits) * (negative ? -1 : 1);
            number += "e" + std::to_string(exponent);
        }
    }

    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        const bool negative = number.front() == '-';
        const double magnitude =
            integerDigits + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        return negative ? -magnitude : magnitude;
    }
    return value;
}

std::optional<double> parseNumber(std::string_view text) {
    std::size_t i = 0;
    auto at = [&](auto predicate) { return i < text.size() && predicate(text[i]); };
    auto digits = [&] {
        std::size_t start = i;
        while (at(isDigit))
            ++i;
        return i - start;
    };
    while (at(isBlank))
        ++i;
    if (at([](char c) { return c == '-' || c == '+'; }))
        ++i;
    std::size_t mantissa = digits();
    if (at([](char c) { return c == '.'; })) {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return std::nullopt;
    if (at([](char c) { return c == 'e' || c == 'E'; })) {
        ++i;
        if (at([](char c) { return c == '-' || c == '+'; }))
            ++i;
        if (digits() == 0)
            return std::nullopt;
    }
    while (at(isBlank))
        ++i;
    if (i != text.size())
        return std::nullopt;
    return textToNumber(text);
}

std::string formatPattern(double value, std::string_view pattern) {
    if (!std::isfinite(value))
        return nonFinite(value);
    const Pattern p = parsePattern(pattern);
    const Decimal d = toDecimal(value);
    const std::string scaled = scaledRounded(d, p.maxDecimals);

    const std::size_t decimals = static_cast<std::size_t>(p.maxDecimals);
    std::string padded = scaled.size() < decimals + 1
                             ? std::string(decimals + 1 - scaled.size(), '0') + scaled
                             : scaled;
    std::string integer = padded.substr(0, padded.size() - decimals);
    std::string fraction = padded.substr(padded.size() - decimals);

    const bool isZero = scaled.find_first_not_of('0') == std::string::npos;
    integer.erase(0, integer.find_first_not_of('0'));
    if (integer.size() < static_cast<std::size_t>(p.minIntegerDigits))
        integer.insert(0, static_cast<std::size_t>(p.minIntegerDigits) - integer.size(), '0');
    while (fraction.size() > static_cast<std::size_t>(p.minDecimals) && fraction.back() == '0')
        fraction.pop_back();

    std::string out = d.negative && !isZero ? "-" : "";
    out += integer;
    if (p.hasPoint)
        out += "." + fraction;
    return out;
}

void appendGeneral(std::string& out, double value, SignPlace sign) {
    if (!std::isfinite(value)) {
        out += nonFinite(value);
        return;
    }
    if (std::signbit(value) && value != 0.0)
        out += '-';
    else if (sign == SignPlace::Blank)
        out += ' ';
    if (value == 0.0) {
        out += '0';
        return;
    }
    // The digits and exponent as toDecimal takes them, without its strings: the general
    // form is written for every value of every table.
    char buf[32];
    auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific, 14);
    (void)ec; // 32 characters always suffice for 15 digits and a three-digit exponent
    char digits[15];
    digits[0] = buf[0];
    std::copy(buf + 2, buf + 16, digits + 1);
    int count = 15;
    while (count > 1 && digits[count - 1] == '0')
        --count;
    int e = 0;
    const char* exponent = buf + 17; // after "d.dddddddddddddde"
    std::from_chars(exponent + (*exponent == '+'), end, e);
    // Near the largest double the nearest 15 digits lie above it and would read back as an
    // infinite value; those values keep the 15 digits below.
    if (e == 308 && std::string_view(digits, static_cast<std::size_t>(count)) > "179769313486231") {
        std::copy_n("179769313486231", 15, digits);
        count = 15;
    }
    const std::string_view d(digits, static_cast<std::size_t>(count));
    if (e < -4 || e > 14) {
        out += d[0];
        if (d.size() > 1) {
            out += '.';
            out += d.substr(1);
        }
        const int magnitude = e < 0 ? -e : e;
        out += e < 0 ? "E-" : "E+";
        if (magnitude < 10)
            out += '0';
        char exp[8];
        auto [expEnd, expEc] = std::to_chars(exp, exp + sizeof exp, magnitude);
        (void)expEc;
        out.append(exp, expEnd);
    } else if (e >= 0) {
        const std::size_t integerDigits = static_cast<std::size_t>(e) + 1;
        out += d.substr(0, std::min(integerDigits, d.size()));
        if (integerDigits > d.size())
            out.append(integerDigits - d.size(), '0');
        if (d.size() > integerDigits) {
            out += '.';
            out += d.substr(integerDigits);
        }
    } else {
        out += '.';
        out.append(static_cast<std::size_t>(-e - 1), '0');
        out += d;
    }
}

std::string formatGeneral(double value, SignPlace sign) {
    std::string out;
    appendGeneral(out, value, sign);
    return out;
}

double appendGeneralValue(std::string& out, double value) {
    const std::size_t start = out.size();
    appendGeneral(out, value);
    if (!std::isfinite(value) || value == 0)
        return value;
    double read = value;
    std::from_chars(out.data() + start, out.data() + out.size(), read);
    return read;
}

double generalValue(double value) {
    if (!std::isfinite(value) || value == 0)
        return value;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    (void)ec; // as in toDecimal
    double read = value;
    std::from_chars(buf, end, read);
    // Past the largest double the 15 digits read back as infinite; formatGeneral keeps the
    // digits below.
    if (std::isinf(read))
        return parseNumber(formatGeneral(value)).value_or(value);
    return read;
}

} // namespace relperm
