// The writers of tables that leave the suite: the simulator include file, from rows of any
// values, from a measured record as the browser shows it and from a calculator generation;
// the calculator's export file; the browser's import text of a set.
//
// Checks: an include file that is written reads back, line by line, as comments, keywords
// in the order asked, rows of numbers and closing slashes, and every table in it passes the
// rules a simulator applies (saturations rise within [0, 1], kr in [0, 1], the moving phase
// starts at kr 0 and never falls, the oil never rises, gas tables start at Sg = 0, each
// table reaches the largest saturation of its phase). An export file reads back as the rows
// of its tables. A set's import text, where import accepts it, gives the set's points again.
#include "calculator/exportfile.h"
#include "calculator/generate.h"
#include "calculator/simulator.h"
#include "common/csv.h"
#include "common/numbers.h"
#include "common/simulatorfile.h"
#include "database/datafile.h"
#include "database/datasetexport.h"
#include "database/importfile.h"
#include "fuzz_check.h"
#include "table_fuzzing.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstring>
#include <sstream>

using namespace relperm;
using relperm::fuzz::readsBackAsTables;
using relperm::fuzz::require;

namespace {

// A value for a table: mostly in or near [0, 1], sometimes on its edges or any double at all.
double valueFrom(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return in.ConsumeBool() ? 0.0 : 1.0;
    case 1:
        return in.ConsumeIntegralInRange(-2, 2) * 1e-13 + in.ConsumeIntegralInRange(0, 1);
    case 2:
        return fuzz::anyDouble(in);
    case 3: // values that differ only past the fifteenth digit
        return 0.1 + in.ConsumeIntegralInRange(0, 3) * 1e-17;
    default:
        return in.ConsumeFloatingPointInRange(-0.1, 1.1);
    }
}

std::vector<Keyword> keywordsFrom(FuzzedDataProvider& in) {
    std::vector<Keyword> keywords;
    const int count = in.ConsumeIntegralInRange(0, 4);
    for (int k = 0; k < count; ++k)
        keywords.push_back(static_cast<Keyword>(in.ConsumeIntegralInRange(0, 3)));
    return keywords;
}

void writeRows(FuzzedDataProvider& in) {
    SaturationTables tables;
    for (auto* rows : {&tables.waterOil, &tables.gas}) {
        const int count = in.ConsumeIntegralInRange(0, 8);
        for (int r = 0; r < count; ++r)
            rows->push_back({valueFrom(in), valueFrom(in), valueFrom(in)});
    }
    tables.swc = valueFrom(in);
    tables.oilCurvesMeet = in.ConsumeBool();
    SimulatorOptions options{keywordsFrom(in), in.ConsumeBool(), valueFrom(in), valueFrom(in)};
    std::vector<std::string> description;
    while (in.ConsumeBool() && description.size() < 3)
        description.push_back(in.ConsumeRandomLengthString(80));
    const auto file = simulatorFile(tables, description, options);
    if (const auto* text = std::get_if<std::string>(&file))
        readsBackAsTables(*text, options.keywords, tables.swc);
}

// The set's import text, where import accepts it, imports again as the set's points.
void importsAgain(const ShownDataSet& shown) {
    const std::string text = dataSetImportText(shown);
    std::string bytes;
    RecordImport import(shown.system, [&](std::string_view b) {
        bytes += b;
        return std::optional<std::string>();
    });
    auto failure = import.add(text, "export.csv");
    if (!failure)
        failure = import.finish();
    if (failure)
        return; // a record may hold what import refuses (no porosity, kr above 1)
    std::istringstream stored(bytes);
    RecordReader reader(stored, shown.system);
    MeasuredDataSet again;
    require(reader.ReadRecord(again) == ReadOutcome::Stored, "the imported set reads back", text);
    require(again.pointCount == shown.set.pointCount, "the imported set has every point", text);
    const auto same = [](double a, double b) {
        return std::abs(a - b) <= 1e-13 * (1 + std::abs(b));
    };
    for (int i = 1; i <= again.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        require(same(again.normSat[at], shown.set.normSat[at]) &&
                    same(again.krOther[at], shown.set.krOther[at]) &&
                    same(again.krAxis[at], shown.set.krAxis[at]),
                "the imported points are the exported ones", text);
    }
}

void writeRecord(FuzzedDataProvider& in) {
    ShownDataSet shown;
    shown.system = allSystems[in.ConsumeIntegralInRange<std::size_t>(0, 3)];
    const auto typed = [&]() -> std::optional<double> {
        if (in.ConsumeBool())
            return std::nullopt;
        return valueFrom(in);
    };
    shown.user = {typed(), typed(), typed()};
    shown.adjusted = in.ConsumeBool();
    shown.title = in.ConsumeRandomLengthString(40);
    SimulatorOptions options{measuredKeywords(shown.system), in.ConsumeBool(), valueFrom(in),
                             valueFrom(in)};
    std::istringstream records(in.ConsumeRemainingBytesAsString());
    RecordReader reader(records, shown.system);
    if (reader.ReadRecord(shown.set) != ReadOutcome::Stored)
        return;
    const auto file = dataSetSimulatorTables(shown, shown.adjusted, "fuzz", options);
    if (const auto* text = std::get_if<std::string>(&file)) {
        const double swc =
            shown.adjusted ? shown.user.swc.value_or(0) : shown.set.connateWater.value();
        readsBackAsTables(*text, options.keywords, swc);
    }
    importsAgain(shown);
}

// The export file reads back, through the one CSV reader, as the rows of both tables.
void exportReadsBack(const Tables& tables) {
    const std::string text = exportFileText(tables);
    CsvReader reader(text);
    const auto numberAt = [&](double expected) {
        const std::optional<CsvField> field = reader.next();
        require(field.has_value(), "the export file holds every value", text);
        const std::optional<double> v = parseNumber(field->text);
        require(v && std::abs(*v - expected) <= 1e-14 * (1 + std::abs(expected)),
                "an exported value reads back as the table's", text + "\n" + field->text);
    };
    const auto block = [&](int rows, const Table& s, const Table& a, const Table& b, bool down) {
        require(reader.next().has_value(), "a block starts with its header", text);
        numberAt(rows);
        for (int i = 1; i <= rows; ++i) {
            const int r = down ? rows + 1 - i : i;
            const auto at = static_cast<std::size_t>(r);
            numberAt(down ? 1 - s[at] : s[at]);
            numberAt(a[at]);
            numberAt(b[at]);
        }
    };
    block(tables.nWaterOil, tables.swTable, tables.krwTable, tables.krowTable, false);
    block(tables.nGasLiquid, tables.sgTable, tables.krogTable, tables.krgTable, true);
    require(!reader.next().has_value(), "nothing follows the tables", text);
}

void writeGeneration(FuzzedDataProvider& in) {
    static const char* const fluids[] = {"Water-Oil-Gas", "Water-Gas", "Gas-Condensate"};
    static const char* const correlations[] = {
        "Mohamad Ibrahim/Varnholt", "Honarpour/Varnholt/Harvey", "Rose", "Wyllie", "Corey", ""};
    static const char* const wettabilities[] = {"Water Wet", "Strongly Water Wet",
                                                "Intermediate (Mixed)", ""};
    static const char* const formations[] = {"Sandstone", "Carbonate", "Conglomerate", ""};
    const auto percent = [&] { return formatGeneral(100 * valueFrom(in)); };
    GenerateInput input;
    input.porosity = percent();
    input.permeability = formatGeneral(in.ConsumeFloatingPointInRange(0.0, 5000.0));
    input.krgAtSorg = formatGeneral(valueFrom(in));
    input.swc = percent();
    input.sorw = percent();
    input.sorg = percent();
    input.sgc = percent();
    input.spacing = formatGeneral(in.ConsumeFloatingPointInRange(0.5, 30.0));
    input.fluids = fluids[in.ConsumeIntegralInRange(0, 2)];
    input.correlation = correlations[in.ConsumeIntegralInRange(0, 5)];
    input.wettability = wettabilities[in.ConsumeIntegralInRange(0, 3)];
    input.formation = formations[in.ConsumeIntegralInRange(0, 3)];
    CalculatorState state;
    if (generate(state, input))
        return;
    exportReadsBack(state.tables);
    SimulatorOptions options{keywordsFor(state.fluidSystem), in.ConsumeBool(), valueFrom(in),
                             valueFrom(in)};
    const auto file = simulatorTables(state, SimulatorRun{"fuzz", "t", input}, options);
    if (const auto* text = std::get_if<std::string>(&file))
        readsBackAsTables(*text, options.keywords, state.inputs.swc.value_or(0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    switch (in.ConsumeIntegralInRange(0, 2)) {
    case 0:
        writeRows(in);
        break;
    case 1:
        writeGeneration(in);
        break;
    default:
        writeRecord(in);
        break;
    }
    return 0;
}
