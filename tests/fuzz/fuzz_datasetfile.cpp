// The data-set text file that the browser's Open reads.
//
// Checks: a file that Open accepts, saved again, opens to a file that saves the same text,
// and its values can be applied to the browser's data set.
#include "database/datasetfile.h"
#include "database/display.h"
#include "fuzz_check.h"

using namespace relperm;
using relperm::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SavedDataSet saved;
    if (parseDataSetFile(fuzz::textOf(data, size), "fuzz.txt", saved))
        return 0;
    require(saved.values.pointCount >= 0 && saved.values.pointCount <= maxPoints, "0 to 50 points");
    const std::string text = dataSetFileText(saved);
    SavedDataSet again;
    auto refusal = parseDataSetFile(text, "fuzz.txt", again);
    require(!refusal, "what Save writes opens again", text + "\n" + refusal.value_or(""));
    require(dataSetFileText(again) == text, "an opened file saves the same text", text);

    MeasuredDataSet set;
    applySavedValues(again, set);
    if (again.systemIndex >= 0) {
        const auto system = static_cast<TwoPhaseSystem>(again.systemIndex);
        asInputTable(system, set);
        renderDescription(describeDataSet(system, set));
    }
    return 0;
}
