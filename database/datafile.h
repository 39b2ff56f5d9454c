// The measured-data record files: one file per two-phase system ("OWBIN", "OGBIN", "GWBIN",
// "CGBIN") in the data folder, each a sequence of records without a file header.
//
// A record is the point count (a plain 16-bit signed little-endian integer), the header
// fields of its system, then for each point the normalized saturation, kr of the axis phase
// and kr of the other phase. Every field but the count is a tagged value: a 2-byte tag and a
// payload whose size the tag fixes (see ValueTag).
//
// Reading is always a forward scan from the first record into the one MeasuredDataSet of the
// browser. A record overwrites only the header fields its file carries, so a scan of the
// gas-condensate file leaves the depth and Sorg of an earlier water-oil record in place.
//
// Damage. A record with a point count above 50 or below 0, an unknown tag, or a file that
// ends inside a record cannot be read safely. Such a record ends the scan exactly as the
// end of the file does (the data set then holds the empty end record) and the reader says
// which file and which record, so the programs can tell the user that records were lost.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace relperm {

// The entry index of the two-phase list `wetpk` is the system code.
enum class TwoPhaseSystem : std::int16_t {
    WaterOil = 0,
    GasOil = 1,
    GasWater = 2,
    GasCondensate = 3
};

inline constexpr std::array<TwoPhaseSystem, 4> allSystems{
    TwoPhaseSystem::WaterOil, TwoPhaseSystem::GasOil, TwoPhaseSystem::GasWater,
    TwoPhaseSystem::GasCondensate};

// "Water-Oil Data", "Gas-Oil Data", "Gas-Water Data", "Gas-Condensate Data".
std::string_view systemListText(TwoPhaseSystem system);
// The system whose list text is exactly `text`, if any.
std::optional<TwoPhaseSystem> systemFromListText(std::string_view text);
// "OWBIN", "OGBIN", "GWBIN", "CGBIN".
std::string_view dataFileName(TwoPhaseSystem system);
bool isGasSystem(TwoPhaseSystem system);

// The largest point count a record may hold; points occupy indices 1 to pointCount.
inline constexpr int maxPoints = 50;

enum class ValueTag : std::uint16_t {
    Empty = 0,  // no payload; counts as 0 in arithmetic and comparisons
    Int16 = 2,  // 2 bytes
    Int32 = 3,  // 4 bytes
    Single = 4, // IEEE-754, 4 bytes
    Double = 5, // IEEE-754, 8 bytes
    String = 8, // 2-byte length, then that many 8-bit characters
};

// One field as stored, so that a code stored as a string can be told from a number.
struct TaggedValue {
    ValueTag tag = ValueTag::Empty;
    double number = 0; // the value of a numeric tag
    std::string text;  // the characters of a string

    static TaggedValue of(double value, ValueTag tag = ValueTag::Double);
    static TaggedValue ofText(std::string text);

    bool isEmpty() const { return tag == ValueTag::Empty; }
    bool isText() const { return tag == ValueTag::String; }
    bool isNumber() const { return !isEmpty() && !isText(); }
    // The value in arithmetic: an empty value and a string count as 0.
    double value() const { return isNumber() ? number : 0.0; }
    // Whether the field holds the list index `code`: a numeric value equal to it, or an empty
    // value when `code` is 0. A string never equals a code.
    bool equalsCode(int code) const { return !isText() && value() == code; }
};

// Sample keys are compared exactly: numbers (and empty values, as 0) by value, strings by
// their characters; a string never equals a number.
bool sameKey(const TaggedValue& a, const TaggedValue& b);

using PointColumn = std::array<double, maxPoints + 1>; // index 0 is never used

// The browser's one data set, overwritten field by field by every scan.
struct MeasuredDataSet {
    std::int16_t pointCount = 0;

    TaggedValue wettingCode;
    TaggedValue locationCode;
    TaggedValue lithologyCode;
    TaggedValue methodCode;
    TaggedValue depthFtSs;
    TaggedValue porosityFraction;
    TaggedValue permeabilityMd;
    TaggedValue absPermeabilityMd;
    TaggedValue connateWater; // Swc, or Slc for gas-condensate data
    TaggedValue residualOilToWater;
    TaggedValue residualOilToGas;
    TaggedValue criticalGas;

    // The stored points; a string or an empty value in a point reads as 0.
    PointColumn normSat{};
    PointColumn krAxis{};
    PointColumn krOther{};

    // Derived columns, recomputed by the display and the adjustment.
    PointColumn satAsInput{};
    PointColumn satAdjusted{};
    PointColumn krOtherAdjusted{};
    PointColumn krAxisAdjusted{};
};

// What a header field holds, for the texts, the import checks and the column names.
enum class FieldKind { Wettability, Location, Lithology, Method, Depth, Fraction, Permeability };

struct HeaderField {
    TaggedValue MeasuredDataSet::*member;
    FieldKind kind;
    std::string_view name; // the column name in the import file
};

// The header fields of a system's records, in their stored order (10, 10, 9 and 8 fields).
std::span<const HeaderField> headerFields(TwoPhaseSystem system);

// Names of the three point columns in stored order: the normalized saturation, kr of the
// axis phase and kr of the other phase ("Sw norm", "krw", "krow" for water-oil data).
std::array<std::string_view, 3> pointColumnNames(TwoPhaseSystem system);

// The text shown for a code, or a single blank for code 0, a code outside the table, a
// non-integer code and a string. Wettability here is the plain text; the display applies
// the strongly water-wet rule.
std::string codeText(FieldKind kind, const TaggedValue& code);
// The selection-list text of a known code ("North America" for 1), or empty. The method
// codes 3 and 4 have no list entry and give their shown texts.
std::string codeListText(FieldKind kind, const TaggedValue& code);
// The highest code of a code field (3 wettabilities, 6 locations, 4 lithologies, 4 methods).
int highestCode(FieldKind kind);
// The code whose shown text or selection-list text equals `text` (ignoring case), if any:
// "N. America" and "North America" both give 1.
std::optional<int> codeFromText(FieldKind kind, std::string_view text);

// Which file and record could not be read, and why.
struct DataFileProblem {
    std::filesystem::path file;
    int record = 0; // 1-based; 0 when the file as a whole could not be opened
    std::string reason;

    // One sentence for the user, e.g. "/data/OWBIN, record 7: the point count 75 is above
    // 50; the records from there on were not read."
    std::string message() const;
};

enum class ReadOutcome {
    Stored,  // a record present in the file (its point count may be 0)
    End,     // the end of the file: the end record, count 0 and an empty header
    Damaged, // a record that cannot be read; the data set holds the end record
};

// Where a reader's bytes come from.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    // Reads up to `size` bytes into `into`: the number read, 0 at the end, -1 when the
    // source cannot be read.
    virtual std::ptrdiff_t read(unsigned char* into, std::size_t size) = 0;
};

// ReadRecord and AtEnd over a source of record bytes. The source is read in large blocks,
// so a scan costs one system call per block; a record is checked against the block once
// where it can be, not once per value.
class RecordReader {
  public:
    // Reads `source` from `offset`, the start of the record after the first
    // `recordsBefore` records (for the record numbers of messages).
    RecordReader(ByteSource& source, TwoPhaseSystem system, std::uint64_t offset = 0,
                 int recordsBefore = 0);
    RecordReader(std::istream& in, TwoPhaseSystem system);
    ~RecordReader();
    RecordReader(const RecordReader&) = delete;
    RecordReader& operator=(const RecordReader&) = delete;

    // True when the source is empty, or when an earlier read ran past its end (the end
    // record or a damaged record). Still false right after a complete record that ends
    // exactly at the end of the source.
    bool AtEnd() const { return empty_ || ranPastEnd_; }

    // Reads the next record into `set`: the point count, the system's header fields, then
    // the points when the count is not 0. At the end, or at a damaged record, `set` gets
    // the end record (point count 0 and the system's header fields empty). A file that
    // ends with a bare zero point count, an explicit end marker without its header, ends
    // exactly as the end of the file does: values beyond the end read as empty.
    ReadOutcome ReadRecord(MeasuredDataSet& set);

    // ReadRecord in two steps, for scans that look at the header before they need the
    // points: readHeader reads the count and the header (a Stored record's points are then
    // still unread), finishRecord the points, into `set` or past them. A record whose
    // points are damaged gives Damaged and the end record, as ReadRecord does.
    ReadOutcome readHeader(MeasuredDataSet& set);
    ReadOutcome finishRecord(MeasuredDataSet& set, bool keepPoints);

    // The offset of the next record in the source.
    std::uint64_t offset() const { return bufferOffset_ + pos_; }
    // Records begun so far, counting the end record and a damaged one.
    int recordNumber() const { return record_; }
    // Why the last record was damaged (empty when none was).
    const std::string& damage() const { return damage_; }

  private:
    bool ensure(std::size_t bytes) { return end_ - pos_ >= bytes || refill(bytes); }
    bool refill(std::size_t bytes);
    bool readValue(TaggedValue& value);
    bool readPointValue(double& value);
    bool fail(std::string reason);
    ReadOutcome endRecord(MeasuredDataSet& set, ReadOutcome outcome);

    std::unique_ptr<ByteSource> owned_;
    ByteSource& source_;
    TwoPhaseSystem system_;
    std::unique_ptr<unsigned char[]> buffer_; // not zeroed: only [pos_, end_) is ever read
    std::size_t capacity_ = 0;
    std::uint64_t bufferOffset_ = 0; // offset of buffer_[0] in the source
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    std::size_t nextRead_;           // bytes asked of the source by the next read
    std::int16_t pendingPoints_ = 0; // points of the record whose header was read last
    bool streamDone_ = false;
    bool empty_ = false;
    bool ranPastEnd_ = false;
    int record_ = 0;
    std::string damage_;
};

// What tells one state of a file from another: a file replaced, grown, cut or written
// since has another identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file at `path` now, or nothing when there is no regular file there.
std::optional<FileIdentity> currentIdentity(const std::filesystem::path& path);

// A data file opened for reading, which scans that carry on where an earlier one stopped
// share; it is closed when the last of them lets it go.
class OpenDataFile {
  public:
    OpenDataFile(int fd, FileIdentity identity) : fd_(fd), identity_(identity) {}
    ~OpenDataFile();
    OpenDataFile(const OpenDataFile&) = delete;
    OpenDataFile& operator=(const OpenDataFile&) = delete;

    int fd() const { return fd_; }
    const FileIdentity& identity() const { return identity_; }

    // Reads from `position` through a copy of the last block read, so that Shows of
    // neighbouring records read the file once between them: the number of bytes read, 0
    // at the end, -1 on an error. The scans that share the file use it only while it keeps
    // the identity it was opened with, so the copy never goes stale.
    std::ptrdiff_t readCached(unsigned char* into, std::size_t size, std::uint64_t position) const;

  private:
    int fd_;
    FileIdentity identity_;
    mutable std::vector<unsigned char> block_;
    mutable std::uint64_t blockStart_ = 0;
};

// A system's file in the data folder, opened read-only and only when it is a regular file.
// A missing file reads as an empty one and is never created (the folder may be read-only);
// a file that exists but cannot be read (a folder, a pipe, a device, no permission) also
// reads as empty, and `problem` says why. A pipe is never opened for reading, so no scan
// waits on one.
class RecordFile {
  public:
    RecordFile(const std::filesystem::path& dataDirectory, TwoPhaseSystem system);
    // An open file read from `offset`, the start of the record after the first
    // `recordsBefore` records, through the file's cached block.
    RecordFile(std::shared_ptr<const OpenDataFile> file, const std::filesystem::path& path,
               TwoPhaseSystem system, std::uint64_t offset, int recordsBefore);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool AtEnd() const { return reader_->AtEnd(); }
    ReadOutcome ReadRecord(MeasuredDataSet& set);
    ReadOutcome readHeader(MeasuredDataSet& set);
    ReadOutcome finishRecord(MeasuredDataSet& set, bool keepPoints);
    int recordNumber() const { return reader_->recordNumber(); }
    std::uint64_t offset() const { return reader_->offset(); }

    // The file as it was opened; nothing when no regular file was opened.
    const std::shared_ptr<const OpenDataFile>& file() const { return file_; }
    // Why records were lost: the file could not be opened, or a record was damaged.
    const std::optional<DataFileProblem>& problem() const { return problem_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    ReadOutcome noted(ReadOutcome outcome);

    std::filesystem::path path_;
    std::shared_ptr<const OpenDataFile> file_;
    std::unique_ptr<ByteSource> source_;
    std::unique_ptr<RecordReader> reader_;
    std::optional<DataFileProblem> problem_;
};

// The bytes of one record of `system` from `set`: the count, the header fields with their
// own tags (a value that does not fit an integer tag is written as a double), and the
// points as doubles.
std::string encodeRecord(TwoPhaseSystem system, const MeasuredDataSet& set);
// Appends one tagged value.
void appendTaggedValue(std::string& bytes, const TaggedValue& value);

} // namespace relperm
