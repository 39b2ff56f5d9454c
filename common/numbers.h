// Number rules shared by every program of the suite.
//
// Three conversions, each in one place:
//  - textToNumber: how a box's text becomes a value (the number at the start of the text).
//  - formatPattern: the fixed display patterns ("#.##", "#.0####", "##.#", "#####", ...).
//  - formatGeneral: the general number form used in text files, in boxes filled from a file
//    and in plot labels (".35", "1E-05", "20").
//
// All three ignore the process locale: the point is always the decimal separator.
//
// Rounding of display patterns. A value is first taken to 15 significant digits, the
// precision the general form shows, and that decimal is then rounded half away from zero
// at the last placeholder of the pattern. So a value the user typed as 0.145 (stored in
// binary as 0.14499999999999999) prints as .15 with "#.##", exactly as the typed decimal
// would round, and -0.145 prints as -.15. A value that rounds to zero prints without a
// minus sign (-0.000001 with "#.0####" prints .0, not -.0).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace relperm {

// The value of a box's text: blanks (spaces and tabs) are skipped wherever they stand, an
// optional sign, digits with at most one point, an optional exponent (E or e, optional sign,
// digits); reading stops at the first other character. A text without a number gives 0.
// A number too large for a double gives an infinite value, which callers refuse.
double textToNumber(std::string_view text);

// A field of a file that must hold a number and nothing else: an optional sign, digits
// with at most one point, an optional exponent, blanks only around it. Returns nothing for
// any other text, including an empty one.
std::optional<double> parseNumber(std::string_view text);

// `value` shown with a display pattern. In a pattern '#' is an optional digit, '0' a
// required digit and '.' the point, which is always printed when the pattern has one. No
// zero is printed before the point, every integer digit is printed, the decimals run from
// the number of required zeros up to the number of placeholders with trailing zeros dropped:
// 0.25 "#.##" -> ".25", 1 "#.##" -> "1.", 0 "#.0####" -> ".0", 523.4 "#####" -> "523",
// 0 "#####" -> "" (no digit is required).
std::string formatPattern(double value, std::string_view pattern);

enum class SignPlace { None, Blank };

// The general number form: the shortest decimal of at most 15 significant digits, no zero
// before the point when the magnitude is below 1 (.35), a hyphen-minus when negative, and
// the scientific form d.dddE+dd when the decimal exponent is below -4 or above 14 (1E-05).
// With SignPlace::Blank a non-negative number is preceded by one blank (" 20").
std::string formatGeneral(double value, SignPlace sign = SignPlace::None);
// The same text appended to `out`, for writers of many values.
void appendGeneral(std::string& out, double value, SignPlace sign = SignPlace::None);
// Appends the general form of `value` to `out` and gives the value that text reads back as
// (generalValue's), from one formatting.
double appendGeneralValue(std::string& out, double value);

// The value formatGeneral's text reads back as (parseNumber(formatGeneral(value))), without
// making the text: a value at the 15 significant digits a file holds. Not finite values
// stay as they are.
double generalValue(double value);

} // namespace relperm
