#include "database/datasetfile.h"
#include "records.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>

namespace relperm {
namespace {

using namespace relperm::testing;
using DataSetFile = TempDirTest;

SavedDataSet savedWaterOil() {
    SavedDataSet s;
    s.systemIndex = 0;
    s.title = "Well A-3, plug 12";
    s.criteria = {.wettability = 1, .lithology = 0, .method = 2, .location = 5};
    s.values = makeSet(SetRecipe{.depth = 8450,
                                 .porosity = 0.215,
                                 .k = 125,
                                 .kabs = 140,
                                 .swc = 0.18,
                                 .sorw = 0.3,
                                 .points = {{0, 0, 1}, {0.5, 0.0123, 0.35}, {1, 0.25, 0}}});
    s.values.depthFtSs = TaggedValue{};
    return s;
}

TEST(DataSetFileText, WaterOilLayout) {
    EXPECT_EQ(dataSetFileText(savedWaterOil()), "0,\"Well A-3, plug 12\"\r\n"
                                                "3,1,5,0,2,,.215,125,140,.18,.3\r\n"
                                                "0,0,1\r\n"
                                                ".5,.0123,.35\r\n"
                                                "1,.25,0\r\n");
}

TEST(DataSetFileText, NoSystemChosenWritesNoLineTwo) {
    SavedDataSet s = savedWaterOil();
    s.systemIndex = -1;
    EXPECT_EQ(dataSetFileText(s),
              "-1,\"Well A-3, plug 12\"\r\n0,0,1\r\n.5,.0123,.35\r\n1,.25,0\r\n");
    SavedDataSet back;
    ASSERT_FALSE(parseDataSetFile(dataSetFileText(s), "f", back));
    EXPECT_EQ(back.systemIndex, -1);
    EXPECT_EQ(back.values.pointCount, 3);
    EXPECT_EQ(back.values.krAxis[2], 0.0123);
}

TEST(DataSetFileText, GasWaterCarriesSorgAndReadsItBack) {
    SavedDataSet s = savedWaterOil();
    s.systemIndex = 2;
    s.values.residualOilToGas = TaggedValue::of(0.125);
    s.values.criticalGas = TaggedValue::of(1e-5);
    const std::string text = dataSetFileText(s);
    EXPECT_NE(text.find("\r\n3,5,0,2,,.215,125,140,.18,1E-05,.125\r\n"), std::string::npos) << text;
    SavedDataSet back;
    ASSERT_FALSE(parseDataSetFile(text, "f", back));
    EXPECT_EQ(back.values.residualOilToGas.value(), 0.125);
    EXPECT_EQ(back.values.criticalGas.value(), 1e-5);
}

TEST_F(DataSetFile, SaveAndOpenGiveBackEverythingButTheCodes) {
    for (int system = 0; system <= 3; ++system) {
        SavedDataSet s = savedWaterOil();
        s.systemIndex = system;
        s.values.residualOilToGas = TaggedValue::of(0.2);
        s.values.criticalGas = TaggedValue::of(0.05);
        ASSERT_FALSE(saveDataSetFile(dir / "set.txt", s));
        SavedDataSet back;
        ASSERT_FALSE(openDataSetFile(dir / "set.txt", back));
        EXPECT_EQ(back.systemIndex, system);
        EXPECT_EQ(back.title, s.title);
        EXPECT_EQ(back.criteria.location, 5);
        EXPECT_EQ(back.criteria.method, 2);
        EXPECT_EQ(back.criteria.wettability, system == 0 ? 1 : 0);
        EXPECT_EQ(back.values.pointCount, 3);
        EXPECT_EQ(back.values.krOther[2], 0.35);
        EXPECT_EQ(back.values.absPermeabilityMd.value(), 140);
        EXPECT_TRUE(back.values.depthFtSs.isEmpty()) << "an empty value stays empty";
        EXPECT_EQ(dataSetFileText(back), dataSetFileText(s)) << system;

        MeasuredDataSet target = makeSet(SetRecipe{.location = 6, .sorw = 0.44});
        applySavedValues(back, target);
        EXPECT_EQ(target.locationCode.value(), 6) << "codes are not in the file";
        EXPECT_EQ(target.porosityFraction.value(), 0.215);
        EXPECT_EQ(target.residualOilToWater.value(), system == 0 ? 0.3 : 0.44);
    }
}

TEST_F(DataSetFile, AMissingFileIsNamed) {
    SavedDataSet back;
    auto failure = openDataSetFile(dir / "none.txt", back);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("none.txt"), std::string::npos);
}

// A saved data set is a few kB: Open reads no further than the limit, so a file padded to
// it still opens, and one byte more, or a file of gigabytes, is refused at once unread.
TEST_F(DataSetFile, OpenReadsNoFurtherThanADataSetCanReach) {
    const std::filesystem::path file = dir / "saved.txt";
    ASSERT_FALSE(saveDataSetFile(file, savedWaterOil()));
    std::filesystem::resize_file(file, dataSetFileReadLimit);
    // The padding is zero bytes, which no data set holds: a line end makes it an empty line.
    {
        std::fstream padded(file, std::ios::in | std::ios::out | std::ios::binary);
        padded.seekp(static_cast<std::streamoff>(dataSetFileText(savedWaterOil()).size()));
        padded << std::string(dataSetFileReadLimit - dataSetFileText(savedWaterOil()).size(), '\n');
    }
    SavedDataSet back;
    EXPECT_EQ(openDataSetFile(file, back), std::nullopt);
    EXPECT_EQ(back.title, "Well A-3, plug 12");

    for (std::uintmax_t size :
         {std::uintmax_t{dataSetFileReadLimit + 1}, std::uintmax_t{1} << 32}) {
        std::filesystem::resize_file(file, size);
        SavedDataSet kept = savedWaterOil();
        kept.title = "kept";
        auto failure = openDataSetFile(file, kept);
        ASSERT_TRUE(failure) << size;
        EXPECT_EQ(*failure, file.string() + " is not a data-set file: it goes on past 1 MiB, and a "
                                            "saved data set (a title, one line of values and at "
                                            "most 50 points) fills a few kB.");
        EXPECT_EQ(kept.title, "kept");
    }
}

struct BadFile {
    const char* name;
    const char* text;
    const char* message;
};

void PrintTo(const BadFile& file, std::ostream* os) {
    *os << file.name;
}

class DataSetFileRefusal : public ::testing::TestWithParam<BadFile> {};

TEST_P(DataSetFileRefusal, NamesTheFileAndLineAndKeepsTheDataSet) {
    SavedDataSet out = savedWaterOil();
    auto failure = parseDataSetFile(GetParam().text, "saved.txt", out);
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find(GetParam().message), std::string::npos) << *failure;
    EXPECT_EQ(out.title, "Well A-3, plug 12");
    EXPECT_EQ(out.values.pointCount, 3);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DataSetFileRefusal,
    ::testing::Values(
        BadFile{"Empty", "", "saved.txt: the file is empty"},
        BadFile{"IndexOutside", "4,\"t\"\r\n",
                "saved.txt, line 1: the two-phase index must be -1 "
                "to 3, not \"4\""},
        BadFile{"IndexNotANumber", "x,\"t\"\r\n", "line 1: the two-phase index"},
        BadFile{"NoTitle", "1\r\n", "line 1: the line must hold the two-phase index and the title"},
        BadFile{"NoLineTwo", "1,\"t\"\r\n", "line 2: the line of the point count"},
        BadFile{"ShortLineTwo", "3,\"t\"\r\n1,0,0,0\r\n", "line 2: 9 items expected, found 4"},
        BadFile{"CountAbove50", "3,\"t\"\r\n51,0,0,0,.2,1,1,.2,.1\r\n",
                "line 2: the point count must be a whole number from 0 to 50, not \"51\""},
        BadFile{"CriterionOutside", "1,\"t\"\r\n0,7,0,0,1,.2,1,1,.2,.1,.2\r\n",
                "line 2: the location criterion must be a whole number from -1 to 6"},
        BadFile{"ValueNotANumber", "3,\"t\"\r\n0,0,0,0,.2x,1,1,.2,.1\r\n",
                "line 2: the porosity must be a number, not \".2x\""},
        BadFile{"MissingPoints", "3,\"t\"\r\n2,0,0,0,.2,1,1,.2,.1\r\n0,0,1\r\n",
                "line 4: the file ends after 1 of its 2 point lines"},
        BadFile{"ShortPoint", "3,\"t\"\r\n1,0,0,0,.2,1,1,.2,.1\r\n0,1\r\n",
                "line 3: a point line holds 3 numbers, found 2 items"},
        BadFile{"PointNotANumber", "3,\"t\"\r\n1,0,0,0,.2,1,1,.2,.1\r\n0,,1\r\n",
                "line 3: a point value must be a number, not an empty item"},
        BadFile{"ExtraLines", "3,\"t\"\r\n1,0,0,0,.2,1,1,.2,.1\r\n0,0,1\r\n1,1,0\r\n",
                "line 4: more lines than the 1 points that line 2 announces"}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace relperm
