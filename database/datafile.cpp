#include "database/datafile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace relperm {

namespace {

constexpr std::size_t blockSize = 1 << 16;

struct SystemInfo {
    std::string_view listText;
    std::string_view fileName;
};

constexpr std::array<SystemInfo, 4> systems{{
    {"Water-Oil Data", "OWBIN"},
    {"Gas-Oil Data", "OGBIN"},
    {"Gas-Water Data", "GWBIN"},
    {"Gas-Condensate Data", "CGBIN"},
}};

const SystemInfo& info(TwoPhaseSystem system) {
    return systems[static_cast<std::size_t>(system)];
}

using M = MeasuredDataSet;
using K = FieldKind;

constexpr HeaderField wettability{&M::wettingCode, K::Wettability, "wettability"};
constexpr HeaderField location{&M::locationCode, K::Location, "location"};
constexpr HeaderField lithology{&M::lithologyCode, K::Lithology, "lithology"};
constexpr HeaderField method{&M::methodCode, K::Method, "method"};
constexpr HeaderField depth{&M::depthFtSs, K::Depth, "depth ft ss"};
constexpr HeaderField porosity{&M::porosityFraction, K::Fraction, "porosity"};
constexpr HeaderField k{&M::permeabilityMd, K::Permeability, "k md"};
constexpr HeaderField kabs{&M::absPermeabilityMd, K::Permeability, "kabs md"};
constexpr HeaderField swc{&M::connateWater, K::Fraction, "Swc"};
constexpr HeaderField slc{&M::connateWater, K::Fraction, "Slc"};
constexpr HeaderField sorw{&M::residualOilToWater, K::Fraction, "Sorw"};
constexpr HeaderField sorg{&M::residualOilToGas, K::Fraction, "Sorg"};
constexpr HeaderField sgc{&M::criticalGas, K::Fraction, "Sgc"};

constexpr std::array<HeaderField, 10> waterOilHeader{
    wettability, location, lithology, method, depth, porosity, k, kabs, swc, sorw};
constexpr std::array<HeaderField, 10> gasOilHeader{location, lithology, method, depth, porosity,
                                                   k,        kabs,      swc,    sgc,   sorg};
constexpr std::array<HeaderField, 9> gasWaterHeader{location, lithology, method, depth, porosity,
                                                    k,        kabs,      swc,    sgc};
constexpr std::array<HeaderField, 8> gasCondensateHeader{location, lithology, method, porosity,
                                                         k,        kabs,      slc,    sgc};

struct CodeTexts {
    std::array<std::string_view, 7> shown; // index = code; index 0 unused
    std::array<std::string_view, 7> listed;
    int highest;
};

const CodeTexts& codeTexts(FieldKind kind) {
    static const CodeTexts wettabilities{{"", "Water-Wet", "Mixed Wet", "Oil-Wet"},
                                         {"", "Water-Wet", "Intermediate (Mixed) Wet", "Oil-Wet"},
                                         3};
    static const CodeTexts locations{
        {"", "N. America", "S. America", "Africa", "Asia", "Europe", "Australia"},
        {"", "North America", "South America", "Africa", "Asia", "Europe", "Australia"},
        6};
    static const CodeTexts lithologies{{"", "Sandstone", "Limestone", "Dolomite", "Shale"},
                                       {"", "Sandstone", "Limestone", "Dolomite", "Shale"},
                                       4};
    // Capillary pressure and centrifuge tests are unsteady-state methods as far as a search
    // goes, so the method list has no entries of their own for them.
    static const CodeTexts methods{
        {"", "Steady State", "Unsteady State", "Cap. Pressure", "Centrifuge"},
        {"", "Steady State", "Unsteady State", "Cap. Pressure", "Centrifuge"},
        4};
    static const CodeTexts none{{}, {}, 0};
    switch (kind) {
    case FieldKind::Wettability:
        return wettabilities;
    case FieldKind::Location:
        return locations;
    case FieldKind::Lithology:
        return lithologies;
    case FieldKind::Method:
        return methods;
    default:
        return none;
    }
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

std::uint16_t u16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t u32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
std::uint64_t u64(const unsigned char* p) {
    return std::uint64_t(u32(p)) | (std::uint64_t(u32(p + 4)) << 32);
}

void putLittleEndian(std::string& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

bool fitsInteger(double value, double lowest, double highest) {
    return value == std::trunc(value) && value >= lowest && value <= highest;
}

void emptyHeader(TwoPhaseSystem system, MeasuredDataSet& set) {
    for (const HeaderField& field : headerFields(system))
        set.*field.member = TaggedValue{};
}

} // namespace

std::string_view systemListText(TwoPhaseSystem system) {
    return info(system).listText;
}

std::optional<TwoPhaseSystem> systemFromListText(std::string_view text) {
    for (TwoPhaseSystem system : allSystems)
        if (info(system).listText == text)
            return system;
    return std::nullopt;
}

std::string_view dataFileName(TwoPhaseSystem system) {
    return info(system).fileName;
}

bool isGasSystem(TwoPhaseSystem system) {
    return system != TwoPhaseSystem::WaterOil;
}

TaggedValue TaggedValue::of(double value, ValueTag tag) {
    TaggedValue v;
    v.tag = tag;
    v.number = value;
    return v;
}

TaggedValue TaggedValue::ofText(std::string text) {
    TaggedValue v;
    v.tag = ValueTag::String;
    v.text = std::move(text);
    return v;
}

bool sameKey(const TaggedValue& a, const TaggedValue& b) {
    if (a.isText() || b.isText())
        return a.isText() && b.isText() && a.text == b.text;
    return a.value() == b.value();
}

std::span<const HeaderField> headerFields(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return waterOilHeader;
    case TwoPhaseSystem::GasOil:
        return gasOilHeader;
    case TwoPhaseSystem::GasWater:
        return gasWaterHeader;
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return gasCondensateHeader;
}

std::array<std::string_view, 3> pointColumnNames(TwoPhaseSystem system) {
    switch (system) {
    case TwoPhaseSystem::WaterOil:
        return {"Sw norm", "krw", "krow"};
    case TwoPhaseSystem::GasWater:
        return {"Sg norm", "krg", "krw"};
    case TwoPhaseSystem::GasOil:
    case TwoPhaseSystem::GasCondensate:
        break;
    }
    return {"Sg norm", "krg", "krog"};
}

std::string codeText(FieldKind kind, const TaggedValue& code) {
    const CodeTexts& texts = codeTexts(kind);
    if (!code.isNumber() || !fitsInteger(code.number, 1, texts.highest))
        return " ";
    return std::string(texts.shown[static_cast<std::size_t>(code.number)]);
}

std::string codeListText(FieldKind kind, const TaggedValue& code) {
    const CodeTexts& texts = codeTexts(kind);
    if (!code.isNumber() || !fitsInteger(code.number, 1, texts.highest))
        return "";
    return std::string(texts.listed[static_cast<std::size_t>(code.number)]);
}

int highestCode(FieldKind kind) {
    return codeTexts(kind).highest;
}

std::optional<int> codeFromText(FieldKind kind, std::string_view text) {
    const CodeTexts& texts = codeTexts(kind);
    for (int code = 1; code <= texts.highest; ++code) {
        const auto i = static_cast<std::size_t>(code);
        if (equalsIgnoringCase(text, texts.shown[i]) || equalsIgnoringCase(text, texts.listed[i]))
            return code;
    }
    return std::nullopt;
}

std::string DataFileProblem::message() const {
    std::string where = file.string();
    if (record > 0)
        where += ", record " + std::to_string(record);
    std::string text = where + ": " + reason;
    text += record > 0 ? "; the records from there on were not read." : ".";
    return text;
}

RecordReader::RecordReader(std::istream& in, TwoPhaseSystem system)
    : in_(in), system_(system), buffer_(blockSize) {
    empty_ = !ensure(1);
}

bool RecordReader::ensure(std::size_t bytes) {
    if (end_ - pos_ >= bytes)
        return true;
    if (streamDone_)
        return false;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_),
              buffer_.begin() + static_cast<std::ptrdiff_t>(end_), buffer_.begin());
    end_ -= pos_;
    pos_ = 0;
    if (buffer_.size() < bytes)
        buffer_.resize(bytes);
    while (end_ < bytes && !streamDone_) {
        in_.read(reinterpret_cast<char*>(buffer_.data() + end_),
                 static_cast<std::streamsize>(buffer_.size() - end_));
        const auto got = static_cast<std::size_t>(in_.gcount());
        end_ += got;
        if (in_.bad()) {
            streamDone_ = true;
            damage_ = "the file could not be read";
        } else if (!in_ || got == 0) {
            streamDone_ = true;
        }
    }
    return end_ - pos_ >= bytes;
}

bool RecordReader::fail(std::string reason) {
    if (damage_.empty())
        damage_ = std::move(reason);
    ranPastEnd_ = true;
    return false;
}

bool RecordReader::readValue(TaggedValue& value) {
    if (!ensure(2))
        return fail("the file ends inside the record");
    const std::uint16_t tag = u16(&buffer_[pos_]);
    pos_ += 2;
    std::size_t size = 0;
    switch (tag) {
    case 0:
        value.tag = ValueTag::Empty;
        value.number = 0;
        value.text.clear();
        return true;
    case 2:
        size = 2;
        break;
    case 3:
    case 4:
        size = 4;
        break;
    case 5:
        size = 8;
        break;
    case 8:
        if (!ensure(2))
            return fail("the file ends inside the record");
        size = u16(&buffer_[pos_]);
        pos_ += 2;
        break;
    default:
        return fail("a value has the unknown type tag " + std::to_string(tag));
    }
    if (!ensure(size))
        return fail("the file ends inside the record");
    const unsigned char* p = &buffer_[pos_];
    pos_ += size;
    value.tag = static_cast<ValueTag>(tag);
    switch (tag) {
    case 2:
        value.number = static_cast<std::int16_t>(u16(p));
        break;
    case 3:
        value.number = static_cast<std::int32_t>(u32(p));
        break;
    case 4:
        value.number = std::bit_cast<float>(u32(p));
        break;
    case 5:
        value.number = std::bit_cast<double>(u64(p));
        break;
    default:
        value.number = 0;
        value.text.assign(reinterpret_cast<const char*>(p), size);
        return true;
    }
    value.text.clear();
    return true;
}

bool RecordReader::readPointValue(double& value) {
    // The common case, a double, without building a TaggedValue.
    if (ensure(10) && u16(&buffer_[pos_]) == 5) {
        value = std::bit_cast<double>(u64(&buffer_[pos_ + 2]));
        pos_ += 10;
        return true;
    }
    TaggedValue v;
    if (!readValue(v))
        return false;
    value = v.value();
    return true;
}

ReadOutcome RecordReader::ReadRecord(MeasuredDataSet& set) {
    ++record_;
    auto endRecord = [&](ReadOutcome outcome) {
        set.pointCount = 0;
        emptyHeader(system_, set);
        return outcome;
    };
    if (ranPastEnd_)
        return endRecord(damage_.empty() ? ReadOutcome::End : ReadOutcome::Damaged);
    if (!ensure(2)) {
        if (end_ - pos_ == 0 && damage_.empty()) {
            ranPastEnd_ = true;
            return endRecord(ReadOutcome::End);
        }
        fail("the file ends inside the record");
        return endRecord(ReadOutcome::Damaged);
    }
    const auto count = static_cast<std::int16_t>(u16(&buffer_[pos_]));
    pos_ += 2;
    if (count < 0 || count > maxPoints) {
        fail("the point count " + std::to_string(count) + " is outside 0 to " +
             std::to_string(maxPoints));
        return endRecord(ReadOutcome::Damaged);
    }
    for (const HeaderField& field : headerFields(system_))
        if (!readValue(set.*field.member))
            return endRecord(ReadOutcome::Damaged);
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        if (!readPointValue(set.normSat[at]) || !readPointValue(set.krAxis[at]) ||
            !readPointValue(set.krOther[at]))
            return endRecord(ReadOutcome::Damaged);
    }
    set.pointCount = count;
    return ReadOutcome::Stored;
}

RecordFile::RecordFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system)
    : path_(dataDirectory / dataFileName(system)), file_(path_, std::ios::binary | std::ios::in),
      reader_(file_, system) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path_, ec);
    if (exists && std::filesystem::is_directory(path_, ec))
        problem_ = DataFileProblem{path_, 0, "this is a folder, not a data file"};
    else if (exists && !file_.is_open())
        problem_ = DataFileProblem{path_, 0, "the file could not be opened"};
    else if (!reader_.damage().empty())
        problem_ = DataFileProblem{path_, 0, reader_.damage()};
}

ReadOutcome RecordFile::ReadRecord(MeasuredDataSet& set) {
    const ReadOutcome outcome = reader_.ReadRecord(set);
    if (outcome == ReadOutcome::Damaged && !problem_)
        problem_ = DataFileProblem{path_, reader_.recordNumber(), reader_.damage()};
    return outcome;
}

void appendTaggedValue(std::string& bytes, const TaggedValue& value) {
    ValueTag tag = value.tag;
    if (tag == ValueTag::Int16 && !fitsInteger(value.number, -32768, 32767))
        tag = ValueTag::Double;
    if (tag == ValueTag::Int32 && !fitsInteger(value.number, -2147483648.0, 2147483647.0))
        tag = ValueTag::Double;
    std::string_view text = value.text;
    if (tag == ValueTag::String)
        text = text.substr(0, std::numeric_limits<std::uint16_t>::max());
    putLittleEndian(bytes, static_cast<std::uint16_t>(tag), 2);
    switch (tag) {
    case ValueTag::Empty:
        break;
    case ValueTag::Int16:
        putLittleEndian(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(value.number)),
                        2);
        break;
    case ValueTag::Int32:
        putLittleEndian(bytes, static_cast<std::uint32_t>(static_cast<std::int32_t>(value.number)),
                        4);
        break;
    case ValueTag::Single:
        putLittleEndian(bytes, std::bit_cast<std::uint32_t>(static_cast<float>(value.number)), 4);
        break;
    case ValueTag::Double:
        putLittleEndian(bytes, std::bit_cast<std::uint64_t>(value.number), 8);
        break;
    case ValueTag::String:
        putLittleEndian(bytes, text.size(), 2);
        bytes.append(text);
        break;
    }
}

std::string encodeRecord(TwoPhaseSystem system, const MeasuredDataSet& set) {
    std::string bytes;
    const int count = std::clamp<int>(set.pointCount, 0, maxPoints);
    putLittleEndian(bytes, static_cast<std::uint16_t>(count), 2);
    for (const HeaderField& field : headerFields(system))
        appendTaggedValue(bytes, set.*field.member);
    for (int i = 1; i <= count; ++i) {
        const auto at = static_cast<std::size_t>(i);
        for (double v : {set.normSat[at], set.krAxis[at], set.krOther[at]})
            appendTaggedValue(bytes, TaggedValue::of(v));
    }
    return bytes;
}

} // namespace relperm
