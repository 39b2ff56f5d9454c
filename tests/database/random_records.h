// Record files drawn at random, for the tests that hold the scans and the list of matches to
// what re-reading the file gives:
// codes as the files hold them (16-bit integers, now and then a double, a string, an empty
// value or a code outside the table), values stored with every tag, water-oil sets on
// either side of the strongly water-wet rule, records without points in the middle, and
// every way a file can end.
#pragma once

#include "database/search.h"
#include "records.h"

#include <cmath>
#include <random>

namespace relperm::testing {

class RandomRecords {
  public:
    explicit RandomRecords(unsigned seed) : rng_(seed) {}

    int pick(int lowest, int highest) {
        return std::uniform_int_distribution<int>(lowest, highest)(rng_);
    }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    TaggedValue code(int highest) {
        const int c = pick(0, highest);
        if (chance(8))
            return TaggedValue::of(c, ValueTag::Double);
        if (chance(3))
            return TaggedValue::ofText("x");
        if (chance(3))
            return TaggedValue{};
        if (chance(3))
            return TaggedValue::of(highest + 1, ValueTag::Int16);
        return TaggedValue::of(c, ValueTag::Int16);
    }

    // `value` mostly as a double, now and then as a single, an integer, empty or a string.
    TaggedValue number(double value) {
        if (chance(5))
            return TaggedValue::of(value, ValueTag::Single);
        if (chance(5))
            return TaggedValue::of(std::round(value), ValueTag::Int32);
        if (chance(3))
            return TaggedValue{};
        if (chance(3))
            return TaggedValue::ofText("n/a");
        return TaggedValue::of(value);
    }

    MeasuredDataSet set() {
        MeasuredDataSet s;
        s.wettingCode = code(3);
        s.locationCode = code(6);
        s.lithologyCode = code(4);
        s.methodCode = code(4);
        s.depthFtSs = number(pick(0, 150) * 100.0);
        s.porosityFraction = number(pick(0, 350) / 1000.0);
        s.permeabilityMd = number(pick(0, 50000) / 100.0);
        s.absPermeabilityMd = chance(50) ? s.permeabilityMd : number(pick(0, 50000) / 100.0);
        s.connateWater = number(pick(5, 40) / 100.0);
        s.residualOilToWater = number(pick(10, 40) / 100.0);
        s.residualOilToGas = number(pick(5, 35) / 100.0);
        s.criticalGas = number(pick(0, 12) / 100.0);
        s.pointCount = static_cast<std::int16_t>(pick(1, 8));
        for (int i = 1; i <= s.pointCount; ++i) {
            s.normSat[i] = pick(0, 10) / 10.0;
            s.krAxis[i] = pick(0, 20) / 100.0; // about a third at or below 0.07
            s.krOther[i] = pick(0, 10) / 10.0;
        }
        return s;
    }

    // Up to 30 records, now and then one without points, ending in any of the ways a file
    // can end: nothing more, the end record, the bare end marker, a record cut short, a
    // point count beyond 50, an unknown tag.
    std::string file(TwoPhaseSystem system) {
        std::string bytes;
        const int records = pick(0, 30);
        for (int r = 0; r < records; ++r) {
            MeasuredDataSet s = set();
            if (chance(2))
                s.pointCount = 0;
            std::string record = encodeRecord(system, s);
            // The last point value stored as a single or a string (which reads as 0), as
            // other writers may store it.
            if (s.pointCount > 0 && chance(10)) {
                record.resize(record.size() - 10);
                record += chance(50) ? Bytes().single(0.5f).data : Bytes().str("n/a").data;
            }
            bytes += record;
        }
        switch (pick(0, 5)) {
        case 0:
            bytes += encodeRecord(system, MeasuredDataSet{});
            break;
        case 1:
            bytes += Bytes().raw16(0).data;
            break;
        case 2: {
            const std::string whole = encodeRecord(system, set());
            bytes += whole.substr(0, static_cast<std::size_t>(pick(1, int(whole.size()) - 1)));
            break;
        }
        case 3:
            bytes += Bytes().raw16(pick(51, 300)).data;
            break;
        case 4:
            bytes += Bytes().raw16(1).raw16(9).data;
            break;
        default:
            break;
        }
        return bytes;
    }

    // List indices within each list: "All ..." half of the time.
    SearchCriteria lists() {
        auto index = [&](int highest) { return chance(50) ? 0 : pick(1, highest); };
        return {index(3), index(4), index(2), index(6)};
    }

    // A typed end point, or a box left empty.
    std::optional<double> endPoint() {
        if (chance(30))
            return std::nullopt;
        return pick(1, 3) / 10.0;
    }

  private:
    std::mt19937 rng_;
};

} // namespace relperm::testing
