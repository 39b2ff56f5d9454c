// Inputs the fuzz targets of tests/fuzz/ found to break a reader or a writer, kept here so
// the normal suite (and its sanitizer run) holds the fix.
#include "calculator/runfile.h"
#include "common/numbers.h"
#include "common/simulatorfile.h"
#include "database/datasetfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace relperm {
namespace {

// fuzz_runfile: Open took a number too large for a double as an infinite value, filled the
// box with "Inf" and Save As then wrote a file that Open refused.
TEST(FuzzFindings, ARunFileNumberTooLargeForADoubleIsRefusedNamingTheField) {
    const std::string found = "\"\",-1,-1,-1,-1,\t,-16666618,20,2666666, 186666E666666, 18,20,25\n";
    auto parsed = parseRunFile(found);
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_EQ(std::get<std::string>(parsed),
              "field 10 (Sgc) is too large to be a number: \"186666E666666\".");

    parsed = parseRunFile("\"t\",-1,-1,-1,-1,0,0,0,0,0,,-1e400\r\n");
    ASSERT_TRUE(std::holds_alternative<std::string>(parsed));
    EXPECT_NE(std::get<std::string>(parsed).find("field 12 (the permeability)"), std::string::npos);
}

// fuzz_numbers: the 15 nearest digits of the largest doubles lie above the largest double,
// so what the writers put in a file read back as an infinite value (and files refused it).
TEST(FuzzFindings, TheLargestDoublesWriteAGeneralFormThatReadsBack) {
    const double largest = std::numeric_limits<double>::max();
    for (double value : {largest, -largest, std::nextafter(largest, 0.0)}) {
        const std::string text = formatGeneral(value);
        SCOPED_TRACE(text);
        const std::optional<double> back = parseNumber(text);
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(std::isfinite(*back));
        EXPECT_EQ(formatGeneral(*back), text);
    }
    EXPECT_EQ(formatGeneral(largest), "1.79769313486231E+308");
    EXPECT_EQ(formatGeneral(-largest), "-1.79769313486231E+308");
    EXPECT_EQ(formatGeneral(1.79769313486231e308), "1.79769313486231E+308");
    EXPECT_EQ(formatGeneral(1.7976931348623e308), "1.7976931348623E+308");
    EXPECT_EQ(formatGeneral(1e308), "1E+308") << "values away from the limit keep their form";
}

TEST(FuzzFindings, ADataSetHoldingTheLargestDoubleSavesAFileThatOpens) {
    SavedDataSet saved;
    saved.systemIndex = 3;
    saved.values.permeabilityMd = TaggedValue::of(std::numeric_limits<double>::max());
    saved.values.pointCount = 1;
    saved.values.krAxis[1] = -std::numeric_limits<double>::max();
    const std::string text = dataSetFileText(saved);
    SavedDataSet back;
    EXPECT_EQ(parseDataSetFile(text, "saved.txt", back), std::nullopt) << text;
    EXPECT_EQ(dataSetFileText(back), text);
}

// fuzz_tables: the simulator writer checked saturations for order only, so a measured set
// with a point at Sw -.1 (or a NaN anywhere, which every comparison lets through) gave an
// include file the simulator rejects; and two saturations that differ past the fifteenth
// digit passed as rising but were written as the same number.
std::string refusalOf(const SaturationTables& tables, SimulatorOptions options) {
    const auto file = simulatorFile(tables, {}, options);
    if (const auto* refusal = std::get_if<Refusal>(&file))
        return refusal->message;
    return "written:\n" + std::get<std::string>(file);
}

TEST(FuzzFindings, TheSimulatorWriterRefusesWhatTheSimulatorWouldReject) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    SaturationTables below;
    below.waterOil = {{-0.1, 0, 1}, {0.5, 0.2, 0.3}};
    EXPECT_EQ(refusalOf(below, {.keywords = {Keyword::SWOF}, .repair = true}),
              "The table cannot go into a simulator deck: Sw must lie between 0 and 1; SWOF row 1 "
              "(Sw -.1) is outside (a repair cannot move a saturation).");
    SaturationTables noNumber;
    noNumber.waterOil = {{0.2, 0, 1}, {0.5, nan, 0.3}};
    EXPECT_EQ(refusalOf(noNumber, {.keywords = {Keyword::SWOF}, .repair = true}),
              "The table cannot go into a simulator deck: krw must lie between 0 and 1; SWOF row "
              "2 (Sw .5) has krw NaN.");
    SaturationTables gas;
    gas.gas = {{0, 1, 0}, {0.5, 0, 0.4}};
    gas.swc = nan;
    EXPECT_EQ(
        refusalOf(gas, {.keywords = {Keyword::SGOF}}),
        "The table cannot go into a simulator deck: Swc must lie between 0 and 1; it is NaN.");
    SaturationTables close;
    close.waterOil = {{0.2, 0, 1}, {0.3, 0.1, 0.5}, {0.1 + 0.2, 0.2, 0.4}};
    EXPECT_EQ(refusalOf(close, {.keywords = {Keyword::SWOF}}),
              "The table cannot go into a simulator deck: Sw must increase from row to row; SWOF "
              "row 3 has Sw .3 after .3 in row 2 (a repair drops such rows).");
}

} // namespace
} // namespace relperm
