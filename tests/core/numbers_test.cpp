#include "common/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

namespace relperm {
namespace {

TEST(TextToNumber, ReadsTheNumberAtTheStartOfTheText) {
    EXPECT_EQ(textToNumber("20"), 20.0);
    EXPECT_EQ(textToNumber("  20"), 20.0);
    EXPECT_EQ(textToNumber(" 20 %"), 20.0);
    EXPECT_EQ(textToNumber("12.5abc"), 12.5);
    EXPECT_EQ(textToNumber(".35"), 0.35);
    EXPECT_EQ(textToNumber("5."), 5.0);
    EXPECT_EQ(textToNumber("-7.25"), -7.25);
    EXPECT_EQ(textToNumber("+3"), 3.0);
    EXPECT_EQ(textToNumber("1.2.3"), 1.2);
}

TEST(TextToNumber, SkipsBlanksWhereverTheyStand) {
    EXPECT_EQ(textToNumber("1 000"), 1000.0);
    EXPECT_EQ(textToNumber("- 5"), -5.0);
    EXPECT_EQ(textToNumber("\t2\t5"), 25.0);
}

TEST(TextToNumber, TextWithoutANumberGivesZero) {
    EXPECT_EQ(textToNumber(""), 0.0);
    EXPECT_EQ(textToNumber("   "), 0.0);
    EXPECT_EQ(textToNumber("Select"), 0.0);
    EXPECT_EQ(textToNumber("."), 0.0);
    EXPECT_EQ(textToNumber("-"), 0.0);
    EXPECT_EQ(textToNumber("%20"), 0.0);
}

TEST(TextToNumber, ReadsExponentsAsTheGeneralFormWritesThem) {
    EXPECT_EQ(textToNumber(" 1E-05"), 0.00001);
    EXPECT_EQ(textToNumber("2.5e3"), 2500.0);
    EXPECT_EQ(textToNumber("1E+15"), 1e15);
    EXPECT_EQ(textToNumber("5E"), 5.0);
    EXPECT_EQ(textToNumber("5Ex"), 5.0);
    EXPECT_EQ(textToNumber("1e0000002"), 100.0);
}

TEST(TextToNumber, OutOfRangeGivesInfinityOrZero) {
    EXPECT_EQ(textToNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(textToNumber("-1e99999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(textToNumber("1e-400"), 0.0);
}

TEST(TextToNumber, IgnoresTheProcessLocale) {
    const char* old = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8"))
        std::setlocale(LC_NUMERIC, "C.UTF-8");
    EXPECT_EQ(textToNumber("12.5"), 12.5);
    EXPECT_EQ(formatGeneral(0.35), ".35");
    EXPECT_EQ(formatPattern(0.25, "#.##"), ".25");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(ParseNumber, AcceptsOnlyAWholeNumber) {
    EXPECT_EQ(parseNumber("20"), 20.0);
    EXPECT_EQ(parseNumber(" .35 "), 0.35);
    EXPECT_EQ(parseNumber("-1E-05"), -0.00001);
    EXPECT_EQ(parseNumber("5."), 5.0);
    for (const char* bad : {"", " ", ".", "-", "20%", "1 2", "abc", "1E", "1e+", "0x10", "1.2.3"})
        EXPECT_EQ(parseNumber(bad), std::nullopt) << '"' << bad << '"';
}

struct PatternCase {
    double value;
    const char* pattern;
    const char* shown;
};

void PrintTo(const PatternCase& c, std::ostream* os) {
    *os << c.value << " with \"" << c.pattern << "\"";
}

class FormatPattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(FormatPattern, ShowsTheValueAsTheUserSeesIt) {
    const PatternCase& c = GetParam();
    EXPECT_EQ(formatPattern(c.value, c.pattern), c.shown)
        << c.value << " with \"" << c.pattern << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    CalculatorPatterns, FormatPattern,
    ::testing::Values(
        PatternCase{0.25, "#.##", ".25"}, PatternCase{0.3, "#.##", ".3"},
        PatternCase{1, "#.##", "1."}, PatternCase{0, "#.##", "."},
        PatternCase{0.30000000000000004, "#.##", ".3"}, PatternCase{0, "#.0####", ".0"},
        PatternCase{1, "#.0####", "1.0"}, PatternCase{0.5, "#.0####", ".5"},
        PatternCase{0.123456, "#.0####", ".12346"}, PatternCase{0.772476, "#.0####", ".77248"},
        PatternCase{0.999996, "#.0####", "1.0"}, PatternCase{0.000004, "#.0####", ".0"},
        PatternCase{4.476197, "#.0####", "4.4762"}, PatternCase{228.77, "#.0####", "228.77"},
        PatternCase{-0.84, "#.0####", "-.84"}, PatternCase{-0.000001, "#.0####", ".0"},
        PatternCase{0, "#.0#", ".0"}, PatternCase{0.05, "#.0#", ".05"},
        PatternCase{0.7, "#.0#", ".7"}, PatternCase{0.6799999999999999, "#.0#", ".68"}));

INSTANTIATE_TEST_SUITE_P(
    BrowserPatterns, FormatPattern,
    ::testing::Values(PatternCase{523.4, "#####", "523"}, PatternCase{523.5, "#####", "524"},
                      PatternCase{0, "#####", ""}, PatternCase{25, "##.#", "25."},
                      PatternCase{25.3, "##.#", "25.3"}, PatternCase{0, "##.#", "."},
                      PatternCase{123.45, "##.#", "123.5"}, PatternCase{12.345, "##.##", "12.35"},
                      PatternCase{0.25, "#.0##", ".25"}, PatternCase{1, "#.0##", "1.0"},
                      PatternCase{0.123, "#.0##", ".123"}, PatternCase{0.1234, "#.0###", ".1234"},
                      PatternCase{0.99995, "#.0###", "1.0"}));

// Halfway values round as the decimal the user typed, not as its binary neighbour.
INSTANTIATE_TEST_SUITE_P(
    HalfwayRoundsAwayFromZero, FormatPattern,
    ::testing::Values(PatternCase{0.145, "#.##", ".15"}, PatternCase{-0.145, "#.##", "-.15"},
                      PatternCase{0.125, "#.##", ".13"}, PatternCase{2.675, "#.##", "2.68"},
                      PatternCase{1.005, "#.##", "1.01"},
                      PatternCase{0.000005, "#.0####", ".00001"}, PatternCase{0.995, "#.0#", "1.0"},
                      PatternCase{2.5, "#####", "3"}, PatternCase{0.05, "##.#", ".1"}));

TEST(FormatGeneral, WritesTheShortestFormOfFifteenDigits) {
    EXPECT_EQ(formatGeneral(0.35), ".35");
    EXPECT_EQ(formatGeneral(-0.35), "-.35");
    EXPECT_EQ(formatGeneral(20), "20");
    EXPECT_EQ(formatGeneral(1), "1");
    EXPECT_EQ(formatGeneral(0), "0");
    EXPECT_EQ(formatGeneral(-0.0), "0");
    EXPECT_EQ(formatGeneral(12.5), "12.5");
    EXPECT_EQ(formatGeneral(0.1 + 0.2), ".3");
    EXPECT_EQ(formatGeneral(1.0 / 3), ".333333333333333");
    EXPECT_EQ(formatGeneral(2.0 / 3), ".666666666666667");
    EXPECT_EQ(formatGeneral(0.0001), ".0001");
    EXPECT_EQ(formatGeneral(123456789012345.0), "123456789012345");
    EXPECT_EQ(formatGeneral(0.07 * 100), "7");
}

TEST(FormatGeneral, UsesTheScientificFormOutsideTheUsualExponents) {
    EXPECT_EQ(formatGeneral(0.00001), "1E-05");
    EXPECT_EQ(formatGeneral(0.0000123), "1.23E-05");
    EXPECT_EQ(formatGeneral(-0.00001), "-1E-05");
    EXPECT_EQ(formatGeneral(1e15), "1E+15");
    EXPECT_EQ(formatGeneral(2.5e100), "2.5E+100");
    EXPECT_EQ(formatGeneral(1e-300), "1E-300");
}

TEST(FormatGeneral, PutsABlankInTheSignPlaceWhenAsked) {
    EXPECT_EQ(formatGeneral(20, SignPlace::Blank), " 20");
    EXPECT_EQ(formatGeneral(0.2, SignPlace::Blank), " .2");
    EXPECT_EQ(formatGeneral(0, SignPlace::Blank), " 0");
    EXPECT_EQ(formatGeneral(-5, SignPlace::Blank), "-5");
}

TEST(FormatGeneral, ReadsBackToTheSameFifteenDigits) {
    for (double v : {0.2, 0.75, 1.0 / 3, 4.476197, 1e-5, 123.456, 0.30000000000000004}) {
        const std::string text = formatGeneral(v);
        EXPECT_EQ(formatGeneral(textToNumber(text)), text) << v;
        EXPECT_NEAR(textToNumber(text), v, std::fabs(v) * 1e-14) << text;
    }
}

} // namespace
} // namespace relperm
