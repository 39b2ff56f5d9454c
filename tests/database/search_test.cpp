#include "database/search.h"
#include "records.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;

class Search : public TempDirTest {
  protected:
    // FindDataSet over the files of `dir` with the data set of this test.
    ScanState scan(TwoPhaseSystem system, int targetMatch, SearchCriteria lists = {},
                   ToleranceSearch search = {}, UserEndPoints user = {}) {
        ScanState state;
        state.targetMatch = targetMatch;
        problem = FindDataSet(dir, system, lists, search, user, state, set);
        return state;
    }
    int count(TwoPhaseSystem system, SearchCriteria lists = {}, ToleranceSearch search = {},
              UserEndPoints user = {}) {
        return scan(system, 0, lists, search, user).matchCount;
    }

    MeasuredDataSet set;
    std::optional<DataFileProblem> problem;
};

TEST_F(Search, EmptyOrMissingFileCountsZeroAndFindsNoData) {
    ScanState missing = scan(GO, 1);
    EXPECT_EQ(missing.matchCount, 0);
    EXPECT_EQ(missing.noMoreData, 1);
    writeDataFile(dir, GO, "");
    EXPECT_EQ(scan(GO, 0).noMoreData, 1);
    EXPECT_FALSE(problem);
}

TEST_F(Search, NoSystemChosenOnlyResetsNoMoreDataAndCapturesTheLists) {
    set = makeSet(SetRecipe{.location = 4});
    ScanState state;
    state.noMoreData = 1;
    state.matchCount = 9;
    FindDataSet(dir, std::nullopt, SearchCriteria{1, 2, 0, 3}, {}, {}, state, set);
    EXPECT_EQ(state.noMoreData, 0);
    EXPECT_EQ(state.matchCount, 9);
    EXPECT_EQ(state.criteria, (SearchCriteria{1, 2, 0, 3}));
    EXPECT_EQ(set.locationCode.value(), 4);
}

TEST_F(Search, IndexZeroMatchesEveryCodeIncludingCodesWithoutText) {
    std::string bytes = recordsOf(
        WO, {SetRecipe{.location = 1}, SetRecipe{.location = 0}, SetRecipe{.location = 9}});
    MeasuredDataSet text = makeSet(SetRecipe{});
    text.locationCode = TaggedValue::ofText("1");
    bytes += encodeRecord(WO, text);
    writeDataFile(dir, WO, bytes);
    EXPECT_EQ(count(WO), 4);
    EXPECT_EQ(count(WO, {.location = 1}), 1) << "a string code never matches";
    EXPECT_EQ(count(WO, {.location = 2}), 0);
}

TEST_F(Search, CapillaryPressureAndCentrifugeCountAsUnsteadyState) {
    writeDataFile(dir, WO,
                  recordsOf(WO, {SetRecipe{.method = 1}, SetRecipe{.method = 2},
                                 SetRecipe{.method = 3}, SetRecipe{.method = 4}}));
    EXPECT_EQ(count(WO, {.method = 1}), 1);
    EXPECT_EQ(count(WO, {.method = 2}), 3);
    ScanState fourth = scan(WO, 3, {.method = 2});
    EXPECT_EQ(set.methodCode.value(), 4) << "the record keeps its own code";
    EXPECT_EQ(fourth.matchCount, 3);
}

TEST_F(Search, EveryCriterionMustHoldAndWettabilityOnlyForWaterOil) {
    const std::vector<SetRecipe> recipes{
        SetRecipe{.wetting = 1, .location = 2, .lithology = 3},
        SetRecipe{.wetting = 2, .location = 2, .lithology = 3},
        SetRecipe{.wetting = 1, .location = 2, .lithology = 1},
    };
    writeDataFile(dir, WO, recordsOf(WO, recipes));
    writeDataFile(dir, GO, recordsOf(GO, recipes));
    EXPECT_EQ(count(WO, {.wettability = 1, .lithology = 3, .location = 2}), 1);
    EXPECT_EQ(count(WO, {.wettability = 0, .lithology = 3, .location = 2}), 2);
    set.wettingCode = TaggedValue::of(3); // gas-oil records carry no wettability
    EXPECT_EQ(count(GO, {.wettability = 1, .lithology = 3, .location = 2}), 2);
}

TEST_F(Search, AStoredZeroCountRecordEndsEveryScan) {
    std::string bytes =
        recordsOf(GW, {SetRecipe{}, SetRecipe{.points = {}}, SetRecipe{}, SetRecipe{}});
    writeDataFile(dir, GW, bytes);
    EXPECT_EQ(count(GW), 1);
    ScanState second = scan(GW, 2);
    EXPECT_EQ(second.matchCount, 1);
    EXPECT_EQ(second.noMoreData, 0);
    EXPECT_EQ(set.pointCount, 0);
    EXPECT_EQ(set.locationCode.value(), 1) << "its header was read";
}

TEST_F(Search, ShowStopsAtTheNthMatchAndPastTheLastGivesTheEndRecord) {
    writeDataFile(dir, GO,
                  recordsOf(GO, {SetRecipe{.location = 1, .k = 10}, SetRecipe{.location = 2},
                                 SetRecipe{.location = 1, .k = 30}}));
    ScanState second = scan(GO, 2, {.location = 1});
    EXPECT_EQ(second.matchCount, 2);
    EXPECT_EQ(set.permeabilityMd.value(), 30);
    EXPECT_EQ(set.pointCount, 3);
    ScanState past = scan(GO, 3, {.location = 1});
    EXPECT_EQ(past.matchCount, 2) << "the number of matches";
    EXPECT_EQ(past.noMoreData, 0);
    EXPECT_EQ(set.pointCount, 0);
    EXPECT_TRUE(set.permeabilityMd.isEmpty());
}

TEST_F(Search, DeviationEqualToTheToleranceInTypedDecimalsPasses) {
    writeDataFile(
        dir, WO,
        recordsOf(WO, {SetRecipe{.swc = 0.20, .sorw = 0.30}, SetRecipe{.swc = 0.2001, .sorw = 0.30},
                       SetRecipe{.swc = 0.10, .sorw = 0.30}}));
    const ToleranceSearch five{true, 5};
    // 100 x |0.15 - 0.20| is 5.000000000000002 in binary; the user typed exactly 5.
    EXPECT_EQ(count(WO, {}, five, {.swc = 0.15}), 2) << "0.20 and 0.10 lie 5 points away";
    EXPECT_EQ(count(WO, {}, five, {.swc = 0.15, .sor = 0.35}), 2);
    EXPECT_EQ(count(WO, {}, five, {.swc = 0.15, .sor = 0.36}), 0);
    EXPECT_EQ(count(WO, {}, {false, 5}, {.swc = 0.9}), 3) << "Search All ignores end points";
}

TEST_F(Search, EmptySwcAndSorTakeNoPartAndSgcIsComparedAsTheDisplayDefaultsIt) {
    writeDataFile(dir, GO,
                  recordsOf(GO, {SetRecipe{.swc = 0.1, .sorg = 0.1, .sgc = 0.02},
                                 SetRecipe{.swc = 0.3, .sorg = 0.3, .sgc = 0.1}}));
    // Without Swc and Sor the first display makes Sgc 0, so every scan compares Sgc 0: a
    // count that compared no Sgc, or the 10% typed, would count a set no Show reaches.
    EXPECT_EQ(count(GO, {}, {true, 2}, {}), 1);
    EXPECT_EQ(count(GO, {}, {true, 2}, {.sgc = 0.1}), 1);
    ScanState first = scan(GO, 1, {}, {true, 2}, {.sgc = 0.1});
    EXPECT_EQ(set.criticalGas.value(), 0.02);
    EXPECT_EQ(count(GO, {}, {true, 0}, {.swc = 0.3}), 1) << "empty Sor and Sgc pass";
    // A tolerance of 0 (a text without a number) passes only equal end points.
    EXPECT_EQ(count(GO, {}, {true, 0}, {.swc = 0.3, .sor = 0.3, .sgc = 0.1}), 1);
    EXPECT_EQ(count(GO, {}, {true, 3}, {.sor = 0.27}), 1) << "gas-oil tests Sorg";
    EXPECT_EQ(first.matchCount, 1);
}

TEST_F(Search, GasWaterTestsSwcAndSgcButNoResidualOil) {
    writeDataFile(dir, GW, recordsOf(GW, {SetRecipe{.swc = 0.2, .sorw = 0.9, .sgc = 0.05}}));
    EXPECT_EQ(count(GW, {}, {true, 1}, {.swc = 0.2, .sor = 0.0, .sgc = 0.05}), 1);
    EXPECT_EQ(count(GW, {}, {true, 1}, {.swc = 0.2, .sor = 0.0, .sgc = 0.07}), 0);
}

TEST_F(Search, ADamagedRecordEndsTheCountAndIsReported) {
    writeDataFile(dir, WO,
                  recordsOf(WO, {SetRecipe{}, SetRecipe{}}) + Bytes().raw16(99).data +
                      recordsOf(WO, {SetRecipe{}}));
    EXPECT_EQ(count(WO), 2);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->record, 3);
}

class Matching : public Search {};

TEST_F(Matching, FindsTheFirstRecordWithTheSameSevenKeys) {
    const SetRecipe sample{.location = 2,
                           .lithology = 3,
                           .method = 4,
                           .depth = 7000,
                           .porosity = 0.18,
                           .k = 55,
                           .kabs = 70,
                           .swc = 0.22};
    SetRecipe otherK = sample;
    otherK.k = 56;
    SetRecipe otherKabsAndEndPoints = sample; // kabs and Sorw are not keys
    otherKabsAndEndPoints.kabs = 99;
    otherKabsAndEndPoints.sorw = 0.11;
    writeDataFile(dir, WO, recordsOf(WO, {otherK, otherKabsAndEndPoints, sample}));
    set = makeSet(sample);
    set.residualOilToGas = TaggedValue::of(0.17);
    int matchCount = 5;
    SampleMatch m = findSameSample(dir, WO, set, matchCount);
    EXPECT_TRUE(m.found);
    EXPECT_EQ(matchCount, 2);
    EXPECT_EQ(set.residualOilToWater.value(), 0.11);
    EXPECT_EQ(set.absPermeabilityMd.value(), 99);
}

TEST_F(Matching, FailureRestoresTheDataSetAndItsNumber) {
    writeDataFile(dir, GO, recordsOf(GO, {SetRecipe{.depth = 1}, SetRecipe{.depth = 2}}));
    set = makeSet(SetRecipe{.depth = 3, .sorg = 0.4});
    int matchCount = 4;
    SampleMatch m = findSameSample(dir, GO, set, matchCount);
    EXPECT_FALSE(m.found);
    EXPECT_EQ(matchCount, 4);
    EXPECT_EQ(set.depthFtSs.value(), 3);
    EXPECT_EQ(set.residualOilToGas.value(), 0.4);
    EXPECT_EQ(set.pointCount, 3);
    EXPECT_EQ(noMatchNotice(GO), "NO Gas-Oil MATCH FOUND");
    EXPECT_EQ(noMatchNotice(WO), "NO Water-Oil MATCH FOUND");
}

TEST_F(Matching, TheEndOfTheFileIsNoSample) {
    // The empty data set shown past the last match has empty keys, like the end record.
    writeDataFile(dir, WO, recordsOf(WO, {SetRecipe{}}));
    MeasuredDataSet empty;
    set = empty;
    int matchCount = 1;
    EXPECT_FALSE(findSameSample(dir, WO, set, matchCount).found);
    EXPECT_EQ(matchCount, 1);
}

TEST_F(Matching, ComparesAStoredZeroCountRecordAndReadsPastIt) {
    const SetRecipe sample{.depth = 4321};
    SetRecipe zero{.depth = 1};
    zero.points.clear();
    writeDataFile(dir, GO, recordsOf(GO, {zero, sample}));
    set = makeSet(sample);
    int matchCount = 0;
    EXPECT_TRUE(findSameSample(dir, GO, set, matchCount).found);
    EXPECT_EQ(matchCount, 2);
}

TEST(MatchingSystem, PairsWaterOilAndGasOilOnly) {
    EXPECT_EQ(matchingSystem(WO), GO);
    EXPECT_EQ(matchingSystem(GO), WO);
    EXPECT_EQ(matchingSystem(GW), std::nullopt);
    EXPECT_EQ(matchingSystem(TwoPhaseSystem::GasCondensate), std::nullopt);
}

} // namespace
} // namespace relperm
