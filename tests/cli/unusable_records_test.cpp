// Records whose values no computation can take, through the commands as a user runs them:
// fit refuses the set by its field, recommend leaves it out and says so, db show writes no
// table, and no command changes a data file.
#include "cli/commands.h"
#include "database/records.h"
#include "support/run_relperm.h"

#include <gtest/gtest.h>

#include <limits>

namespace relperm::cli {
namespace {

using namespace relperm::testing;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

SetRecipe fourPoints(double swc = 0.2) {
    return SetRecipe{.swc = swc,
                     .sorw = 0.3,
                     .points = {{0, 0, 0.9}, {0.3, 0.03, 0.45}, {0.7, 0.2, 0.08}, {1, 0.4, 0}}};
}

class UnusableRecords : public TempDirTest {
  protected:
    void write(const std::vector<SetRecipe>& sets) {
        records = recordsOf(WO, sets);
        writeDataFile(dir, WO, records);
    }
    Outcome run(std::vector<std::string> args) {
        args.insert(args.end(), {"--dir", dir.string(), "--system", "Water-Oil Data"});
        Outcome r = relperm(args);
        EXPECT_EQ(readFile(dir / "OWBIN"), records) << "the data file keeps its bytes";
        return r;
    }
    std::string records;
};

TEST_F(UnusableRecords, AnEndPointFarOutsideZeroToOneIsRefusedAtOnce) {
    for (double swc : {-1e9, -1e300, -std::numeric_limits<double>::infinity()}) {
        write({fourPoints(swc)});
        for (const char* format : {"params", "swof"}) {
            const Outcome fit =
                run({"fit", "--match", "1", "--model", "corey", "--format", format});
            EXPECT_EQ(fit.status, exitRefused) << swc;
            EXPECT_EQ(fit.err.substr(0, 53),
                      "relperm fit: The data set cannot be used: its Swc is ")
                << fit.err;
            EXPECT_EQ(fit.out, "");
        }
        const Outcome recommended = run({"recommend", "--model", "corey", "--format", "swof"});
        EXPECT_EQ(recommended.status, exitRefused);
        EXPECT_NE(recommended.err.find("None of the 1 matching data sets could be fitted"),
                  std::string::npos)
            << recommended.err;
    }
}

TEST_F(UnusableRecords, ARecommendationCountsTheSetsItLeavesOut) {
    std::vector<SetRecipe> sets(40, fourPoints());
    for (std::size_t k = 0; k < sets.size(); ++k)
        sets[k].sorw = 0.2 + 0.003 * static_cast<double>(k);
    sets.insert(sets.begin() + 2, fourPoints(nan));
    write(sets);
    const Outcome r = run({"recommend", "--model", "corey"});
    EXPECT_EQ(r.status, exitOk) << r.err;
    EXPECT_EQ(r.err, "relperm recommend: data set # 3 left out: The data set cannot be used: its "
                     "Swc is not a number (NaN).\n"
                     "relperm recommend: 40 of the 41 matching data sets fitted\n");
    EXPECT_EQ(r.out.find("NaN"), std::string::npos) << r.out;
}

TEST_F(UnusableRecords, ANanKrOrAnAllZeroSetWritesNoTable) {
    SetRecipe nanKr = fourPoints();
    nanKr.points[1][1] = nan;
    const SetRecipe still{.points = {{0, 0, 0}, {0.5, 0, 0}, {1, 0, 0}}};
    write({nanKr, still});
    const Outcome fit = run({"fit", "--match", "1", "--model", "corey"});
    EXPECT_EQ(fit.status, exitRefused);
    EXPECT_EQ(fit.err,
              "relperm fit: The data set cannot be used: its point 2 krw is not a number (NaN).\n");
    const Outcome nanTable = run({"db", "show", "--match", "1", "--format", "swof", "--repair"});
    EXPECT_EQ(nanTable.status, exitRefused);
    EXPECT_EQ(nanTable.err,
              "relperm db: The data set cannot be used: its point 2 krw is not a number (NaN).\n");
    const Outcome zero = run({"db", "show", "--match", "2", "--format", "swof", "--repair"});
    EXPECT_EQ(zero.status, exitRefused);
    EXPECT_EQ(zero.err, "relperm db: The table cannot go into a simulator deck: krow must be "
                        "above 0 somewhere; every krow of SWOF is 0, so the phase would never "
                        "flow.\n");
    EXPECT_EQ(zero.out, "");
}

TEST_F(UnusableRecords, EndPointsLeavingNoRangeAreRefusedEvenWithARepair) {
    write({SetRecipe{.swc = 0.45, .sorw = 0.55}});
    const Outcome r = run({"db", "show", "--match", "1", "--format", "swof", "--repair"});
    EXPECT_EQ(r.status, exitRefused);
    EXPECT_EQ(r.err, "relperm db: The data set cannot be used: its end points leave no "
                     "saturation range (Swc + Sorw is 1 or more).\n");
}

} // namespace
} // namespace relperm::cli
