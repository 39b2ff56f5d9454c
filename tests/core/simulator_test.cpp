#include "calculator/simulator.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

const SimulatorRun run{"relperm",          "Well 7", "Water-Oil-Gas", "Corey", "Select Wettability",
                       "Select Formation", "5"};

std::string written(const CalculatorState& s, bool repair = false,
                    std::vector<Keyword> keywords = {}) {
    auto out =
        simulatorTables(s, run, keywords.empty() ? keywordsFor(s.fluidSystem) : keywords, repair);
    if (const auto* r = std::get_if<Refusal>(&out)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<std::string>(out);
}

std::string refusal(const CalculatorState& s, bool repair = false,
                    std::vector<Keyword> keywords = {}) {
    auto out =
        simulatorTables(s, run, keywords.empty() ? keywordsFor(s.fluidSystem) : keywords, repair);
    if (!std::holds_alternative<Refusal>(out)) {
        ADD_FAILURE() << "written:\n" << std::get<std::string>(out);
        return {};
    }
    return std::get<Refusal>(out).message;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        out.push_back(text.substr(start, end - start));
    return out;
}

TEST(SimulatorKeywords, FollowTheFluidSystem) {
    EXPECT_EQ(keywordsFor(FluidSystem::WaterOilGas), (std::vector{Keyword::SWOF, Keyword::SGOF}));
    EXPECT_EQ(keywordsFor(FluidSystem::WaterGas), (std::vector{Keyword::SWFN, Keyword::SGFN}));
    EXPECT_EQ(keywordsFor(FluidSystem::GasCondensate), (std::vector{Keyword::SGOF}));
    const CalculatorState wg = generated(gasSystemExample("Water-Gas"));
    EXPECT_EQ(refusal(wg, false, {Keyword::SWOF}),
              "SWOF does not fit the Water-Oil-Gas system; it takes SWFN and SGFN.");
}

TEST(SimulatorTables, WriteTheCommentBlockTheKeywordsAndTheirRows) {
    const std::string text = written(generated(workedExample("Wyllie", "Sandstone")));
    const auto l = lines(text);
    EXPECT_EQ(l[0].rfind("-- Relative permeability tables written by relperm ", 0), 0u);
    EXPECT_EQ(l[1], "-- Title: Well 7");
    EXPECT_EQ(l[6], "-- Swc 20%, Sorw 25%, Sorg 10%, Sgc 5%, saturation spacing 5%");
    EXPECT_EQ(l[7], "-- Porosity 20%, permeability 100 md, krg at Sorg .8");
    EXPECT_EQ(l[9], "-- No value was changed.");
    auto swof = std::find(l.begin(), l.end(), "SWOF");
    ASSERT_NE(swof, l.end());
    EXPECT_EQ(*(swof + 1), "-- Sw                  krw                 krow                Pcow");
    EXPECT_EQ(*(swof + 2), "   .2                  0                   1                   0");
    EXPECT_EQ(*(swof + 14), "/") << "12 rows, then the closing slash";
    auto sgof = std::find(l.begin(), l.end(), "SGOF");
    ASSERT_NE(sgof, l.end());
    EXPECT_EQ(*(sgof + 2), "   0                   0                   1                   0");
    EXPECT_EQ(*(sgof + 8), "   .3                  .0568957669549386   .186588921282799    0")
        << "at least 7 significant digits";
    EXPECT_EQ(*(sgof + 17), "/");
}

TEST(SimulatorTables, RefuseAKrThatMovesAgainstItsCurveAndRepairLevelsIt) {
    // Corey's krog turns up again beyond Sg = 1 - Swc - Sorg - Sgc.
    const CalculatorState corey = generated(workedExample("Corey"));
    EXPECT_EQ(refusal(corey), "The table cannot go into a simulator deck: krog must not rise as "
                              "Sg increases; SGOF row 15 (Sg .7) has krog 3.50127796645779E-05 "
                              "after 0 (a repair levels it).");
    const std::string repaired = written(corey, true);
    EXPECT_NE(repaired.find("--   SGOF row 15 (Sg .7): krog 3.50127796645779E-05 is set to 0, "
                            "the value of the row before, so the curve does not rise.\n"),
              std::string::npos)
        << repaired;
    EXPECT_NE(repaired.find("   .7                  1                   0                   0\n"),
              std::string::npos);
}

TEST(SimulatorTables, RefuseKrAboveOneAndRepairClipsIt) {
    const CalculatorState rose = generated(workedExample("Rose"));
    EXPECT_EQ(refusal(rose), "The table cannot go into a simulator deck: krg must lie between 0 "
                             "and 1; SGOF row 13 (Sg .6) has krg 1.06648073261611 (a repair "
                             "clips it).");
    EXPECT_NE(written(rose, true).find("SGOF row 13 (Sg .6): krg 1.06648073261611 is set to 1"),
              std::string::npos);

    GenerateInput in = gasSystemExample("Water-Gas");
    in.swc = "10";
    in.porosity = "10";
    in.sgc = "10";
    in.permeability = "1000";
    // The water curve passes 1 first at Sw .75 on its way to 2.66 at Sw = 1.
    EXPECT_EQ(refusal(generated(in)).substr(0, 108),
              "The table cannot go into a simulator deck: krw must lie between 0 and 1; SWFN row "
              "14 (Sw .75) has krw 1.0291");
}

TEST(SimulatorTables, RefuseARowBeyondTheEndOfTheGasTableAndRepairDropsIt) {
    GenerateInput in = workedExample("Wyllie", "Sandstone");
    in.sgc = "68"; // rows 0, .68, .73, then .7 = 1 - Swc - Sorg
    const CalculatorState s = generated(in);
    EXPECT_EQ(refusal(s), "The table cannot go into a simulator deck: Sg must increase from row "
                          "to row; SGOF row 4 has Sg .7 after .73 in row 3 (a repair drops such "
                          "rows).");
    const std::string repaired = written(s, true);
    EXPECT_NE(repaired.find("the gas table's row 3 (Sg .73) is dropped: saturations must "
                            "increase, and a later row has Sg .7."),
              std::string::npos)
        << repaired;
    EXPECT_EQ(repaired.find("   .73 "), std::string::npos);
}

TEST(SimulatorTables, WriteTheWaterGasSystemAsSwfnFromSwcUpAndSgfn) {
    const std::string text = written(generated(gasSystemExample("Water-Gas")));
    const auto l = lines(text);
    auto swfn = std::find(l.begin(), l.end(), "SWFN");
    ASSERT_NE(swfn, l.end());
    EXPECT_EQ(*(swfn + 1), "-- Sw                  krw                 Pcgw");
    EXPECT_EQ(*(swfn + 2), "   .2                  0                   0");
    EXPECT_EQ(*(swfn + 18), "   1                   .643350084393097    0");
    EXPECT_NE(std::find(l.begin(), l.end(), "SGFN"), l.end());
    EXPECT_EQ(text.find("Correlation"), std::string::npos);
}

TEST(SimulatorTables, WriteTheCondensateAsTheLiquidOfSgof) {
    const std::string text = written(generated(gasSystemExample("Gas-Condensate")));
    EXPECT_NE(text.find("-- Slc 20%, Sgc 5%"), std::string::npos);
    EXPECT_NE(text.find("SGOF carries the condensate as the liquid (oil) phase"),
              std::string::npos);
    EXPECT_NE(text.find("-- Sg                  krg                 krcg"), std::string::npos);
}

TEST(SimulatorTables, RefuseWhenNothingWasGenerated) {
    EXPECT_EQ(refusal(CalculatorState{}), "There are no tables yet: generate them first.");
}

} // namespace
} // namespace relperm
