#include "database/datafile.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#include <cerrno>
#include <fcntl.h>
#include <istream>
#include <sys/stat.h>
#include <unistd.h>

namespace relperm {

namespace {

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

namespace {

// Large enough that a scan makes few system calls and small enough that a block stays in
// the processor's cache while its records are decoded.
constexpr std::size_t readBlock = 128 * 1024;
constexpr std::size_t firstRead = 2 * 1024;

// The most bytes a value takes when it is not a string: a tag and a double.
constexpr std::size_t largestFixedValue = 10;

class StreamSource : public ByteSource {
  public:
    explicit StreamSource(std::istream& in) : in_(in) {}
    std::ptrdiff_t read(unsigned char* into, std::size_t size) override {
        in_.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(size));
        if (in_.bad())
            return -1;
        return static_cast<std::ptrdiff_t>(in_.gcount());
    }

  private:
    std::istream& in_;
};

// A missing file or one that cannot be read holds no data.
class EmptySource : public ByteSource {
  public:
    std::ptrdiff_t read(unsigned char*, std::size_t) override { return 0; }
};

// Positioned reads, so scans that share an open file need no seek and cannot disturb each
// other.
class FileSource : public ByteSource {
  public:
    FileSource(int fd, std::uint64_t position) : fd_(fd), position_(position) {}
    std::ptrdiff_t read(unsigned char* into, std::size_t size) override {
        for (;;) {
            const ssize_t got = ::pread(fd_, into, size, static_cast<off_t>(position_));
            if (got >= 0) {
                position_ += static_cast<std::uint64_t>(got);
                return got;
            }
            if (errno != EINTR)
                return -1;
        }
    }

  private:
    int fd_;
    std::uint64_t position_;
};

// Reads of an open file that go through its cached block.
class CachedFileSource : public ByteSource {
  public:
    CachedFileSource(const OpenDataFile& file, std::uint64_t position)
        : file_(file), position_(position) {}
    std::ptrdiff_t read(unsigned char* into, std::size_t size) override {
        const std::ptrdiff_t got = file_.readCached(into, size, position_);
        if (got > 0)
            position_ += static_cast<std::uint64_t>(got);
        return got;
    }

  private:
    const OpenDataFile& file_;
    std::uint64_t position_;
};

FileIdentity identityOf(const struct stat& st) {
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::uint64_t>(st.st_size), static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec)};
}

// The fixed-size payload of a numeric tag, or nothing for a string or an unknown tag.
inline std::optional<std::size_t> fixedPayload(std::uint16_t tag) {
    switch (tag) {
    case 0:
        return 0;
    case 2:
        return 2;
    case 3:
    case 4:
        return 4;
    case 5:
        return 8;
    default:
        return std::nullopt;
    }
}

// Whether the `values` values at `p` are all doubles, so that each tag stands 10 bytes after
// the one before. Eight values at a time are compared as five 16-byte blocks against the
// tag bytes 05 00 where tags stand; the rest one by one.
bool allDoubles(const unsigned char* p, std::size_t values) {
    using Block = unsigned char __attribute__((vector_size(16)));
    struct Tags {
        Block bytes;
        Block mask;
    };
    // Tag offsets 0, 10 | 20, 30 | 40 | 50, 60 | 70 in the five blocks of 80 bytes.
    static const auto tags = [] {
        std::array<Tags, 5> t{};
        const int offsets[8] = {0, 10, 20, 30, 40, 50, 60, 70};
        for (int at : offsets) {
            Tags& block = t[static_cast<std::size_t>(at / 16)];
            block.bytes[at % 16] = 5;
            block.mask[at % 16] = 0xff;
            block.mask[at % 16 + 1] = 0xff;
        }
        return t;
    }();
    std::size_t v = 0;
    Block differ{};
    for (; v + 8 <= values; v += 8, p += 80) {
        for (std::size_t b = 0; b < tags.size(); ++b) {
            Block chunk;
            std::memcpy(&chunk, p + 16 * b, sizeof chunk);
            differ |= (chunk ^ tags[b].bytes) & tags[b].mask;
        }
    }
    std::uint64_t halves[2];
    std::memcpy(halves, &differ, sizeof halves);
    unsigned rest = 0;
    for (; v < values; ++v, p += largestFixedValue)
        rest |= u16(p) ^ 5u;
    return (halves[0] | halves[1] | rest) == 0;
}

inline double numberOf(std::uint16_t tag, const unsigned char* p) {
    switch (tag) {
    case 2:
        return static_cast<std::int16_t>(u16(p));
    case 3:
        return static_cast<std::int32_t>(u32(p));
    case 4:
        return std::bit_cast<float>(u32(p));
    case 5:
        return std::bit_cast<double>(u64(p));
    default:
        return 0;
    }
}

} // namespace

RecordReader::RecordReader(ByteSource& source, TwoPhaseSystem system, std::uint64_t offset,
                           int recordsBefore)
    : source_(source), system_(system), bufferOffset_(offset), nextRead_(firstRead),
      record_(recordsBefore) {
    // Past the first record, an end of the source is the end of the data, not an empty file.
    empty_ = !ensure(1) && offset == 0;
}

RecordReader::RecordReader(std::istream& in, TwoPhaseSystem system)
    : owned_(std::make_unique<StreamSource>(in)), source_(*owned_), system_(system),
      nextRead_(firstRead) {
    empty_ = !ensure(1);
}

RecordReader::~RecordReader() = default;

bool RecordReader::refill(std::size_t bytes) {
    while (end_ - pos_ < bytes) {
        if (streamDone_)
            return false;
        const std::size_t have = end_ - pos_;
        // A scan that reads one record (a Show answered from the index) asks for a little;
        // one that goes on asks for ever larger blocks.
        const std::size_t want = std::max(bytes - have, nextRead_);
        nextRead_ = std::min(2 * nextRead_, readBlock);
        if (end_ + want > capacity_) {
            unsigned char* from = buffer_.get() + pos_;
            if (have + want > capacity_) {
                // Doubling, so that the buffer grows a few times in a scan, not at every block.
                const std::size_t capacity = std::max(have + want, 2 * capacity_);
                auto grown = std::make_unique_for_overwrite<unsigned char[]>(capacity);
                std::copy(from, from + have, grown.get());
                buffer_ = std::move(grown);
                capacity_ = capacity;
            } else {
                std::copy(from, from + have, buffer_.get());
            }
            bufferOffset_ += pos_;
            pos_ = 0;
            end_ = have;
        }
        const std::ptrdiff_t got = source_.read(buffer_.get() + end_, want);
        if (got <= 0) {
            if (got < 0)
                damage_ = "the file could not be read";
            streamDone_ = true;
            return false;
        }
        end_ += static_cast<std::size_t>(got);
    }
    return true;
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
    const std::uint16_t tag = u16(buffer_.get() + pos_);
    std::size_t size = 0;
    std::size_t lengthBytes = 0;
    if (auto fixed = fixedPayload(tag)) {
        size = *fixed;
    } else if (tag == 8) {
        if (!ensure(4))
            return fail("the file ends inside the record");
        size = u16(buffer_.get() + pos_ + 2);
        lengthBytes = 2;
    } else {
        return fail("a value has the unknown type tag " + std::to_string(tag));
    }
    if (!ensure(2 + lengthBytes + size))
        return fail("the file ends inside the record");
    const unsigned char* p = buffer_.get() + pos_ + 2 + lengthBytes;
    pos_ += 2 + lengthBytes + size;
    value.tag = static_cast<ValueTag>(tag);
    if (tag == 8) {
        value.number = 0;
        value.text.assign(reinterpret_cast<const char*>(p), size);
        return true;
    }
    value.number = numberOf(tag, p);
    value.text.clear();
    return true;
}

bool RecordReader::readPointValue(double& value) {
    TaggedValue v;
    if (!readValue(v))
        return false;
    value = v.value();
    return true;
}

ReadOutcome RecordReader::endRecord(MeasuredDataSet& set, ReadOutcome outcome) {
    pendingPoints_ = 0;
    set.pointCount = 0;
    emptyHeader(system_, set);
    return outcome;
}

ReadOutcome RecordReader::readHeader(MeasuredDataSet& set) {
    ++record_;
    if (ranPastEnd_)
        return endRecord(set, damage_.empty() ? ReadOutcome::End : ReadOutcome::Damaged);
    if (!ensure(2)) {
        if (end_ - pos_ == 0 && damage_.empty()) {
            ranPastEnd_ = true;
            return endRecord(set, ReadOutcome::End);
        }
        fail("the file ends inside the record");
        return endRecord(set, ReadOutcome::Damaged);
    }
    const auto count = static_cast<std::int16_t>(u16(buffer_.get() + pos_));
    pos_ += 2;
    if (count < 0 || count > maxPoints) {
        fail("the point count " + std::to_string(count) + " is outside 0 to " +
             std::to_string(maxPoints));
        return endRecord(set, ReadOutcome::Damaged);
    }
    // A zero count with nothing after it is the end record written without its header:
    // the values read beyond the end of the file are empty.
    if (count == 0 && !ensure(1) && damage_.empty()) {
        ranPastEnd_ = true;
        return endRecord(set, ReadOutcome::End);
    }
    const std::span<const HeaderField> fields = headerFields(system_);
    std::size_t field = 0;
    // Where the block surely holds the header unless a value is a string, one check serves
    // every value.
    if (end_ - pos_ >= fields.size() * largestFixedValue) {
        for (; field < fields.size(); ++field) {
            const unsigned char* p = buffer_.get() + pos_;
            const std::uint16_t tag = u16(p);
            const std::optional<std::size_t> payload = fixedPayload(tag);
            if (!payload)
                break; // a string or an unknown tag: the checked path reads it
            TaggedValue& value = set.*fields[field].member;
            value.tag = static_cast<ValueTag>(tag);
            value.number = numberOf(tag, p + 2);
            value.text.clear();
            pos_ += 2 + *payload;
        }
    }
    for (; field < fields.size(); ++field)
        if (!readValue(set.*fields[field].member))
            return endRecord(set, ReadOutcome::Damaged);
    set.pointCount = count;
    pendingPoints_ = count;
    return ReadOutcome::Stored;
}

ReadOutcome RecordReader::finishRecord(MeasuredDataSet& set, bool keepPoints) {
    const std::size_t values = 3 * static_cast<std::size_t>(pendingPoints_);
    pendingPoints_ = 0;
    std::size_t done = 0;
    // Where the block surely holds every value unless one is a string (the largest other
    // value takes 10 bytes), the values are decoded without a check each.
    if (ensure(values * largestFixedValue)) {
        // Points the scan passes over are nearly always all doubles; their tags are then at
        // fixed places and can be checked all at once rather than one after the other.
        if (!keepPoints) {
            if (allDoubles(buffer_.get() + pos_, values)) {
                pos_ += values * largestFixedValue;
                return ReadOutcome::Stored;
            }
        }
        const unsigned char* p = buffer_.get() + pos_;
        for (; done < values; ++done) {
            const std::uint16_t tag = u16(p);
            const std::optional<std::size_t> payload = fixedPayload(tag);
            if (!payload)
                break; // a string or an unknown tag: the checked path says which
            if (keepPoints) {
                const std::size_t point = done / 3 + 1;
                PointColumn& column = done % 3 == 0   ? set.normSat
                                      : done % 3 == 1 ? set.krAxis
                                                      : set.krOther;
                column[point] = numberOf(tag, p + 2);
            }
            p += 2 + *payload;
        }
        pos_ = static_cast<std::size_t>(p - buffer_.get());
    }
    for (; done < values; ++done) {
        double value = 0;
        if (!readPointValue(value))
            return endRecord(set, ReadOutcome::Damaged);
        if (keepPoints) {
            const std::size_t point = done / 3 + 1;
            (done % 3 == 0 ? set.normSat : done % 3 == 1 ? set.krAxis : set.krOther)[point] = value;
        }
    }
    return ReadOutcome::Stored;
}

ReadOutcome RecordReader::ReadRecord(MeasuredDataSet& set) {
    const ReadOutcome outcome = readHeader(set);
    return outcome == ReadOutcome::Stored ? finishRecord(set, true) : outcome;
}

std::optional<FileIdentity> currentIdentity(const std::filesystem::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return identityOf(st);
}

OpenDataFile::~OpenDataFile() {
    ::close(fd_);
}

std::ptrdiff_t OpenDataFile::readCached(unsigned char* into, std::size_t size,
                                        std::uint64_t position) const {
    // About a hundred records of twenty points: most Shows of a run of Shows find theirs here.
    constexpr std::size_t cachedBlock = 64 * 1024;
    const bool cached = position >= blockStart_ && position < blockStart_ + block_.size();
    if (!cached) {
        block_.resize(cachedBlock);
        ssize_t got;
        do {
            got = ::pread(fd_, block_.data(), cachedBlock, static_cast<off_t>(position));
        } while (got < 0 && errno == EINTR);
        block_.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        blockStart_ = position;
        if (got <= 0)
            return got < 0 ? -1 : 0;
    }
    const std::size_t at = static_cast<std::size_t>(position - blockStart_);
    const std::size_t n = std::min(size, block_.size() - at);
    std::copy_n(block_.data() + at, n, into);
    return static_cast<std::ptrdiff_t>(n);
}

RecordFile::RecordFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system)
    : path_(dataDirectory / dataFileName(system)) {
    // Non-blocking, so that opening a pipe put in place of the file returns at once; it
    // is then refused as no regular file.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (fd < 0) {
        if (errno != ENOENT)
            problem_ = DataFileProblem{
                path_, 0, std::string("the file could not be opened: ") + std::strerror(errno)};
    } else if (::fstat(fd, &st) != 0) {
        problem_ = DataFileProblem{path_, 0, "the file could not be read"};
    } else if (S_ISDIR(st.st_mode)) {
        problem_ = DataFileProblem{path_, 0, "this is a folder, not a data file"};
    } else if (!S_ISREG(st.st_mode)) {
        problem_ = DataFileProblem{path_, 0, "this is not a regular file (a pipe or a device)"};
    } else if (const int flags = ::fcntl(fd, F_GETFL);
               flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        // Reads of a regular file never wait; the flag goes so that none could return early.
        problem_ = DataFileProblem{
            path_, 0, std::string("the file could not be opened: ") + std::strerror(errno)};
    } else {
        file_ = std::make_shared<const OpenDataFile>(fd, identityOf(st));
    }
    if (!file_ && fd >= 0)
        ::close(fd);
    if (file_)
        source_ = std::make_unique<FileSource>(file_->fd(), 0);
    else
        source_ = std::make_unique<EmptySource>();
    reader_ = std::make_unique<RecordReader>(*source_, system);
    if (!problem_ && !reader_->damage().empty())
        problem_ = DataFileProblem{path_, 0, reader_->damage()};
}

RecordFile::RecordFile(std::shared_ptr<const OpenDataFile> file, const std::filesystem::path& path,
                       TwoPhaseSystem system, std::uint64_t offset, int recordsBefore)
    : path_(path), file_(std::move(file)),
      source_(std::make_unique<CachedFileSource>(*file_, offset)),
      reader_(std::make_unique<RecordReader>(*source_, system, offset, recordsBefore)) {}

RecordFile::~RecordFile() = default;

ReadOutcome RecordFile::noted(ReadOutcome outcome) {
    if (outcome == ReadOutcome::Damaged && !problem_)
        problem_ = DataFileProblem{path_, reader_->recordNumber(), reader_->damage()};
    return outcome;
}

ReadOutcome RecordFile::ReadRecord(MeasuredDataSet& set) {
    return noted(reader_->ReadRecord(set));
}

ReadOutcome RecordFile::readHeader(MeasuredDataSet& set) {
    return noted(reader_->readHeader(set));
}

ReadOutcome RecordFile::finishRecord(MeasuredDataSet& set, bool keepPoints) {
    return noted(reader_->finishRecord(set, keepPoints));
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
