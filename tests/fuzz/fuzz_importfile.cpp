// The import CSV reader of `relperm db import`, for each of the four systems.
//
// Checks: a file that import accepts gives a record file that reads back, without damage,
// as exactly the sets of the file.
#include "database/datafile.h"
#include "database/importfile.h"
#include "fuzz_check.h"

#include <sstream>

using namespace relperm;
using relperm::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    for (TwoPhaseSystem system : allSystems) {
        RecordImport import(system);
        std::string bytes;
        if (import.add(text, "fuzz.csv") || import.bytes(bytes))
            continue;
        std::istringstream in(bytes);
        RecordReader reader(in, system);
        MeasuredDataSet set;
        int stored = 0;
        ReadOutcome outcome = ReadOutcome::Stored;
        while (!reader.AtEnd() && (outcome = reader.ReadRecord(set)) == ReadOutcome::Stored)
            ++stored;
        require(outcome != ReadOutcome::Damaged, "an imported file reads without damage",
                reader.damage());
        require(stored == import.sets(), "every imported set reads back");
    }
    return 0;
}
