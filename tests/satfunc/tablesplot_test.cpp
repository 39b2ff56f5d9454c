// The tables window's plots: the curves a region's tables hold on the kr frame, and the
// capillary pressure on an axis of round ticks that holds every value.
#include "satfunc/tablesplot.h"
#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace relperm::satfunc {
namespace {

// The straight pieces of a curve; its legend sample is a line of its own above the frame.
std::vector<SceneLine> linesIn(const Scene& scene, const std::string& curve) {
    return testing::curveLines(scene, tablesCurveColour(curve));
}

bool hasText(const Scene& scene, const std::string& text) {
    for (const SceneText& t : scene.all<SceneText>())
        if (t.text == text)
            return true;
    return false;
}

struct TickCase {
    double low, high;
    PcTicks expected;
};

TEST(PcTicks, roundStepsHoldEveryValueWithinTenSteps) {
    const TickCase cases[] = {
        {0, 0.658, {0, 0.7, 0.1}}, // pyscal's simple J example
        {0, 1, {0, 1, 0.1}},       // an end on a tick stays the end
        {-0.35, 2.1, {-0.5, 2.5, 0.5}},
        {0, 37, {0, 40, 5}},
        {0, 0, {0, 1, 0.1}},                      // no Pc at all
        {0.002, 0.0041, {0.002, 0.0045, 0.0005}}, // 21 steps of 1E-04, 11 of 2E-04
    };
    for (const TickCase& c : cases) {
        const PcTicks t = pcTicks(c.low, c.high);
        EXPECT_NEAR(t.bottom, c.expected.bottom, 1e-12) << c.low << " " << c.high;
        EXPECT_NEAR(t.top, c.expected.top, 1e-12) << c.low << " " << c.high;
        EXPECT_NEAR(t.step, c.expected.step, 1e-15) << c.low << " " << c.high;
        EXPECT_LE(t.bottom, c.low);
        EXPECT_GE(t.top, c.high);
        EXPECT_LE((t.top - t.bottom) / t.step, 10 + 1e-9);
    }
}

RegionCurves region(RegionKind kind) {
    RegionCurves r;
    r.kind = kind;
    r.water = WaterOilTable{};
    r.water->sw = {0.2, 0.5, 0.8, 1};
    r.water->krw = {0, 0.1, 0.4, 1};
    r.water->krow = {1, 0.3, 0, 0};
    r.water->pc = {2, 0.5, -0.2, -1};
    r.gas = GasOilTable{};
    r.gas->sg = {0, 0.4, 0.8};
    r.gas->krg = {0, 0.2, 1};
    r.gas->krog = {1, 0.2, 0};
    r.gas->pc = {0, 0, 0};
    return r;
}

TEST(TablesKrPlot, eachCurveOnItsOwnSaturationAndAGasWaterRegionWithoutOil) {
    const Scene three = tablesKrPlot(region(RegionKind::WaterOilGas));
    ASSERT_EQ(linesIn(three, "krw").size(), 3u);
    EXPECT_EQ(linesIn(three, "krw").front().x1, 20);
    EXPECT_EQ(linesIn(three, "krw").back().y2, 100);
    EXPECT_EQ(linesIn(three, "krg").front().x1, 0);
    EXPECT_EQ(linesIn(three, "krog").back().x2, 80);
    for (const char* text : {"Sw:", "Sg:", "krw", "krow", "krg", "krog", "Sw, Sg"})
        EXPECT_TRUE(hasText(three, text)) << text;

    const Scene gasWater = tablesKrPlot(region(RegionKind::GasWater));
    EXPECT_TRUE(linesIn(gasWater, "krow").empty());
    EXPECT_TRUE(linesIn(gasWater, "krog").empty());
    EXPECT_FALSE(hasText(gasWater, "krow"));
    EXPECT_EQ(linesIn(gasWater, "krg").size(), 2u);

    // A refused region: the frame, no legend, and where to look.
    const Scene none = tablesKrPlot(RegionCurves{});
    EXPECT_TRUE(hasText(none, "No curves: see the simulator checks"));
    EXPECT_FALSE(hasText(none, "krw"));
    EXPECT_FALSE(hasText(none, "Sw"));
}

TEST(TablesPcPlot, negativePcStandsBelowAZeroLineAndNoPcIsSaid) {
    const Scene pc = tablesPcPlot(region(RegionKind::WaterOilGas));
    // -1 to 2 in steps of .5: 0 a third of the way up.
    const std::vector<SceneLine> pcow = linesIn(pc, "Pcow");
    ASSERT_EQ(pcow.size(), 3u);
    EXPECT_NEAR(pcow.front().y1, 100, 1e-9);
    EXPECT_NEAR(pcow.back().y2, 0, 1e-9);
    bool zeroLine = false;
    for (const SceneLine& line : pc.all<SceneLine>())
        zeroLine |= line.x1 == 0 && line.x2 == 100 && std::abs(line.y1 - 100.0 / 3) < 1e-9;
    EXPECT_TRUE(zeroLine);
    for (const char* label : {"-1", "-.5", "0", "1.5", "2", "Pc, bar", "Pcow"})
        EXPECT_TRUE(hasText(pc, label)) << label;
    // A gas table of zero Pc is no curve of it.
    EXPECT_TRUE(linesIn(pc, "Pcog").empty());
    EXPECT_FALSE(hasText(pc, "Zero capillary pressure throughout"));

    RegionCurves flat = region(RegionKind::WaterOil);
    flat.gas.reset();
    flat.water->pc = {0, 0, 0, 0};
    const Scene zero = tablesPcPlot(flat);
    EXPECT_TRUE(hasText(zero, "Zero capillary pressure throughout"));
    EXPECT_EQ(linesIn(zero, "Pcow").front().y1, 0);
}

} // namespace
} // namespace relperm::satfunc
