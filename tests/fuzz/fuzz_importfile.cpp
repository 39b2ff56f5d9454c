// The import CSV reader of `relperm db import`, for each of the four systems.
//
// Checks: a file that import accepts gives a record file that reads back, without damage,
// as exactly the sets of the file; and reading the text in small pieces gives the refusal,
// or the bytes, of reading it whole.
#include "database/datafile.h"
#include "database/importfile.h"
#include "fuzz_check.h"

#include <sstream>

using namespace relperm;
using relperm::fuzz::require;

namespace {

struct Imported {
    std::string bytes;
    std::string message;
    int sets = 0;
};

Imported importText(TwoPhaseSystem system, std::string_view text, std::size_t pieceBytes) {
    Imported result;
    ImportSettings settings;
    settings.pieceBytes = pieceBytes;
    RecordImport import(
        system,
        [&](std::string_view bytes) {
            result.bytes += bytes;
            return std::optional<std::string>();
        },
        settings);
    auto failure = import.add(text, "fuzz.csv");
    if (!failure)
        failure = import.finish();
    if (failure)
        result.message = failure->message;
    result.sets = import.sets();
    return result;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    for (TwoPhaseSystem system : allSystems) {
        const Imported whole = importText(system, text, size + 1); // one piece
        const std::size_t pieceBytes = size > 0 ? 1 + data[0] % 16 : 1;
        const Imported pieces = importText(system, text, pieceBytes);
        require(pieces.message == whole.message, "pieces are refused as the whole text is",
                pieces.message + "\n" + whole.message);
        if (!whole.message.empty())
            continue; // what the sink took is thrown away
        require(pieces.bytes == whole.bytes, "pieces give the bytes of the whole text");
        std::istringstream in(whole.bytes);
        RecordReader reader(in, system);
        MeasuredDataSet set;
        int stored = 0;
        ReadOutcome outcome = ReadOutcome::Stored;
        while (!reader.AtEnd() && (outcome = reader.ReadRecord(set)) == ReadOutcome::Stored)
            ++stored;
        require(outcome != ReadOutcome::Damaged, "an imported file reads without damage",
                reader.damage());
        require(stored == whole.sets, "every imported set reads back");
    }
    return 0;
}
