// What the Simulator Tables window shows of a deck, where its window test does not reach: the
// regions of keywords of unequal table counts, the chosen finding's mark among the others,
// curves that leave the frame cut at it, family 2's curves on three saturations, and a Pc
// column of zeros left out. Curves at rows, the findings list and the names Convert offers
// are checked through the window.
#include "analysis/deckview.h"

#include "satfunc/tablesplot.h"

#include "support/plot_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace relperm {
namespace {

using deck::SatKeyword;

deck::DeckTables deckOf(const std::string& text) {
    const deck::IncludeLoader none = [](const std::filesystem::path& p) {
        return std::variant<std::string, Refusal>(Refusal{p.string(), "no includes here"});
    };
    auto read = deck::readDeckText(text, "t.inc", none);
    if (auto* r = std::get_if<Refusal>(&read)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<deck::DeckTables>(read);
}

// The straight pieces of a column's curve.
std::vector<SceneLine> curveLines(const Scene& scene, const char* column) {
    return testing::curveLines(scene, satfunc::tablesCurveColour(column));
}

bool shows(const Scene& scene, const std::string& text) {
    const auto all = scene.all<SceneText>();
    return std::any_of(all.begin(), all.end(), [&](const SceneText& t) { return t.text == text; });
}

// Each mark's centre and half width, from its first two sides.
struct Square {
    double x, y, half;
};
std::vector<Square> squares(const Scene& scene) {
    std::vector<SceneLine> sides;
    for (const SceneLine& l : scene.all<SceneLine>())
        if (l.colour == Rgb{200, 0, 200})
            sides.push_back(l);
    std::vector<Square> out;
    for (std::size_t i = 0; i + 3 < sides.size(); i += 4) {
        const double half = (sides[i].x2 - sides[i].x1) / 2;
        out.push_back({sides[i].x1 + half, sides[i + 1].y1 + half, half});
    }
    return out;
}

TEST(DeckView, everyRegionOfTheMostTablesIsListed) {
    const auto deck = deckOf("SWFN\n0.2 0 0\n1 1 0 /\n0.1 0 0\n1 1 0 /\n0.3 0 0\n1 1 0 /\n"
                             "SOF3\n0 0 0\n0.8 1 1 /\n");
    EXPECT_EQ(deckRegionLabels(deck, deck::checkTables(deck)),
              (std::vector<std::string>{"SATNUM 1", "SATNUM 2", "SATNUM 3"}));
    EXPECT_EQ(checksSummary(deck, deck::checkTables(deck)),
              "1 check fails in SWFN 3 tables, SOF3 1 table.");
    // SATNUM 3 has no oil table: its water curve alone.
    EXPECT_EQ(curveLines(deckKrPlot(deck, 3, {}, std::nullopt), "krow").size(), 0u);
    EXPECT_EQ(curveLines(deckKrPlot(deck, 3, {}, std::nullopt), "krw").size(), 1u);
}

TEST(DeckView, theChosenFindingIsMarkedLargestAndOnlyInItsRegion) {
    // Sw falls at row 3 of table 1.
    const auto deck = deckOf("SWOF\n0.2 0 1 0\n0.3 0.1 0.8 0\n0.25 0.2 0.7 0\n1 1 0 0 /\n"
                             "0.1 0 1 0\n1 0.7 0 0 /\n");
    auto findings = deck::checkTables(deck);
    ASSERT_EQ(findings.size(), 1u) << deck::findingsText(findings);
    findings.push_back(findings[0]);
    findings[1].row = 2;
    const auto marks = squares(deckKrPlot(deck, 1, findings, 0));
    // Row 2 (Sw .3) small, then the chosen row 3 (Sw .25) large, on krw and krow each.
    ASSERT_EQ(marks.size(), 4u);
    EXPECT_DOUBLE_EQ(marks[0].x, 30);
    EXPECT_DOUBLE_EQ(marks[0].y, 10);
    EXPECT_LT(marks[0].half, marks[2].half);
    EXPECT_DOUBLE_EQ(marks[2].x, 25);
    EXPECT_DOUBLE_EQ(marks[3].y, 70);
    EXPECT_TRUE(squares(deckKrPlot(deck, 2, findings, 0)).empty());
    // A finding of a whole table has no row to mark.
    findings[1].row = 0;
    EXPECT_TRUE(findingMarks(deck, findings[1]).empty());
}

TEST(DeckView, aCurveBeyondTheFrameIsCutAtItAndItsMarkStaysOnIt) {
    const auto deck = deckOf("SWOF\n0.2 0 1 0\n0.6 1.4 0.2 0\n1 1 0 0 /\n");
    const Scene scene = deckKrPlot(deck, 1, deck::checkTables(deck), std::nullopt);
    const auto krw = curveLines(scene, "krw");
    ASSERT_EQ(krw.size(), 1u) << "back at (100, 100) it only touches the corner";
    // From (20, 0) toward (60, 140) it leaves the frame at y 100.
    EXPECT_DOUBLE_EQ(krw[0].y2, 100);
    EXPECT_NEAR(krw[0].x2, 20 + 40 / 1.4, 1e-9);
    EXPECT_TRUE(testing::curvesInsideFrame(scene));
    const auto marks = squares(scene);
    EXPECT_TRUE(std::any_of(marks.begin(), marks.end(),
                            [](const Square& s) { return s.x == 60 && s.y == 100; }));
}

TEST(DeckView, familyTwoIsDrawnOnThreeSaturations) {
    const auto deck = deckOf("SWFN\n0.2 0 3\n1 1 0 /\nSGFN\n0 0 0\n0.8 1 0 /\n"
                             "SOF3\n0 0 0\n0.3 0 0.1\n0.8 0.9 0.9 /\n");
    const Scene kr = deckKrPlot(deck, 1, {}, std::nullopt);
    for (const char* text : {"Sw:", "Sg:", "So:", "Sw, Sg, So"})
        EXPECT_TRUE(shows(kr, text)) << text;
    // SOF3's krog against So: .9 at So .8, solid as oil's; SGFN's krg dashed.
    const auto krog = curveLines(kr, "krog");
    ASSERT_EQ(krog.size(), 2u);
    EXPECT_DOUBLE_EQ(krog[1].x2, 80);
    EXPECT_DOUBLE_EQ(krog[1].y2, 90);
    EXPECT_EQ(krog[1].style, LineStyle::Solid);
    EXPECT_EQ(curveLines(kr, "krg")[0].style, LineStyle::Dashed);
    // On the logarithmic axis kr .9 stands at log10(.9) + 4 of the four decades.
    const Scene log = deckKrPlot(deck, 1, {}, std::nullopt, KrAxis::Logarithmic);
    EXPECT_NEAR(curveLines(log, "krog")[1].y2, 25 * (std::log10(0.9) + 4), 1e-9);
    EXPECT_EQ(fitKeywords(deck), (std::vector<SatKeyword>{SatKeyword::SWFN, SatKeyword::SGFN}));
}

TEST(DeckView, aPcColumnOfZerosIsLeftOut) {
    const auto deck = deckOf("SWOF\n0.2 0 1 2\n0.5 0.2 0.3 1\n1 1 0 0 /\n"
                             "SGOF\n0 0 1 0\n0.8 1 0 0 /\n");
    EXPECT_TRUE(deckHasPc(deck));
    const Scene pc = deckPcPlot(deck, 1);
    // Pcow from 2 to 0: an axis of 0 to 2, so 1 stands half way.
    const auto pcow = curveLines(pc, "Pcow");
    ASSERT_EQ(pcow.size(), 2u);
    EXPECT_DOUBLE_EQ(pcow[0].y2, 50);
    EXPECT_TRUE(curveLines(pc, "Pcog").empty());
    EXPECT_FALSE(shows(pc, "Pcog"));
    EXPECT_FALSE(deckHasPc(deckOf("SWOF\n0.2 0 1 0\n1 1 0 0 /\n")));
}

} // namespace
} // namespace relperm
