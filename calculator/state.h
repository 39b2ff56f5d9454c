// The calculator's state for a whole run: the stored inputs and the six tables of the last
// generation. Tables are indexed from 1 (index 0 is never used); entries past the last row
// keep whatever an earlier generation left there and are never shown.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace relperm {

inline constexpr int tableSize = 106; // indices 0..105

using Table = std::array<double, tableSize>;

enum class FluidSystem : std::int16_t { WaterOilGas = 0, WaterGas = 1, GasCondensate = 2 };

// What the correlations read: fractions, except permeability (md) and krg at Sorg (as typed).
struct CorrelationInputs {
    double porosity = 0;
    double permeability = 0;
    double swc = 0;
    double sorw = 0;
    double sorg = 0;
    double sgc = 0;
    double krgAtSorg = 0;
};

struct Tables {
    std::int16_t nWaterOil = 0;  // last row of the water-oil table
    std::int16_t nGasLiquid = 0; // last row of the gas table
    Table swTable{};
    Table krwTable{};
    Table krowTable{};
    Table sgTable{};
    Table krogTable{};
    Table krgTable{};
};

// The seven stored inputs. Each holds no value until a generation (or a file) sets it; an
// unset input counts as 0 in arithmetic.
struct StoredInputs {
    std::optional<double> porosity;
    std::optional<double> swc;
    std::optional<double> sorw;
    std::optional<double> sorg;
    std::optional<double> sgc;
    std::optional<double> krgAtSorg;
    std::optional<double> permeability;

    CorrelationInputs values() const {
        return {porosity.value_or(0), permeability.value_or(0), swc.value_or(0),
                sorw.value_or(0),     sorg.value_or(0),         sgc.value_or(0),
                krgAtSorg.value_or(0)};
    }
};

struct CalculatorState {
    StoredInputs inputs;
    FluidSystem fluidSystem = FluidSystem::WaterOilGas;
    Tables tables;
};

} // namespace relperm
