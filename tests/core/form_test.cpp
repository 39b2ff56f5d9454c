#include "calculator/form.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using L = CalculatorList;

void pickText(CalculatorForm& form, L list, const std::string& text) {
    int index = form.list(list).find(text);
    ASSERT_GE(index, 0) << text << " is not in the list";
    form.pick(list, index);
}

TEST(CalculatorFormStartUp, ShowsOnlyTheFluidListAndTheValueBoxes) {
    CalculatorForm form;
    EXPECT_EQ(form.list(L::Fluids).entries,
              (std::vector<std::string>{"Water-Oil-Gas", "Water-Gas", "Gas-Condensate"}));
    EXPECT_EQ(form.list(L::Fluids).text, "Select Fluids");
    EXPECT_EQ(form.list(L::Formation).entries,
              (std::vector<std::string>{"Sandstone", "Carbonate"}));
    EXPECT_TRUE(form.list(L::Correlation).entries.empty());
    EXPECT_EQ(form.list(L::Correlation).text, "Select Correlation");
    EXPECT_EQ(form.list(L::Wettability).text, "Select Wettability");
    EXPECT_EQ(form.list(L::Formation).text, "Select Formation");
    EXPECT_EQ(form.spo, "5");
    for (const char* hidden : {"corpk", "wetpk", "formpk", "Label8", "krgo", "Command1", "Label10",
                               "MSFlexGrid1", "MSFlexGrid2", "vomar", "krl2"})
        EXPECT_FALSE(form.isShown(hidden)) << hidden;
    for (const char* shown : {"fldpk", "poro", "permo", "Swco", "sorwo", "sorgo", "sgco", "spo"})
        EXPECT_TRUE(form.isShown(shown)) << shown;
}

TEST(CalculatorFormFluids, WaterOilGasOffersTheFiveCorrelations) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    EXPECT_TRUE(form.isShown("corpk"));
    EXPECT_EQ(form.list(L::Correlation).entries,
              (std::vector<std::string>{"Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey",
                                        "Rose", "Wyllie", "Corey"}));
    EXPECT_EQ(form.list(L::Correlation).text, "Select Correlation");
    EXPECT_FALSE(form.isShown("Command1"));
}

TEST(CalculatorFormFluids, WaterGasEmptiesTheCorrelationsAndShowsGenerate) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    pickText(form, L::Fluids, "Water-Gas");
    EXPECT_TRUE(form.list(L::Correlation).entries.empty());
    EXPECT_EQ(form.list(L::Correlation).text, "Mohamad Ibrahim/Varnholt");
    EXPECT_FALSE(form.list(L::Correlation).hasPick());
    EXPECT_TRUE(form.isShown("Command1"));
    for (const char* hidden : {"Label5", "sorwo", "Label6", "sorgo", "wetpk", "formpk"})
        EXPECT_FALSE(form.isShown(hidden)) << hidden;

    pickText(form, L::Fluids, "Water-Oil-Gas");
    EXPECT_EQ(form.list(L::Correlation).entries.size(), 5u);
    EXPECT_EQ(form.list(L::Correlation).text, "Select Correlation");
    EXPECT_TRUE(form.isShown("Command1")) << "once shown, Generate stays shown";
}

TEST(CalculatorFormFluids, GasCondensateRelabelsSwcAndHidesPorosityAndPermeability) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Gas-Condensate");
    EXPECT_EQ(form.label4Caption, "Slc     %");
    EXPECT_EQ(form.label4Tooltip, "Critical Liquid Saturation");
    for (const char* hidden : {"Label2", "poro", "Label3", "permo"})
        EXPECT_FALSE(form.isShown(hidden)) << hidden;

    pickText(form, L::Fluids, "Water-Gas");
    EXPECT_EQ(form.label4Caption, "Swc     %");
    EXPECT_EQ(form.label4Tooltip, "Critical (Connate) Water Saturation");
    for (const char* shown : {"Label2", "poro", "Label3", "permo"})
        EXPECT_TRUE(form.isShown(shown)) << shown;
}

TEST(CalculatorFormCorrelation, CoreyAndRoseShowGenerateAtOnce) {
    for (const char* name : {"Corey", "Rose"}) {
        CalculatorForm form;
        pickText(form, L::Fluids, "Water-Oil-Gas");
        pickText(form, L::Correlation, name);
        EXPECT_TRUE(form.isShown("Command1")) << name;
        EXPECT_FALSE(form.isShown("formpk")) << name;
        EXPECT_FALSE(form.isShown("wetpk")) << name;
        EXPECT_FALSE(form.isShown("poro")) << name;
    }
}

TEST(CalculatorFormCorrelation, WyllieWaitsForAFormation) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    pickText(form, L::Correlation, "Wyllie");
    EXPECT_FALSE(form.isShown("Command1"));
    EXPECT_TRUE(form.isShown("formpk"));
    EXPECT_FALSE(form.isShown("wetpk"));
    pickText(form, L::Formation, "Carbonate");
    EXPECT_TRUE(form.isShown("Command1"));
}

TEST(CalculatorFormCorrelation, IbrahimAndHonarpourNeedWettabilityAndFormation) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    pickText(form, L::Correlation, "Honarpour/Varnholt/Harvey");
    EXPECT_EQ(form.list(L::Wettability).entries,
              (std::vector<std::string>{"Water Wet", "Oil or Intermediate Wet"}));
    EXPECT_TRUE(form.isShown("Label8"));
    EXPECT_TRUE(form.isShown("krgo"));
    pickText(form, L::Wettability, "Water Wet");
    EXPECT_FALSE(form.isShown("Command1"));
    pickText(form, L::Formation, "Sandstone");
    EXPECT_TRUE(form.isShown("Command1"));

    pickText(form, L::Correlation, "Mohamad Ibrahim/Varnholt");
    EXPECT_EQ(form.list(L::Wettability).entries,
              (std::vector<std::string>{"Strongly Water Wet", "Water Wet", "Intermediate (Mixed)",
                                        "Oil Wet"}));
    EXPECT_FALSE(form.list(L::Wettability).hasPick())
        << "a new correlation empties the wettability";
    EXPECT_FALSE(form.isShown("Label8"));
    EXPECT_FALSE(form.isShown("krgo"));
}

TEST(CalculatorFormCorrelation, TypedTextIsNotAPick) {
    CalculatorForm form;
    pickText(form, L::Fluids, "Water-Oil-Gas");
    pickText(form, L::Correlation, "Mohamad Ibrahim/Varnholt");
    form.type(L::Wettability, "Water Wet");
    pickText(form, L::Formation, "Sandstone");
    EXPECT_FALSE(form.isShown("Command1"));
    EXPECT_EQ(form.generateInput().wettability, "Water Wet");
}

} // namespace
} // namespace relperm
