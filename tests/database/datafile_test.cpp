#include "database/datafile.h"
#include "records.h"

#include <gtest/gtest.h>

namespace relperm {
namespace {

using namespace relperm::testing;
using DataFile = TempDirTest;

// A water-oil header of ten values in every numeric tag, and two points.
Bytes mixedTagWaterOilRecord() {
    Bytes b;
    b.raw16(2)
        .int16(1)      // wetting
        .int32(2)      // location
        .dbl(3.0)      // lithology
        .single(4.0f)  // method
        .empty()       // depth
        .single(0.25f) // porosity
        .dbl(100)      // k
        .int16(150)    // kabs
        .dbl(0.2)      // Swc
        .dbl(0.3);     // Sorw
    b.dbl(0).dbl(0).dbl(1);
    b.dbl(1).single(0.5f).int16(0);
    return b;
}

TEST_F(DataFile, ReadsEveryNumericTagAsADouble) {
    writeDataFile(dir, TwoPhaseSystem::WaterOil, mixedTagWaterOilRecord().data);
    RecordFile file(dir, TwoPhaseSystem::WaterOil);
    MeasuredDataSet set;
    ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
    EXPECT_EQ(set.pointCount, 2);
    EXPECT_EQ(set.wettingCode.value(), 1);
    EXPECT_EQ(set.locationCode.value(), 2);
    EXPECT_EQ(set.lithologyCode.value(), 3);
    EXPECT_EQ(set.methodCode.value(), 4);
    EXPECT_TRUE(set.depthFtSs.isEmpty());
    EXPECT_EQ(set.porosityFraction.value(), 0.25);
    EXPECT_EQ(set.absPermeabilityMd.value(), 150);
    EXPECT_EQ(set.residualOilToWater.value(), 0.3);
    EXPECT_EQ(set.krOther[1], 1);
    EXPECT_EQ(set.normSat[2], 1);
    EXPECT_EQ(set.krAxis[2], 0.5);
    EXPECT_EQ(codeText(FieldKind::Method, set.methodCode), "Centrifuge");
    EXPECT_EQ(codeText(FieldKind::Location, set.locationCode), "S. America");
    EXPECT_FALSE(file.problem());
}

TEST_F(DataFile, EmptyFileIsAtEndBeforeAnyRead) {
    writeDataFile(dir, TwoPhaseSystem::GasOil, "");
    RecordFile file(dir, TwoPhaseSystem::GasOil);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_FALSE(file.problem());
}

TEST_F(DataFile, MissingFileReadsAsEmptyAndIsNotCreated) {
    RecordFile file(dir, TwoPhaseSystem::GasWater);
    EXPECT_TRUE(file.AtEnd());
    EXPECT_FALSE(file.problem());
    EXPECT_FALSE(std::filesystem::exists(dir / "GWBIN"));
}

TEST_F(DataFile, AFolderInPlaceOfTheFileIsReportedAndReadsAsEmpty) {
    std::filesystem::create_directory(dir / "OWBIN");
    RecordFile file(dir, TwoPhaseSystem::WaterOil);
    EXPECT_TRUE(file.AtEnd());
    ASSERT_TRUE(file.problem());
    EXPECT_NE(file.problem()->message().find("OWBIN"), std::string::npos);
}

TEST_F(DataFile, ThreeRecordsAreFollowedByAnEmptyEndRecord) {
    writeDataFile(
        dir, TwoPhaseSystem::WaterOil,
        recordsOf(TwoPhaseSystem::WaterOil,
                  {SetRecipe{.location = 1}, SetRecipe{.location = 2}, SetRecipe{.location = 3}}));
    RecordFile file(dir, TwoPhaseSystem::WaterOil);
    MeasuredDataSet set;
    for (int r = 1; r <= 3; ++r) {
        ASSERT_FALSE(file.AtEnd());
        ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
        EXPECT_EQ(set.locationCode.value(), r);
        EXPECT_EQ(set.pointCount, 3);
    }
    EXPECT_FALSE(file.AtEnd()) << "a record ending exactly at the end does not set AtEnd";
    EXPECT_EQ(file.ReadRecord(set), ReadOutcome::End);
    EXPECT_EQ(set.pointCount, 0);
    for (const HeaderField& field : headerFields(TwoPhaseSystem::WaterOil))
        EXPECT_TRUE((set.*field.member).isEmpty()) << field.name;
    EXPECT_TRUE(file.AtEnd());
    EXPECT_FALSE(file.problem());
}

TEST_F(DataFile, FiftyPointsFillIndicesOneToFifty) {
    SetRecipe fifty;
    fifty.points.clear();
    for (int i = 1; i <= 50; ++i)
        fifty.points.push_back({i / 50.0, i / 100.0, 1 - i / 50.0});
    writeDataFile(dir, TwoPhaseSystem::GasOil, recordsOf(TwoPhaseSystem::GasOil, {fifty}));
    RecordFile file(dir, TwoPhaseSystem::GasOil);
    MeasuredDataSet set;
    set.normSat[0] = -7; // index 0 holds no point and is never written
    ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
    EXPECT_EQ(set.pointCount, 50);
    EXPECT_EQ(set.normSat[1], 1 / 50.0);
    EXPECT_EQ(set.normSat[50], 1.0);
    EXPECT_EQ(set.krAxis[50], 0.5);
    EXPECT_EQ(set.normSat[0], -7);
}

TEST_F(DataFile, GasCondensateRecordLeavesDepthAndSorgOfAnEarlierRecord) {
    writeDataFile(dir, TwoPhaseSystem::GasCondensate,
                  recordsOf(TwoPhaseSystem::GasCondensate, {SetRecipe{.swc = 0.3, .sgc = 0.1}}));
    MeasuredDataSet set = makeSet(SetRecipe{.depth = 8000, .sorg = 0.22});
    RecordFile file(dir, TwoPhaseSystem::GasCondensate);
    ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
    EXPECT_EQ(set.connateWater.value(), 0.3);
    EXPECT_EQ(set.criticalGas.value(), 0.1);
    EXPECT_EQ(set.depthFtSs.value(), 8000);
    EXPECT_EQ(set.residualOilToGas.value(), 0.22);
    // So does the end record: it empties only the header fields of its own file.
    ASSERT_EQ(file.ReadRecord(set), ReadOutcome::End);
    EXPECT_EQ(set.depthFtSs.value(), 8000);
    EXPECT_TRUE(set.connateWater.isEmpty());
}

TEST(CodeValues, DoublesSelectTheSameTextsAndCodesAsIntegers) {
    const TaggedValue asDouble = TaggedValue::of(2.0, ValueTag::Double);
    const TaggedValue asInteger = TaggedValue::of(2, ValueTag::Int16);
    EXPECT_TRUE(asDouble.equalsCode(2));
    EXPECT_TRUE(sameKey(asDouble, asInteger));
    EXPECT_EQ(codeText(FieldKind::Lithology, asDouble), "Limestone");
    EXPECT_EQ(codeText(FieldKind::Wettability, asDouble), "Mixed Wet");
}

TEST(CodeValues, StringsNeverEqualACodeAndShowABlank) {
    const TaggedValue text = TaggedValue::ofText("2");
    EXPECT_FALSE(text.equalsCode(2));
    EXPECT_FALSE(text.equalsCode(0));
    EXPECT_FALSE(sameKey(text, TaggedValue::of(2)));
    EXPECT_TRUE(sameKey(text, TaggedValue::ofText("2")));
    EXPECT_EQ(codeText(FieldKind::Location, text), " ");
    EXPECT_EQ(text.value(), 0);
}

TEST(CodeValues, CodesWithoutTextShowABlank) {
    EXPECT_EQ(codeText(FieldKind::Location, TaggedValue{}), " ");
    EXPECT_EQ(codeText(FieldKind::Location, TaggedValue::of(0)), " ");
    EXPECT_EQ(codeText(FieldKind::Location, TaggedValue::of(7)), " ");
    EXPECT_EQ(codeText(FieldKind::Method, TaggedValue::of(2.5)), " ");
    EXPECT_TRUE(TaggedValue{}.equalsCode(0)) << "an empty value counts as 0";
}

TEST(CodeValues, TextsReadBackAsCodesInEitherForm) {
    EXPECT_EQ(codeFromText(FieldKind::Location, "N. America"), 1);
    EXPECT_EQ(codeFromText(FieldKind::Location, "north america"), 1);
    EXPECT_EQ(codeFromText(FieldKind::Wettability, "Intermediate (Mixed) Wet"), 2);
    EXPECT_EQ(codeFromText(FieldKind::Method, "Centrifuge"), 4);
    EXPECT_EQ(codeFromText(FieldKind::Lithology, "Granite"), std::nullopt);
}

TEST(CodeValues, GasCondensateCarriesEightHeaderFieldsAndNoDepth) {
    EXPECT_EQ(headerFields(TwoPhaseSystem::WaterOil).size(), 10u);
    EXPECT_EQ(headerFields(TwoPhaseSystem::GasOil).size(), 10u);
    EXPECT_EQ(headerFields(TwoPhaseSystem::GasWater).size(), 9u);
    ASSERT_EQ(headerFields(TwoPhaseSystem::GasCondensate).size(), 8u);
    for (const HeaderField& f : headerFields(TwoPhaseSystem::GasCondensate))
        EXPECT_NE(f.member, &MeasuredDataSet::depthFtSs);
}

struct Damage {
    const char* name;
    std::string tail; // bytes after one good record
    const char* reason;
};

// One test over every kind of damage: a parameterized suite's name holds a slash, which
// would leave a folder behind in the temporary folder.
TEST_F(DataFile, ADamagedRecordEndsTheScanAsTheEndOfTheDataAndSaysWhich) {
    const std::string good = recordsOf(GW, {SetRecipe{}});
    const std::vector<Damage> kinds{
        Damage{"CountAbove50", Bytes().raw16(51).data, "point count 51"},
        Damage{"NegativeCount", Bytes().raw16(-1).data, "point count -1"},
        Damage{"UnknownTag", Bytes().raw16(1).int16(1).raw16(7).data, "unknown type tag 7"},
        Damage{"EndsInsideHeader", Bytes().raw16(1).int16(1).int16(1).data, "ends inside"},
        Damage{"EndsInsideValue", Bytes().raw16(1).int16(1).data + std::string("\x05\x00\x01", 3),
               "ends inside"},
        Damage{"OneStrayByte", std::string("\x01", 1), "ends inside"},
        Damage{"EndsInsidePoints",
               Bytes()
                   .raw16(2)
                   .int16(1)
                   .int16(1)
                   .int16(1)
                   .dbl(1)
                   .dbl(.2)
                   .dbl(1)
                   .dbl(1)
                   .dbl(.1)
                   .dbl(.05)
                   .dbl(0)
                   .dbl(0)
                   .dbl(1)
                   .data,
               "ends inside"}};
    for (const Damage& damage : kinds) {
        SCOPED_TRACE(damage.name);
        writeDataFile(dir, GW, good + damage.tail);
        RecordFile file(dir, GW);
        MeasuredDataSet set;
        ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
        EXPECT_FALSE(file.problem());
        EXPECT_EQ(file.ReadRecord(set), ReadOutcome::Damaged);
        EXPECT_EQ(set.pointCount, 0);
        EXPECT_TRUE(set.locationCode.isEmpty()) << "the data set holds the end record";
        EXPECT_TRUE(file.AtEnd());
        ASSERT_TRUE(file.problem());
        EXPECT_EQ(file.problem()->record, 2);
        EXPECT_EQ(file.problem()->file, dir / "GWBIN");
        const std::string message = file.problem()->message();
        EXPECT_NE(message.find("GWBIN, record 2: "), std::string::npos) << message;
        EXPECT_NE(message.find(damage.reason), std::string::npos) << message;
    }
}

// An explicit end record written without its header: the values beyond the end of the
// file read as empty, so it is the end record, in every system, with nothing to report.
// A zero count followed by anything but the end of the file is a record like any other.
TEST_F(DataFile, ABareZeroCountAtTheEndIsTheEndRecord) {
    for (TwoPhaseSystem system : allSystems) {
        SCOPED_TRACE(dataFileName(system));
        const std::string two = recordsOf(system, {SetRecipe{}, SetRecipe{.location = 3}});
        for (const std::string& rest : {std::string(), two}) {
            writeDataFile(dir, system, rest + Bytes().raw16(0).data);
            RecordFile file(dir, system);
            MeasuredDataSet set = makeSet(SetRecipe{.location = 5});
            EXPECT_FALSE(file.AtEnd()) << "the file is not empty";
            for (int record = 0; record < (rest.empty() ? 0 : 2); ++record)
                ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
            EXPECT_EQ(file.ReadRecord(set), ReadOutcome::End);
            EXPECT_EQ(set.pointCount, 0);
            EXPECT_TRUE(set.locationCode.isEmpty());
            EXPECT_TRUE(file.AtEnd());
            EXPECT_FALSE(file.problem()) << file.problem()->message();
        }

        writeDataFile(dir, system, two + Bytes().raw16(0).data + "\x02");
        RecordFile cut(dir, system);
        MeasuredDataSet set;
        cut.ReadRecord(set);
        cut.ReadRecord(set);
        EXPECT_EQ(cut.ReadRecord(set), ReadOutcome::Damaged);
        ASSERT_TRUE(cut.problem());
        EXPECT_EQ(cut.problem()->record, 3);
    }
}

TEST(RecordBytes, EncodeWritesTheCountTheHeaderInItsTagsAndDoublePoints) {
    MeasuredDataSet set = makeSet(SetRecipe{
        .location = 3, .porosity = 0.25, .swc = 0.5, .sgc = 0.125, .points = {{0, 0, 1}}});
    set.lithologyCode = TaggedValue::ofText("ss");
    set.methodCode = TaggedValue::of(70000, ValueTag::Int16); // does not fit 16 bits
    set.depthFtSs = TaggedValue{};
    Bytes expected;
    expected.raw16(1)
        .int16(3)
        .str("ss")
        .dbl(70000)
        .empty()
        .dbl(0.25)
        .dbl(100)
        .dbl(100)
        .dbl(0.5)
        .dbl(0.125);
    expected.dbl(0).dbl(0).dbl(1);
    EXPECT_EQ(encodeRecord(TwoPhaseSystem::GasWater, set), expected.data);
}

TEST_F(DataFile, StringValuesAreReadWithTheirCharacters) {
    Bytes b;
    b.raw16(1).str("Bakken").int16(1).int16(1).int16(1).dbl(.1).dbl(1).dbl(1).dbl(.2);
    b.dbl(0).dbl(0).dbl(1);
    writeDataFile(dir, TwoPhaseSystem::GasCondensate, b.data);
    RecordFile file(dir, TwoPhaseSystem::GasCondensate);
    MeasuredDataSet set;
    ASSERT_EQ(file.ReadRecord(set), ReadOutcome::Stored);
    EXPECT_TRUE(set.locationCode.isText());
    EXPECT_EQ(set.locationCode.text, "Bakken");
    EXPECT_EQ(set.criticalGas.value(), 0.2);
}

} // namespace
} // namespace relperm
