// Record files for the database tests: raw bytes written value by value (so the reader is
// checked against the layout, not against our own writer), and whole data sets built from
// a few numbers.
#pragma once

#include "database/datafile.h"
#include "support/temp_dir.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace relperm::testing {

inline constexpr auto WO = TwoPhaseSystem::WaterOil;
inline constexpr auto GO = TwoPhaseSystem::GasOil;
inline constexpr auto GW = TwoPhaseSystem::GasWater;
inline constexpr auto GC = TwoPhaseSystem::GasCondensate;

// Little-endian bytes of a record file, built field by field.
struct Bytes {
    std::string data;

    Bytes& raw16(int v) {
        put(static_cast<std::uint16_t>(v), 2);
        return *this;
    }
    Bytes& empty() { return raw16(0); }
    Bytes& int16(int v) { return raw16(2).raw16(v); }
    Bytes& int32(std::int32_t v) {
        raw16(3);
        put(static_cast<std::uint32_t>(v), 4);
        return *this;
    }
    Bytes& single(float v) {
        raw16(4);
        put(std::bit_cast<std::uint32_t>(v), 4);
        return *this;
    }
    Bytes& dbl(double v) {
        raw16(5);
        put(std::bit_cast<std::uint64_t>(v), 8);
        return *this;
    }
    Bytes& str(const std::string& s) {
        raw16(8).raw16(static_cast<int>(s.size()));
        data += s;
        return *this;
    }
    Bytes& append(const std::string& more) {
        data += more;
        return *this;
    }

  private:
    void put(std::uint64_t v, int size) {
        for (int i = 0; i < size; ++i)
            data.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
    }
};

// A data set of any system: codes as 16-bit integers, values as doubles, and the points
// (normalized saturation, krAxis, krOther).
struct SetRecipe {
    int wetting = 1, location = 1, lithology = 1, method = 1;
    double depth = 5000, porosity = 0.2, k = 100, kabs = 100;
    double swc = 0.2, sorw = 0.3, sorg = 0.25, sgc = 0.05;
    std::vector<std::array<double, 3>> points{{0, 0, 1}, {0.5, 0.1, 0.3}, {1, 0.4, 0}};
};

inline MeasuredDataSet makeSet(const SetRecipe& s) {
    MeasuredDataSet set;
    auto code = [](int c) { return TaggedValue::of(c, ValueTag::Int16); };
    set.wettingCode = code(s.wetting);
    set.locationCode = code(s.location);
    set.lithologyCode = code(s.lithology);
    set.methodCode = code(s.method);
    set.depthFtSs = TaggedValue::of(s.depth);
    set.porosityFraction = TaggedValue::of(s.porosity);
    set.permeabilityMd = TaggedValue::of(s.k);
    set.absPermeabilityMd = TaggedValue::of(s.kabs);
    set.connateWater = TaggedValue::of(s.swc);
    set.residualOilToWater = TaggedValue::of(s.sorw);
    set.residualOilToGas = TaggedValue::of(s.sorg);
    set.criticalGas = TaggedValue::of(s.sgc);
    set.pointCount = static_cast<std::int16_t>(s.points.size());
    for (std::size_t i = 0; i < s.points.size(); ++i) {
        set.normSat[i + 1] = s.points[i][0];
        set.krAxis[i + 1] = s.points[i][1];
        set.krOther[i + 1] = s.points[i][2];
    }
    return set;
}

// Ten points on Corey curves: krw = .4 S^2.5, krow = .9 (1 - S)^3.2 on the normalised
// saturation S from 0 to 1.
inline SetRecipe tenCoreyPoints(double depth = 5000) {
    SetRecipe made;
    made.depth = depth;
    made.points.clear();
    for (int i = 0; i < 10; ++i) {
        const double s = i / 9.0;
        made.points.push_back({s, 0.4 * std::pow(s, 2.5), 0.9 * std::pow(1 - s, 3.2)});
    }
    return made;
}

inline std::string recordsOf(TwoPhaseSystem system, const std::vector<SetRecipe>& recipes) {
    std::string bytes;
    for (const SetRecipe& s : recipes)
        bytes += encodeRecord(system, makeSet(s));
    return bytes;
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

inline void writeDataFile(const std::filesystem::path& dir, TwoPhaseSystem system,
                          const std::string& bytes) {
    writeBytes(dir / dataFileName(system), bytes);
}

} // namespace relperm::testing
