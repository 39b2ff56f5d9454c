#include "calculator/runfile.h"
#include "calculator_fixtures.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using L = CalculatorList;

void pickText(CalculatorForm& form, L list, const std::string& text) {
    form.pick(list, form.list(list).find(text));
}

// The window after picking Water-Oil-Gas and Corey and typing the worked example.
CalculatorForm coreyForm() {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    pickText(form, L::Correlation, "Corey");
    form.title = "Run 1, Corey";
    form.Swco = "20";
    form.sorwo = "25";
    form.sorgo = "10";
    form.sgco = "5";
    return form;
}

TEST(RunFileSave, BeforeAnyGenerationWritesZerosAndTwoEmptyFields) {
    EXPECT_EQ(runFileText(runFileOf(CalculatorForm{}, StoredInputs{})),
              "\"\",-1,-1,-1,-1,0,0,0,0,0,,\r\n");
}

TEST(RunFileSave, WritesTheListsAsTheyStandAndTheInputsOfTheLastGeneration) {
    CalculatorForm form = coreyForm();
    CalculatorState state;
    ASSERT_FALSE(generate(state, form.generateInput()));
    EXPECT_EQ(runFileText(runFileOf(form, state.inputs)),
              "\"Run 1, Corey\",0,4,-1,-1,0,20,25,10,5,0,0\r\n");

    pickText(form, L::Correlation, "Wyllie");
    form.Swco = "30";
    EXPECT_EQ(runFileText(runFileOf(form, state.inputs)),
              "\"Run 1, Corey\",0,3,-1,-1,0,20,25,10,5,0,0\r\n")
        << "a new pick shows at once; new numbers only after Generate";
}

TEST(RunFileSave, WritesADoubleQuoteOfTheTitleAsAnApostrophe) {
    RunFile run;
    run.title = "the \"best\" run";
    EXPECT_EQ(runFileText(run).substr(0, 17), "\"the 'best' run\",");
}

TEST(RunFileRead, ReadsTheTwelveFieldsAcrossLinesAndIgnoresTheRest) {
    auto parsed = parseRunFile("\"Run 1, Corey\",0,4,-1\r\n-1, 18,20,25,10,5,.8,250,\"extra\"\r\n");
    ASSERT_TRUE(std::holds_alternative<RunFile>(parsed)) << std::get<std::string>(parsed);
    const RunFile& run = std::get<RunFile>(parsed);
    EXPECT_EQ(run.title, "Run 1, Corey");
    EXPECT_EQ(run.lists, (std::array<int, 4>{0, 4, -1, -1}));
    EXPECT_EQ(run.values[0], 18.0);
    EXPECT_EQ(run.values[5], 0.8);
    EXPECT_EQ(run.values[6], 250.0);
}

TEST(RunFileRead, KeepsEmptyFieldsEmpty) {
    auto parsed = parseRunFile("\"\",-1,-1,-1,-1,0,0,0,0,0,,\r\n");
    ASSERT_TRUE(std::holds_alternative<RunFile>(parsed));
    EXPECT_EQ(std::get<RunFile>(parsed).values[5], std::nullopt);
    EXPECT_EQ(std::get<RunFile>(parsed).values[6], std::nullopt);
}

TEST(RunFileRead, NamesTheFieldThatBreaksTheFormat) {
    auto error = [](std::string_view text) {
        auto parsed = parseRunFile(text);
        return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed)
                                                           : std::string("(read)");
    };
    EXPECT_EQ(error("\"t\",0,4,-1,-1,0,20\r\n"),
              "it holds only 7 of the 12 fields; field 8 (Sorw) is missing.");
    EXPECT_EQ(error(""), "it holds only 0 of the 12 fields; field 1 (the title) is missing.");
    EXPECT_EQ(error("\"t\",0,Corey,-1,-1,0,0,0,0,0,,\r\n"),
              "field 3 (the correlation) must be a list position (-1 or more), not \"Corey\".");
    EXPECT_EQ(error("\"t\",0,-2,-1,-1,0,0,0,0,0,,\r\n").substr(0, 25), "field 3 (the correlation)");
    EXPECT_EQ(error("\"t\",0,4,-1,-1,0,20%,0,0,0,,\r\n"),
              "field 7 (Swc) must be a number or empty, not \"20%\".");
}

TEST(RunFileOpen, PicksTheListsWithTheirHandlersThenFillsTheBoxes) {
    RunFile run;
    run.title = "Honarpour run";
    run.lists = {0, 1, 0, 1};
    run.values = {18, 20, 25, 10, 5, 0.8, 250};
    CalculatorForm form;
    StoredInputs inputs;
    ASSERT_EQ(applyRunFile(run, form, inputs), std::nullopt);
    EXPECT_EQ(form.title, "Honarpour run");
    EXPECT_EQ(form.list(L::Correlation).text, "Honarpour/Varnholt/Harvey");
    EXPECT_EQ(form.list(L::Wettability).text, "Water Wet") << "picked after corpk refilled it";
    EXPECT_EQ(form.list(L::Formation).text, "Carbonate");
    EXPECT_TRUE(form.isShown("Command1"));
    EXPECT_TRUE(form.isShown("krgo"));
    EXPECT_EQ(form.poro, " 18");
    EXPECT_EQ(form.Swco, " 20");
    EXPECT_EQ(form.krgo, " .8");
    EXPECT_EQ(form.permo, " 250");
    EXPECT_EQ(*inputs.swc, 0.2);
    EXPECT_EQ(*inputs.permeability, 250.0);
}

TEST(RunFileOpen, SaveRightAfterOpenWritesTheSameNumbers) {
    const std::string line = "\"Run 1, Corey\",0,4,-1,-1,18,22,25,10,3,.7,1E-05\r\n";
    CalculatorForm form;
    StoredInputs inputs;
    ASSERT_EQ(applyRunFile(std::get<RunFile>(parseRunFile(line)), form, inputs), std::nullopt);
    EXPECT_EQ(runFileText(runFileOf(form, inputs)), line);
}

TEST(RunFileOpen, AnEmptyFieldLeavesAnEmptyBox) {
    CalculatorForm form;
    form.krgo = "0.5";
    StoredInputs inputs;
    RunFile run;
    ASSERT_EQ(applyRunFile(run, form, inputs), std::nullopt);
    EXPECT_EQ(form.krgo, "");
    EXPECT_EQ(inputs.krgAtSorg, std::nullopt);
    EXPECT_EQ(form.list(L::Fluids).text, "Select Fluids");
}

TEST(RunFileOpen, AnIndexOutsideItsListChangesNothing) {
    CalculatorForm form = coreyForm();
    StoredInputs inputs;
    inputs.swc = 0.3;
    const CalculatorForm before = form;
    RunFile run;
    run.lists = {1, 4, -1, -1}; // Water-Gas leaves the correlation list empty
    run.values = {18, 20, 25, 10, 5, 0.8, 250};
    EXPECT_EQ(applyRunFile(run, form, inputs),
              "field 3 (the correlation) is 4, but that list holds 0 entries at that point.");
    EXPECT_EQ(form.list(L::Fluids).text, before.list(L::Fluids).text);
    EXPECT_EQ(form.list(L::Correlation).picked, before.list(L::Correlation).picked);
    EXPECT_EQ(form.Swco, "20");
    EXPECT_EQ(form.shown, before.shown);
    EXPECT_EQ(*inputs.swc, 0.3);
}

} // namespace
} // namespace relperm
