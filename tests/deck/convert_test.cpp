// Conversions between keyword families: the simulator reads the same kr from the converted
// tables at every saturation, a conversion there and back gives the rows it started from,
// and what cannot be converted is refused with the reason.
#include "deck/convert.h"

#include "support/deck_text.h"
#include "support/run_relperm.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace relperm::deck {
namespace {

DeckTables read(const std::string& text) {
    const IncludeLoader none = [](const std::filesystem::path& p) {
        return std::variant<std::string, Refusal>(Refusal{p.string(), "no includes here"});
    };
    auto read = readDeckText(text, "t.inc", none);
    if (auto* r = std::get_if<Refusal>(&read)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return std::get<DeckTables>(read);
}

// The converted file, read back as the simulator would read it.
DeckTables converted(const DeckTables& deck, TargetFamily to) {
    auto text = convertedFile(deck, to);
    if (auto* r = std::get_if<Refusal>(&text)) {
        ADD_FAILURE() << r->message;
        return {};
    }
    return read(std::get<std::string>(text));
}

std::string refusalOf(const std::string& text, TargetFamily to) {
    auto out = convertTables(read(text), to);
    const auto* r = std::get_if<Refusal>(&out);
    return r ? r->message : "converted";
}

// Column `c` of a table at saturation `s`: linear between rows, flat beyond.
double valueAt(const Table& t, int c, double s) {
    const auto& rows = t.rows;
    if (s <= rows.front().values[0])
        return rows.front().values[c];
    for (std::size_t i = 1; i < rows.size(); ++i)
        if (s <= rows[i].values[0]) {
            const double s0 = rows[i - 1].values[0], s1 = rows[i].values[0];
            const double f = (s - s0) / (s1 - s0);
            return rows[i - 1].values[c] + f * (rows[i].values[c] - rows[i - 1].values[c]);
        }
    return rows.back().values[c];
}

const Table& tableOf(const DeckTables& deck, SatKeyword k, int satnum) {
    const KeywordTables* found = deck.find(k);
    EXPECT_NE(found, nullptr) << keywordName(k);
    static const Table empty{{Row{}}};
    return found ? found->tables.at(static_cast<std::size_t>(satnum - 1)) : empty;
}

void expectSameRows(const DeckTables& a, const DeckTables& b) {
    ASSERT_EQ(a.keywords.size(), b.keywords.size());
    for (std::size_t k = 0; k < a.keywords.size(); ++k) {
        const SatKeyword keyword = a.keywords[k].keyword;
        ASSERT_EQ(keyword, b.keywords[k].keyword);
        ASSERT_EQ(a.keywords[k].tables.size(), b.keywords[k].tables.size());
        for (std::size_t t = 0; t < a.keywords[k].tables.size(); ++t) {
            const auto& ra = a.keywords[k].tables[t].rows;
            const auto& rb = b.keywords[k].tables[t].rows;
            ASSERT_EQ(ra.size(), rb.size()) << keywordName(keyword) << " table " << t + 1;
            for (std::size_t i = 0; i < ra.size(); ++i)
                for (int c = 0; c < columnCount(keyword); ++c)
                    EXPECT_EQ(ra[i].values[c], rb[i].values[c])
                        << keywordName(keyword) << " table " << t + 1 << " row " << i + 1;
        }
    }
}

// Two regions with capillary pressure: SPE1's gas table over a water table of our own, and
// a coarser pair whose oil curves bend at saturations the other table does not have.
const std::string family1 = "SWOF\n"
                            "0.12 0 1 4\n"
                            "0.18 5e-8 1 3\n"
                            "0.24 2e-7 0.997 2.5\n"
                            "0.3 0.0001 0.98 2\n"
                            "0.75 0.5 0 0.5\n"
                            "1.0 1.0 0 0 /\n"
                            "0.2 0 0.9 1\n"
                            "0.45 0.1 0.3 0.5\n"
                            "0.7 0.4 0 0 /\n"
                            "SGOF\n"
                            "0 0 1 0\n"
                            "0.001 0 1 0\n"
                            "0.02 0 0.997 0\n"
                            "0.05 0.005 0.98 0\n"
                            "0.12 0.025 0.7 0\n"
                            "0.2 0.075 0.35 0.1\n"
                            "0.25 0.125 0.2 0.1\n"
                            "0.3 0.19 0.09 0.2\n"
                            "0.4 0.41 0.021 0.3\n"
                            "0.45 0.6 0.01 0.3\n"
                            "0.5 0.72 0.001 0.4\n"
                            "0.6 0.87 0.0001 0.5\n"
                            "0.7 0.94 0 0.6\n"
                            "0.85 0.98 0 0.7\n"
                            "0.88 0.984 0 0.8 /\n"
                            "0 0 0.9 0\n"
                            "0.33 0.2 0.25 0.05\n"
                            "0.8 0.9 0 0.2 /\n";

TEST(DeckConvert, theSimulatorReadsTheSameKrFromEveryFamily) {
    const DeckTables source = read(family1);
    const DeckTables two = converted(source, TargetFamily::Family2);
    const DeckTables slgof = converted(source, TargetFamily::Slgof);
    for (int satnum : {1, 2}) {
        const Table& swof = tableOf(source, SatKeyword::SWOF, satnum);
        const Table& sgof = tableOf(source, SatKeyword::SGOF, satnum);
        const Table& swfn = tableOf(two, SatKeyword::SWFN, satnum);
        const Table& sgfn = tableOf(two, SatKeyword::SGFN, satnum);
        const Table& sof3 = tableOf(two, SatKeyword::SOF3, satnum);
        const Table& sl = tableOf(slgof, SatKeyword::SLGOF, satnum);
        const double swc = swof.rows.front().values[0];
        for (int i = 0; i <= 1000; ++i) {
            const double sw = swc + (1 - swc) * i / 1000.0;
            SCOPED_TRACE("SATNUM " + std::to_string(satnum) + ", Sw " + std::to_string(sw));
            EXPECT_NEAR(valueAt(swfn, 1, sw), valueAt(swof, 1, sw), 1e-13);
            EXPECT_NEAR(valueAt(swfn, 2, sw), valueAt(swof, 3, sw), 1e-13);
            EXPECT_NEAR(valueAt(sof3, 1, 1 - sw), valueAt(swof, 2, sw), 1e-13);
            const double sg = (1 - swc) * i / 1000.0;
            EXPECT_NEAR(valueAt(sgfn, 1, sg), valueAt(sgof, 1, sg), 1e-13);
            EXPECT_NEAR(valueAt(sgfn, 2, sg), valueAt(sgof, 3, sg), 1e-13);
            EXPECT_NEAR(valueAt(sof3, 2, 1 - swc - sg), valueAt(sgof, 2, sg), 1e-13);
            for (int c : {1, 2, 3})
                EXPECT_NEAR(valueAt(sl, c, 1 - sg), valueAt(sgof, c, sg), 1e-13);
        }
    }
    // The oil saturations of both tables, once each: 6 of the water table, 15 of the gas
    // table, three of them shared (So .88: Sw .12 and Sg 0; .76: Sw .24 and Sg .12; 0).
    const Table& sof3 = tableOf(two, SatKeyword::SOF3, 1);
    EXPECT_EQ(sof3.rows.size(), 18u);
    EXPECT_EQ(sof3.rows.back().values[0], 0.88);
    EXPECT_EQ(sof3.rows.back().values[1], 1);
    EXPECT_EQ(sof3.rows.back().values[2], 1);
    EXPECT_EQ(sof3.rows.front().values[0], 0);
}

TEST(DeckConvert, thereAndBackGivesTheRowsConvertedFrom) {
    const DeckTables source = read(family1);
    for (TargetFamily to : {TargetFamily::Family2, TargetFamily::Slgof}) {
        SCOPED_TRACE(targetFamilyName(to));
        expectSameRows(converted(converted(source, to), TargetFamily::Family1),
                       converted(source, TargetFamily::Family1));
    }
    expectSameRows(converted(source, TargetFamily::Family1), source);
    // Saturations derived through two subtractions (1 - .15 - .8 is .04999999999999993)
    // meet the rows they stand for, and the values between rows carry no rounding noise.
    const DeckTables swc15 = read("SWOF\n.15 0 1 0\n1 1 0 0 /\n"
                                  "SGOF\n0 0 1 0\n.05 .1 .8 .1\n.85 .9 0 2.5 /\n");
    expectSameRows(converted(converted(swc15, TargetFamily::Family2), TargetFamily::Family1),
                   swc15);
    EXPECT_EQ(
        tableOf(converted(swc15, TargetFamily::Family2), SatKeyword::SOF3, 1).rows[1].values[1],
        0.94117647058824);
    expectSameRows(converted(converted(read(family1), TargetFamily::Family2), TargetFamily::Slgof),
                   converted(source, TargetFamily::Slgof));

    // Family 2 written by hand, its SOF3 on saturations of its own (a row at So .5 where
    // neither SWFN nor SGFN has one, and a straight stretch that family 1 does not need).
    const std::string family2 = "SWFN\n0.2 0 3\n0.6 0.3 1\n1 1 0 /\n"
                                "SGFN\n0 0 0\n0.3 0.2 0.1\n0.8 0.9 0.3 /\n"
                                "SOF3\n0 0 0\n0.2 0.1 0.05\n0.5 0.3 0.2\n0.8 1 1 /\n";
    const DeckTables two = read(family2);
    const DeckTables one = converted(two, TargetFamily::Family1);
    // SWOF takes Sw .5 from SOF3's bend at So .5, within SWFN's saturations; SGOF takes
    // Sg .3 from its bend there (1 - .2 - .5).
    const Table& swof = tableOf(one, SatKeyword::SWOF, 1);
    ASSERT_EQ(swof.rows.size(), 5u);
    EXPECT_EQ(swof.rows[1].values[0], 0.5);
    EXPECT_DOUBLE_EQ(swof.rows[1].values[1], 0.3 * 0.3 / 0.4);
    EXPECT_EQ(swof.rows[1].values[2], 0.3);
    EXPECT_DOUBLE_EQ(swof.rows[1].values[3], 3 - 2 * 0.3 / 0.4);
    // Back in family 2 the water table keeps that row (its krw is straight there), so the
    // tables are compared as the simulator reads them.
    const DeckTables again = converted(one, TargetFamily::Family2);
    for (SatKeyword k : {SatKeyword::SWFN, SatKeyword::SGFN, SatKeyword::SOF3})
        for (int c = 1; c < columnCount(k); ++c)
            for (int i = 0; i <= 100; ++i)
                EXPECT_NEAR(valueAt(tableOf(again, k, 1), c, i / 100.0),
                            valueAt(tableOf(two, k, 1), c, i / 100.0), 1e-13)
                    << keywordName(k) << " column " << c << " at " << i / 100.0;
}

TEST(DeckConvert, twoPhaseDecksTakeSof2) {
    const std::string water = "SWOF\n0.2 0 1 0\n0.6 0.2 0.3 0\n1 0.8 0 0 /\n";
    const DeckTables wo = converted(read(water), TargetFamily::Family2);
    ASSERT_EQ(wo.keywords.size(), 2u);
    EXPECT_EQ(wo.keywords[0].keyword, SatKeyword::SWFN);
    EXPECT_EQ(wo.keywords[1].keyword, SatKeyword::SOF2);
    EXPECT_EQ(tableOf(wo, SatKeyword::SOF2, 1).rows[1].values[0], 0.4);
    EXPECT_EQ(tableOf(wo, SatKeyword::SOF2, 1).rows[1].values[1], 0.3);
    expectSameRows(converted(wo, TargetFamily::Family1), read(water));

    const std::string gas = "SGOF\n0 0 1 0\n0.5 0.3 0.1 0\n0.9 1 0 0 /\n";
    const DeckTables go = converted(read(gas), TargetFamily::Family2);
    EXPECT_EQ(go.keywords[0].keyword, SatKeyword::SGFN);
    EXPECT_EQ(tableOf(go, SatKeyword::SOF2, 1).rows.back().values[0], 1);
    expectSameRows(converted(go, TargetFamily::Family1), read(gas));
}

TEST(DeckConvert, whatHasNoFormInTheOtherFamilyIsRefusedWithTheReason) {
    const std::string swof = "SWOF\n0.2 0 1 0\n1 1 0 0 /\n";
    const std::string sgof = "SGOF\n0 0 1 0\n0.8 1 0 0 /\n";
    const std::string swfn = "SWFN\n0.2 0 0\n1 1 0 /\n";
    const std::string sgfn = "SGFN\n0 0 0\n0.8 1 0 /\n";
    EXPECT_NE(refusalOf(swof + sgfn + "SOF2\n0 0\n0.8 1 /\n", TargetFamily::Family2)
                  .find("mixes the keyword families (SWOF, SGFN, SOF2)"),
              std::string::npos);
    EXPECT_NE(refusalOf(swfn + sgfn, TargetFamily::Family1).find("gas-water system"),
              std::string::npos);
    EXPECT_NE(refusalOf("SGWFN\n0 0 1 0\n0.8 1 0 0 /\n", TargetFamily::Family1)
                  .find("gas-water system (SGWFN)"),
              std::string::npos);
    EXPECT_NE(refusalOf(swof, TargetFamily::Slgof).find("SLGOF is a gas table"), std::string::npos);
    EXPECT_NE(refusalOf(swof + "0.1 0 1 0\n1 1 0 0 /\n" + sgof, TargetFamily::Family2)
                  .find("SGOF holds 1 tables but SWOF holds 2"),
              std::string::npos);
    EXPECT_NE(refusalOf(swfn + "SOF3\n0 0 0\n0.8 1 1 /\n", TargetFamily::Family1)
                  .find("SOF3 is the oil of three phases"),
              std::string::npos);
    EXPECT_NE(refusalOf(swfn, TargetFamily::Family1).find("SWFN needs the oil's table"),
              std::string::npos);
}

} // namespace
} // namespace relperm::deck

namespace relperm::testing {
namespace {

class DeckConvertCommand : public TempDirTest {
  protected:
    std::string write(const std::string& name, const std::string& text) {
        const auto path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    std::string contents(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
};

TEST_F(DeckConvertCommand, convertsADeckThroughItsIncludesAndSaysFromWhere) {
    const std::string tables = "SWOF\n0.2 0 1 0.5\n0.6 0.2 0.3 0.2\n1 0.8 0 0 /\n"
                               "SGOF\n0 0 1 0\n0.3 0.3 0.2 0.1\n0.8 1 0 0.2 /\n";
    write("TABLES.INC", tables);
    const std::string deck =
        write("CASE.DATA", "RUNSPEC\nOIL\nWATER\nGAS\nPROPS\nINCLUDE\n'TABLES.INC' /\nEND\n");
    const std::string out = (dir / "family2.inc").string();
    auto run = relperm({"deck", "convert", deck, "--to", "family2", "--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = contents(out);
    EXPECT_EQ(lines(text).front(), "-- Saturation tables converted by relperm deck convert from "
                                   "SWOF, SGOF of " +
                                       deck + " to SWFN, SGFN, SOF3.");
    EXPECT_EQ(keywordRows(text, "SWFN"),
              (std::vector<std::vector<double>>{{0.2, 0, 0.5}, {0.6, 0.2, 0.2}, {1, 0.8, 0}}));
    // So 0, .4 and .8 of the water table, 0, .5 and .8 of the gas table (Swc .2).
    EXPECT_EQ(keywordRows(text, "SOF3"),
              (std::vector<std::vector<double>>{
                  {0, 0, 0}, {0.4, 0.3, 0.16}, {0.5, 0.475, 0.2}, {0.8, 1, 1}}));
    run = relperm({"deck", "check", out});
    EXPECT_EQ(run.status, 0) << run.out;
    run = relperm({"deck", "convert", out, "--to", "family1"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        keywordRows(run.out, "SGOF"),
        (std::vector<std::vector<double>>{{0, 0, 1, 0}, {0.3, 0.3, 0.2, 0.1}, {0.8, 1, 0, 0.2}}));
}

TEST_F(DeckConvertCommand, refusesBadRequestsAndNeverWritesOverWhatItReads) {
    const std::string tables = "SWOF\n0.2 0 1 0\n1 1 0 0 /\n";
    const std::string inc = write("TABLES.INC", tables);
    const std::string deck = write("CASE.DATA", "INCLUDE\n'TABLES.INC' /\n");
    auto run = relperm({"deck", "convert", deck});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck convert: --to is needed: family1, family2 or slgof\n");
    run = relperm({"deck", "convert", deck, "--to", "family3"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "relperm deck convert: --to is family1, family2 or slgof, not "
                       "\"family3\"\n");
    run = relperm({"deck", "convert", deck, "--to", "slgof"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(deck + ": SLGOF is a gas table and the file holds none (SWOF)"),
              std::string::npos);
    for (const std::string& target : {deck, inc}) {
        run = relperm({"deck", "convert", deck, "--to", "family2", "--out", target});
        EXPECT_EQ(run.status, 2) << target;
        EXPECT_NE(run.err.find("relperm deck convert: "), std::string::npos);
    }
    EXPECT_EQ(contents(inc), tables);
    EXPECT_EQ(contents(deck), "INCLUDE\n'TABLES.INC' /\n");
    run = relperm({"deck", "convert", (dir / "missing.inc").string(), "--to", "family2"});
    EXPECT_EQ(run.status, 1);
}

} // namespace
} // namespace relperm::testing
