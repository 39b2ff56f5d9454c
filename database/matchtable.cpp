#include "database/matchtable.h"

#include "common/numbers.h"
#include "database/display.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace relperm {

namespace {

constexpr std::size_t valueSlot(MatchColumn column) {
    return static_cast<std::size_t>(column) - static_cast<std::size_t>(MatchColumn::Depth);
}

constexpr std::size_t textSlot(MatchColumn column) {
    return static_cast<std::size_t>(column) - static_cast<std::size_t>(MatchColumn::Location);
}

bool isValueColumn(MatchColumn column) {
    return column >= MatchColumn::Depth && column <= MatchColumn::Sgc;
}

// The description prints a lone blank where a code has no text; a list has no use for it.
std::string shownText(std::string text) {
    return text == " " ? std::string() : text;
}

} // namespace

std::vector<MatchColumn> matchColumns(TwoPhaseSystem system) {
    using C = MatchColumn;
    std::vector<MatchColumn> columns{C::Match, C::Location, C::Lithology, C::Method};
    if (system == TwoPhaseSystem::WaterOil)
        columns.push_back(C::Wettability);
    if (system != TwoPhaseSystem::GasCondensate)
        columns.push_back(C::Depth);
    columns.insert(columns.end(), {C::Porosity, C::Permeability, C::AbsPermeability, C::Swc});
    if (system == TwoPhaseSystem::WaterOil || system == TwoPhaseSystem::GasOil)
        columns.push_back(C::Sor);
    if (isGasSystem(system))
        columns.push_back(C::Sgc);
    columns.push_back(C::Points);
    return columns;
}

bool isTextColumn(MatchColumn column) {
    return column >= MatchColumn::Location && column <= MatchColumn::Wettability;
}

const HeaderField* matchColumnField(TwoPhaseSystem system, MatchColumn column) {
    using M = MeasuredDataSet;
    TaggedValue M::*member = nullptr;
    switch (column) {
    case MatchColumn::Location:
        member = &M::locationCode;
        break;
    case MatchColumn::Lithology:
        member = &M::lithologyCode;
        break;
    case MatchColumn::Method:
        member = &M::methodCode;
        break;
    case MatchColumn::Wettability:
        member = &M::wettingCode;
        break;
    case MatchColumn::Depth:
        member = &M::depthFtSs;
        break;
    case MatchColumn::Porosity:
        member = &M::porosityFraction;
        break;
    case MatchColumn::Permeability:
        member = &M::permeabilityMd;
        break;
    case MatchColumn::AbsPermeability:
        member = &M::absPermeabilityMd;
        break;
    case MatchColumn::Swc:
        member = &M::connateWater;
        break;
    case MatchColumn::Sor:
        member = system == TwoPhaseSystem::GasOil ? &M::residualOilToGas : &M::residualOilToWater;
        break;
    case MatchColumn::Sgc:
        member = &M::criticalGas;
        break;
    default:
        return nullptr;
    }
    for (const HeaderField& field : headerFields(system))
        if (field.member == member)
            return &field;
    return nullptr;
}

std::string matchColumnText(TwoPhaseSystem system, MatchColumn column, const HeaderField& field,
                            const MeasuredDataSet& set) {
    if (column == MatchColumn::Wettability)
        return shownText(wettabilityText(system, set));
    return shownText(codeText(field.kind, set.*field.member));
}

std::string matchValueText(MatchColumn column, double value) {
    if (column == MatchColumn::Depth)
        return formatPattern(value, "0");
    if (column == MatchColumn::Permeability || column == MatchColumn::AbsPermeability)
        return formatPattern(value, "0.0#");
    // The description's digits, with a zero before the point, which a column reads better.
    return formatPattern(100 * value, column == MatchColumn::Porosity ? "0.0#" : "0.0");
}

MatchTable::MatchTable(TwoPhaseSystem system) : system_(system), columns_(matchColumns(system)) {
    for (MatchColumn column : columns_) {
        if (isValueColumn(column))
            valueFields_[valueSlot(column)] = matchColumnField(system, column);
        else if (isTextColumn(column))
            textFields_[textSlot(column)] = matchColumnField(system, column);
    }
}

void MatchTable::add(const MeasuredDataSet& set) {
    std::uint8_t empty = 0;
    for (std::size_t slot = 0; slot < valueColumns; ++slot) {
        const HeaderField* field = valueFields_[slot];
        if (!field)
            continue;
        const TaggedValue& stored = set.*field->member;
        values_[slot].push_back(stored.isEmpty() ? 0.0 : stored.value());
        if (stored.isEmpty())
            empty = static_cast<std::uint8_t>(empty | (1u << slot));
    }
    emptyValues_.push_back(empty);
    for (std::size_t slot = 0; slot < textColumns; ++slot) {
        const HeaderField* field = textFields_[slot];
        if (!field)
            continue;
        const auto column =
            static_cast<MatchColumn>(static_cast<std::size_t>(MatchColumn::Location) + slot);
        const std::string text = matchColumnText(system_, column, *field, set);
        std::vector<std::string>& texts = texts_[slot];
        auto known = std::find(texts.begin(), texts.end(), text);
        if (known == texts.end()) {
            // The texts come from the code tables, a handful per column.
            if (texts.size() > 255)
                throw std::logic_error("more texts in a list column than its code table holds");
            known = texts.insert(texts.end(), text);
        }
        textNumbers_[slot].push_back(static_cast<std::uint8_t>(known - texts.begin()));
    }
    points_.push_back(set.pointCount);
}

MatchRow MatchTable::operator[](std::size_t row) const {
    MatchRow shown;
    shown.match = static_cast<int>(row) + 1;
    shown.points = points_[row];
    const std::array<std::string*, textColumns> texts{&shown.location, &shown.lithology,
                                                      &shown.method, &shown.wettability};
    for (std::size_t slot = 0; slot < textColumns; ++slot)
        if (textFields_[slot])
            *texts[slot] = texts_[slot][textNumbers_[slot][row]];
    const std::array<std::optional<double>*, valueColumns> values{
        &shown.depth, &shown.porosity, &shown.k, &shown.kabs, &shown.swc, &shown.sor, &shown.sgc};
    for (std::size_t slot = 0; slot < valueColumns; ++slot)
        if (valueFields_[slot] && !(emptyValues_[row] & (1u << slot)))
            *values[slot] = values_[slot][row];
    return shown;
}

std::optional<double> MatchTable::value(std::size_t row, MatchColumn column) const {
    if (!isValueColumn(column) || !valueFields_[valueSlot(column)] ||
        (emptyValues_[row] & (1u << valueSlot(column))))
        return std::nullopt;
    return values_[valueSlot(column)][row];
}

const std::vector<std::uint8_t>& MatchTable::textNumbers(MatchColumn column) const {
    return textNumbers_.at(textSlot(column));
}

const std::vector<std::string>& MatchTable::textsOf(MatchColumn column) const {
    return texts_.at(textSlot(column));
}

std::string MatchTable::cellText(std::size_t row, MatchColumn column) const {
    if (column == MatchColumn::Match)
        return std::to_string(row + 1);
    if (column == MatchColumn::Points)
        return std::to_string(points_[row]);
    if (isTextColumn(column))
        return textFields_[textSlot(column)]
                   ? texts_[textSlot(column)][textNumbers_[textSlot(column)][row]]
                   : std::string();
    const std::optional<double> stored = value(row, column);
    return stored ? matchValueText(column, *stored) : std::string();
}

bool operator==(const MatchTable& a, const MatchTable& b) {
    if (a.system_ != b.system_ || a.points_ != b.points_ || a.emptyValues_ != b.emptyValues_)
        return false;
    for (std::size_t slot = 0; slot < MatchTable::valueColumns; ++slot) {
        const std::vector<double>& x = a.values_[slot];
        const std::vector<double>& y = b.values_[slot];
        if (x.size() != y.size() ||
            (!x.empty() && std::memcmp(x.data(), y.data(), x.size() * sizeof(double)) != 0))
            return false;
    }
    for (std::size_t slot = 0; slot < MatchTable::textColumns; ++slot) {
        if (a.textNumbers_[slot].size() != b.textNumbers_[slot].size())
            return false;
        if (a.texts_[slot] == b.texts_[slot]) {
            if (a.textNumbers_[slot] != b.textNumbers_[slot])
                return false;
            continue;
        }
        // The same text may have another number in the other table, if it came first there.
        for (std::size_t row = 0; row < a.textNumbers_[slot].size(); ++row)
            if (a.texts_[slot][a.textNumbers_[slot][row]] !=
                b.texts_[slot][b.textNumbers_[slot][row]])
                return false;
    }
    return true;
}

std::size_t MatchTable::heapBytes() const {
    std::size_t bytes = emptyValues_.capacity() + points_.capacity() * sizeof(std::int16_t);
    for (const std::vector<double>& column : values_)
        bytes += column.capacity() * sizeof(double);
    for (const std::vector<std::uint8_t>& column : textNumbers_)
        bytes += column.capacity();
    return bytes;
}

} // namespace relperm
