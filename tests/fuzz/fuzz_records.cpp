// The measured-data record reader. Each input is read as a file of every system in turn
// (OWBIN, OGBIN, GWBIN, CGBIN), and each record read is shown as the browser shows it: the
// "Data as Input" grid, the adjusted grid for a few typed end points, the description and
// the matching summary, since whatever a file holds goes straight to the screen.
//
// Checks: a damaged record leaves the empty end record and a reason; the stored records,
// written again, read back as stored records that write the same bytes.
#include "database/adjust.h"
#include "database/datafile.h"
#include "database/display.h"
#include "fuzz_check.h"

#include <sstream>

using namespace relperm;
using relperm::fuzz::require;

namespace {

void show(TwoPhaseSystem system, MeasuredDataSet set) {
    asInputTable(system, set);
    renderDescription(describeDataSet(system, set));
    renderDescription(matchSummary(system, set));
    const UserEndPoints typed[] = {
        {0.2, 0.3, 0.05}, {0.0, 0.0, 0.0}, {0.99, 0.5, 0.7}, {-0.1, std::nullopt, 0.1}};
    for (const UserEndPoints& user : typed)
        if (AdjustmentWanted(system, user))
            MakeAdjustedTable(system, user, set);
}

// The stored records, written again, read back as the same records.
void writesBackTheSameRecords(TwoPhaseSystem system, const std::string& bytes, int records) {
    std::istringstream in(bytes);
    RecordReader reader(in, system);
    MeasuredDataSet set;
    std::string again;
    for (int r = 0; r < records; ++r) {
        require(reader.ReadRecord(set) == ReadOutcome::Stored, "a written record reads back");
        again += encodeRecord(system, set);
    }
    require(again == bytes, "records read back write the same bytes");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(fuzz::textOf(data, size));
    for (TwoPhaseSystem system : allSystems) {
        std::istringstream in(bytes);
        RecordReader reader(in, system);
        MeasuredDataSet set;
        std::string written;
        int stored = 0;
        while (!reader.AtEnd()) {
            const ReadOutcome outcome = reader.ReadRecord(set);
            if (outcome == ReadOutcome::Damaged) {
                require(set.pointCount == 0, "a damaged record leaves the end record");
                require(!reader.damage().empty(), "a damaged record says why");
                break;
            }
            if (outcome == ReadOutcome::End)
                break;
            require(set.pointCount >= 0 && set.pointCount <= maxPoints, "0 to 50 points");
            show(system, set);
            written += encodeRecord(system, set);
            ++stored;
        }
        writesBackTheSameRecords(system, written, stored);
    }
    return 0;
}
