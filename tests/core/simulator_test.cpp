#include "calculator/simulator.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

// The include file of a generation with `in`, every keyword of its system unless
// `options` names some.
std::variant<std::string, Refusal> tablesOf(const GenerateInput& in, SimulatorOptions options = {},
                                            const std::string& title = "Well 7") {
    const CalculatorState s = generated(in);
    if (options.keywords.empty())
        options.keywords = keywordsFor(s.fluidSystem);
    return simulatorTables(s, SimulatorRun{"relperm", title, in}, options);
}

std::string written(const GenerateInput& in, SimulatorOptions options = {},
                    const std::string& title = "Well 7") {
    auto out = tablesOf(in, std::move(options), title);
    if (const auto* r = std::get_if<Refusal>(&out)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<std::string>(out);
}

Refusal refusal(const GenerateInput& in, SimulatorOptions options = {}) {
    auto out = tablesOf(in, std::move(options));
    if (!std::holds_alternative<Refusal>(out)) {
        ADD_FAILURE() << "written:\n" << std::get<std::string>(out);
        return {};
    }
    return std::get<Refusal>(out);
}

const SimulatorOptions repaired{.repair = true};

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
    EXPECT_EQ(refusal(gasSystemExample("Water-Gas"), {.keywords = {Keyword::SWOF}}).message,
              "SWOF does not fit the Water-Gas system; it takes SWFN and SGFN.");
}

TEST(SimulatorTables, WriteTheCommentBlockTheKeywordsAndTheirRows) {
    const auto l = lines(written(workedExample("Wyllie", "Sandstone")));
    EXPECT_EQ(l[0].rfind("-- Relative permeability tables written by relperm ", 0), 0u);
    EXPECT_EQ(l[1], "-- Title: Well 7");
    EXPECT_EQ(l[2], "-- Fluid system: Water-Oil-Gas");
    EXPECT_EQ(l[3], "-- Correlation: Wyllie");
    EXPECT_EQ(l[4], "-- Formation: Sandstone");
    EXPECT_EQ(l[5], "-- Swc 20%, Sorw 25%, Sorg 10%, Sgc 5%, saturation spacing 5%");
    EXPECT_EQ(l[7], "-- No value was changed.");
    auto swof = std::find(l.begin(), l.end(), "SWOF");
    ASSERT_NE(swof, l.end());
    EXPECT_EQ(*(swof + 1), "-- Sw                  krw                 krow                Pcow");
    EXPECT_EQ(*(swof + 2), "   .2                  0                   1                   0");
    EXPECT_EQ(*(swof + 15), "/") << "12 rows, the end row, then the closing slash";
    auto sgof = std::find(l.begin(), l.end(), "SGOF");
    ASSERT_NE(sgof, l.end());
    EXPECT_EQ(*(sgof + 2), "   0                   0                   1                   0");
    EXPECT_EQ(*(sgof + 8), "   .3                  .0568957669549386   .186588921282799    0")
        << "at least 7 significant digits";
    EXPECT_EQ(*(sgof + 18), "/");
}

// The simulator takes a table's last row as the largest saturation of its phase: a SWOF
// that stops at 1 - Sorw leaves Sorw of oil in the aquifer, an SGOF that stops at
// 1 - Swc - Sorg leaves Sorg of oil in the gas cap.
TEST(SimulatorEndRows, TakeWaterToOneAndGasToOneMinusSwcWithNoOilFlowing) {
    const GenerateInput honarpour =
        workedExample("Honarpour/Varnholt/Harvey", "Sandstone", "Water Wet");
    const std::string text = written(honarpour);
    const auto l = lines(text);
    auto swof = std::find(l.begin(), l.end(), "SWOF");
    ASSERT_NE(swof, l.end());
    EXPECT_EQ(*(swof + 13), "   .75                 .137563569640619    0                   0")
        << "the correlation's last row is kept";
    EXPECT_EQ(*(swof + 14), "   1                   1                   0                   0");
    auto sgof = std::find(l.begin(), l.end(), "SGOF");
    ASSERT_NE(sgof, l.end());
    EXPECT_EQ(*(sgof + 16), "   .7                  .765401             0                   0");
    EXPECT_EQ(*(sgof + 17), "   .8                  1                   0                   0");
    EXPECT_NE(text.find("--   SWOF row 13 (Sw 1): krw 1, krow 0; krw straight from Sw .75.\n"
                        "--   SGOF row 16 (Sg .8): krg 1, krog 0; krg straight from Sg .7.\n"),
              std::string::npos)
        << text;

    const std::string lower = written(honarpour, {.krwMax = .5, .krgMax = .9});
    EXPECT_NE(lower.find("\n   1                   .5                  0                   0\n"),
              std::string::npos);
    EXPECT_NE(lower.find("\n   .8                  .9                  0                   0\n"),
              std::string::npos);

    // Only the oil-free end of each table is added: a Sorw of 0 already reaches Sw = 1.
    GenerateInput noSorw = workedExample("Wyllie", "Sandstone");
    noSorw.sorw = "0";
    const std::string reaching = written(noSorw);
    EXPECT_EQ(reaching.find("SWOF row"), std::string::npos) << reaching;
    EXPECT_NE(reaching.find("SGOF row 16 (Sg .8)"), std::string::npos);
}

TEST(SimulatorEndRows, AreRefusedWhenTheyWouldTurnTheirCurveDown) {
    const GenerateInput honarpour =
        workedExample("Honarpour/Varnholt/Harvey", "Sandstone", "Water Wet");
    const Refusal water = refusal(honarpour, {.krwMax = .1});
    EXPECT_EQ(water.input, "krwMax");
    EXPECT_EQ(water.message, "krw at Sw = 1 (the row added at the end of SWOF) must not be below "
                             ".137563569640619, the krw of the last row (Sw .75); it is .1.");
    const Refusal gas = refusal(honarpour, {.krgMax = 1.5});
    EXPECT_EQ(gas.input, "krgMax");
    EXPECT_EQ(gas.message, "krg at Sg = .8 (the row added at the end of SGOF) must lie between 0 "
                           "and 1; it is 1.5.");
}

TEST(SimulatorEndRows, AreNotNeededWhereTheSystemHasNoOil) {
    for (const char* fluids : {"Water-Gas", "Gas-Condensate"}) {
        const std::string text = written(gasSystemExample(fluids));
        EXPECT_EQ(text.find("Rows added"), std::string::npos) << fluids << "\n" << text;
        EXPECT_NE(text.find("\n   .8                  "), std::string::npos)
            << fluids << ": the gas table ends at 1 - Swc\n"
            << text;
    }
}

// The head lists what the equations read, as they read it: a prompt or a wettability the
// correlation does not tell apart shows as the case it falls into.
TEST(SimulatorHeader, ListsOnlyTheInputsTheCorrelationUses) {
    struct Case {
        GenerateInput in;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    GenerateInput ibrahimUnpicked = workedExample("Mohamad Ibrahim/Varnholt", "Carbonate");
    GenerateInput honarpourTyped =
        workedExample("Honarpour/Varnholt/Harvey", "sandstone", "Strongly Water Wet");
    for (const Case& c : {
             Case{workedExample("Corey"),
                  {"-- Correlation: Corey\n-- Swc 20%"},
                  {"Wettability", "Formation", "Porosity", " md", "krg at Sorg"}},
             Case{workedExample("Rose"), {"-- Correlation: Rose\n"}, {"Formation", "Porosity"}},
             Case{ibrahimUnpicked,
                  {"-- Wettability: Oil Wet\n-- Formation: Carbonate\n",
                   "\n-- Porosity 20%, permeability 100 md\n"},
                  {"Select", "krg at Sorg"}},
             Case{workedExample("Mohamad Ibrahim/Varnholt", "Sandstone", "Intermediate (Mixed)"),
                  {"-- Wettability: Intermediate (Mixed)\n", "\n-- Porosity 20%\n"},
                  {" md"}},
             Case{honarpourTyped,
                  {"-- Wettability: Oil or Intermediate Wet\n-- Formation: Carbonate\n",
                   "\n-- Porosity 20%, permeability 100 md, krg at Sorg .8\n"},
                  {"sandstone", "Strongly"}},
             Case{gasSystemExample("Water-Gas"),
                  {"-- Fluid system: Water-Gas\n-- Swc 20%, Sgc 5%, saturation spacing 5%\n"
                   "-- Porosity 20%, permeability 100 md\n"},
                  {"Correlation", "Sorw", "krg at Sorg", "Wettability"}},
             Case{gasSystemExample("Gas-Condensate"),
                  {"-- Slc 20%, Sgc 5%, saturation spacing 5%\n-- Gas-condensate"},
                  {"Correlation", "Porosity", " md", "krg at Sorg"}},
         }) {
        const std::string text = written(c.in, repaired);
        for (const std::string& p : c.present)
            EXPECT_NE(text.find(p), std::string::npos) << p << "\n" << text;
        const std::string head = text.substr(0, text.find("\n\n"));
        for (const std::string& a : c.absent)
            EXPECT_EQ(head.find(a), std::string::npos) << a << "\n" << head;
    }
}

TEST(SimulatorHeader, KeepsWhateverTheTitleHoldsInsideItsComment) {
    const std::string title = "Well 7\nSWOF\n.2 0 1 0\n/\r\nEND\x1b[2J\x7f";
    const std::string text = written(workedExample("Wyllie", "Sandstone"), {}, title);
    const auto l = lines(text);
    EXPECT_EQ(l[1], "-- Title: Well 7 SWOF .2 0 1 0 /  END [2J ");
    EXPECT_EQ(std::count(l.begin(), l.end(), "SWOF"), 1);
    EXPECT_EQ(std::count(l.begin(), l.end(), "END"), 0);
    for (const std::string& line : l)
        EXPECT_TRUE(line.empty() || line.rfind("--", 0) == 0 || line.rfind("   ", 0) == 0 ||
                    line == "SWOF" || line == "SGOF" || line == "/")
            << "deck input from the title: " << line;
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(SimulatorTables, RefuseAKrThatMovesAgainstItsCurveAndRepairLevelsIt) {
    // Corey's krog turns up again beyond Sg = 1 - Swc - Sorg - Sgc.
    const GenerateInput corey = workedExample("Corey");
    EXPECT_EQ(refusal(corey).message,
              "The table cannot go into a simulator deck: krog must not rise as Sg increases; "
              "SGOF row 15 (Sg .7) has krog 3.50127796645779E-05 after 0 (a repair levels it).");
    const std::string text = written(corey, repaired);
    EXPECT_NE(text.find("--   SGOF row 15 (Sg .7): krog 3.50127796645779E-05 is set to 0, "
                        "the value of the row before, so the curve does not rise.\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("   .7                  1                   0                   0\n"),
              std::string::npos);
}

TEST(SimulatorTables, RefuseKrAboveOneAndRepairClipsIt) {
    const GenerateInput rose = workedExample("Rose");
    EXPECT_EQ(refusal(rose).message,
              "The table cannot go into a simulator deck: krg must lie between 0 and 1; SGOF row "
              "13 (Sg .6) has krg 1.06648073261611 (a repair clips it).");
    EXPECT_NE(written(rose, repaired).find("SGOF row 13 (Sg .6): krg 1.06648073261611 is set to 1"),
              std::string::npos);

    GenerateInput in = gasSystemExample("Water-Gas");
    in.swc = "10";
    in.porosity = "10";
    in.sgc = "10";
    in.permeability = "1000";
    // The water curve passes 1 first at Sw .75 on its way to 2.66 at Sw = 1.
    EXPECT_EQ(refusal(in).message.substr(0, 108),
              "The table cannot go into a simulator deck: krw must lie between 0 and 1; SWFN row "
              "14 (Sw .75) has krw 1.0291");
}

TEST(SimulatorTables, RefuseARowBeyondTheEndOfTheGasTableAndRepairDropsIt) {
    GenerateInput in = workedExample("Wyllie", "Sandstone");
    in.sgc = "68"; // rows 0, .68, .73, then .7 = 1 - Swc - Sorg
    EXPECT_EQ(refusal(in).message,
              "The table cannot go into a simulator deck: Sg must increase from row to row; SGOF "
              "row 4 has Sg .7 after .73 in row 3 (a repair drops such rows).");
    const std::string text = written(in, repaired);
    EXPECT_NE(text.find("the gas table's row 3 (Sg .73) is dropped: saturations must "
                        "increase, and a later row has Sg .7."),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("   .73 "), std::string::npos);
}

TEST(SimulatorTables, WriteTheWaterGasSystemAsSwfnFromSwcUpAndSgfn) {
    const std::string text = written(gasSystemExample("Water-Gas"));
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
    const std::string text = written(gasSystemExample("Gas-Condensate"));
    EXPECT_NE(text.find("SGOF carries the condensate as the liquid (oil) phase"),
              std::string::npos);
    EXPECT_NE(text.find("-- Sg                  krg                 krcg"), std::string::npos);
}

// What the simulator stops on, or reads as no curve at all, is refused whatever made it.
TEST(SimulatorTables, RefuseAPhaseThatNeverFlowsAndATableOfOneRow) {
    const auto refusalOf = [](const SaturationTables& tables, SimulatorOptions options) {
        auto out = simulatorFile(tables, {}, options);
        return std::holds_alternative<Refusal>(out) ? std::get<Refusal>(out).message
                                                    : "written:\n" + std::get<std::string>(out);
    };
    const std::string cannot = "The table cannot go into a simulator deck: ";
    // An all-zero set, as an import accepts it: the end row takes krw to 1 at Sw = 1, but the
    // oil never flows.
    const SaturationTables still{.waterOil = {{0.2, 0, 0}, {0.5, 0, 0}, {0.7, 0, 0}}, .swc = 0.2};
    EXPECT_EQ(refusalOf(still, {.keywords = {Keyword::SWOF}, .repair = true}),
              cannot + "krow must be above 0 somewhere; every krow of SWOF is 0, so the phase "
                       "would never flow.");
    // Gas that flows in no row up to Sg = 1 - Swc, and water none up to Sw = 1.
    const SaturationTables noGas{.gas = {{0, 1, 0}, {0.3, 0.2, 0}, {0.8, 0, 0}}, .swc = 0.2};
    for (Keyword k : {Keyword::SGOF, Keyword::SGFN})
        EXPECT_EQ(refusalOf(noGas, {.keywords = {k}}),
                  cannot + "krg must be above 0 somewhere; every krg of " + keywordName(k) +
                      " is 0, so the phase would never flow.");
    EXPECT_EQ(
        refusalOf({.gas = {{0, 0, 0.1}, {0.5, 0, 0.6}}, .swc = 0.2}, {.keywords = {Keyword::SWFN}}),
        cannot + "krw must be above 0 somewhere; every krw of SWFN is 0, so the phase would never "
                 "flow.");
    // An end row that makes the phase flow at the end of its table is a curve.
    const SaturationTables lateGas{.gas = {{0, 1, 0}, {0.3, 0.2, 0}, {0.6, 0, 0}}, .swc = 0.2};
    EXPECT_EQ(refusalOf(lateGas, {.keywords = {Keyword::SGOF}}).substr(0, 8), "written:");

    // Swc + Sorw = 1: the set's points all stand at Sw .5, and a repair keeps one of them.
    const SaturationTables collapsed{.waterOil = {{0.5, 0, 1}, {0.5, 0.2, 0.4}, {0.5, 0.5, 0}},
                                     .swc = 0.5};
    EXPECT_EQ(refusalOf(collapsed, {.keywords = {Keyword::SWOF}, .repair = true}),
              cannot + "SWOF needs at least two rows of its own to describe its curves; it has "
                       "one (Sw .5), the others having been dropped by the repair.");
    EXPECT_EQ(refusalOf({.waterOil = {{1, 0.3, 0}}}, {.keywords = {Keyword::SWOF}}),
              cannot + "SWOF needs at least two rows of its own to describe its curves; it has "
                       "one (Sw 1).");
}

TEST(SimulatorTables, RefuseWhenNothingWasGenerated) {
    auto out =
        simulatorTables(CalculatorState{}, SimulatorRun{"relperm", "", workedExample("Corey")},
                        {.keywords = keywordsFor(FluidSystem::WaterOilGas)});
    ASSERT_TRUE(std::holds_alternative<Refusal>(out));
    EXPECT_EQ(std::get<Refusal>(out).message, "There are no tables yet: generate them first.");
}

} // namespace
} // namespace relperm
