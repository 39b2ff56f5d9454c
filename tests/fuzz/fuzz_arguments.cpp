// The command line of relperm over a database of the fuzzer's own: each input holds the bytes
// of the data files it chooses and then a list of words separated by NUL bytes, run as
// `relperm WORDS...` in a folder of its own that holds those files (a file the input does not
// give holds the seed records). The files are written as the input asks before each run and
// may be written to, so only the suite's own rules keep a run from changing them. Words that hold a
// '/' or ".." are left out, so nothing outside that folder is read or written; whatever a run
// writes there is removed after it.
//
// Input layout (FuzzedDataProvider): the last byte chooses the files (bit k for the k-th of
// OWBIN, OGBIN, GWBIN, CGBIN), the two bytes before it, for each chosen file in turn, its
// length; the files' bytes come first, in that order, and the words follow them.
//
// Checks: every data file holds after the run the very bytes it held before, whatever the
// command and its --out; the exit status is one of those documented (0 to 3); a failure says why on
// standard error; what goes to standard error is UTF-8 without control characters other
// than line ends; no line of it is longer than a few values cut at 40 characters would make
// it, besides the file and folder names, which the user must see whole.
#include "cli/commands.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace relperm;
using relperm::fuzz::require;
namespace fs = std::filesystem;

namespace {

const std::array<std::string, 4> dataFiles{"OWBIN", "OGBIN", "GWBIN", "CGBIN"};
std::array<std::string, 4> seedRecords;

fs::path runFolder;

// What tells a file written from one left alone.
struct Identity {
    ino_t inode;
    off_t size;
    std::int64_t modified;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(const fs::path& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return Identity{st.st_ino, st.st_size,
                    static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// What a data file of the run folder holds, so that a run rewrites only the files whose
// bytes its input changes.
struct DataFile {
    std::string bytes;
    std::optional<Identity> identity;
};
std::array<std::optional<DataFile>, 4> onDisk;

std::string bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool isDataFile(const fs::path& path) {
    const std::string name = path.filename().string();
    return std::find(dataFiles.begin(), dataFiles.end(), name) != dataFiles.end();
}

// Makes the run folder and reads the seed records, which stand in for a file an input
// does not give.
void makeRunFolder() {
    char name[] = "/tmp/relperm-fuzz-arguments-XXXXXX";
    require(::mkdtemp(name) != nullptr, "a run folder can be made");
    for (std::size_t k = 0; k < dataFiles.size(); ++k)
        seedRecords[k] = bytesOf(fs::path(RELPERM_FUZZ_RECORDS) / dataFiles[k]);
    runFolder = name;
}

void removeWhatTheRunWrote() {
    for (const fs::directory_entry& entry : fs::directory_iterator("."))
        if (!isDataFile(entry.path()))
            fs::remove_all(entry.path());
}

// A word that, as a name, cannot lead out of the run folder.
bool inRunFolder(const std::string& word) {
    return word.find('/') == std::string::npos && word.find("..") == std::string::npos;
}

bool wellFormedText(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\n' || (c >= 0x20 && c < 0x7f)) {
            ++i;
            continue;
        }
        std::size_t length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
        if (length == 0 || c > 0xF4 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// Whether `args[i]` may name a file or folder: the value of --out, --run or --dir, or any
// word of an import, whose words are the CSV files.
bool mayBeName(const std::vector<std::string>& args, std::size_t i) {
    for (const char* flag : {"--out", "--run", "--dir"}) {
        if (i > 0 && args[i - 1] == flag)
            return true;
        if (args[i].rfind(std::string(flag) + "=", 0) == 0)
            return true;
    }
    return args.size() > 1 && args[0] == "db" && args[1] == "import";
}

// The file `relperm db import` writes, named by --out.
std::optional<std::string> importTarget(const std::vector<std::string>& args) {
    if (args.size() < 2 || args[0] != "db" || args[1] != "import")
        return std::nullopt;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--")
            break;
        if (args[i] == "--out" && i + 1 < args.size())
            return args[i + 1];
        if (args[i].rfind("--out=", 0) == 0)
            return args[i].substr(6);
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeRunFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const auto chosen = in.ConsumeIntegral<std::uint8_t>();
    std::array<std::string, 4> records = seedRecords;
    for (std::size_t k = 0; k < records.size(); ++k)
        if (chosen & (1u << k))
            records[k] = in.ConsumeBytesAsString(in.ConsumeIntegralInRange<std::size_t>(0, 4096));

    std::vector<std::string> args;
    std::string word;
    for (char c : in.ConsumeRemainingBytesAsString()) {
        if (c != '\0') {
            word += c;
            continue;
        }
        if (inRunFolder(word))
            args.push_back(word);
        word.clear();
    }
    if (inRunFolder(word))
        args.push_back(word);
    if (args.size() > 24)
        return -1; // not kept: longer command lines reach nothing new

    // Only for the run: libFuzzer names its corpus and findings relative to where it started.
    const fs::path started = fs::current_path();
    fs::current_path(runFolder);
    for (std::size_t k = 0; k < records.size(); ++k)
        if (!onDisk[k] || onDisk[k]->bytes != records[k]) {
            std::ofstream(dataFiles[k], std::ios::binary | std::ios::trunc) << records[k];
            onDisk[k] = DataFile{records[k], identityOf(dataFiles[k])};
        }
    std::ostringstream out, err;
    const int status = cli::runRelperm(args, out, err);
    // An import that succeeds replaces the file it was asked to write; nothing else may. A
    // file whose identity (inode, size, time) is unchanged was not written.
    const std::optional<std::string> imported = status == 0 ? importTarget(args) : std::nullopt;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const std::optional<Identity> now = identityOf(dataFiles[k]);
        if (now == onDisk[k]->identity)
            continue;
        if (dataFiles[k] == imported) {
            onDisk[k].reset();
            continue;
        }
        require(now.has_value() && bytesOf(dataFiles[k]) == records[k],
                "no command changes a data file", dataFiles[k] + ": " + err.str());
        onDisk[k]->identity = now;
    }
    removeWhatTheRunWrote();
    fs::current_path(started);

    const std::string message = err.str();
    require(status >= 0 && status <= 3, "the exit status is 0, 1, 2 or 3", std::to_string(status));
    require(status == 0 || !message.empty(), "a failure says why");
    require(wellFormedText(message), "errors are UTF-8 without control characters", message);
    // Fixed text and a few values of 40 characters, each at most 4 bytes (or escaped as
    // 4), and the names whole, escaped: a longer line has a value quoted whole.
    std::size_t longest = 1000;
    for (std::size_t i = 0; i < args.size(); ++i)
        if (mayBeName(args, i))
            longest += 4 * args[i].size();
    std::istringstream lines(message);
    for (std::string line; std::getline(lines, line);)
        require(line.size() <= longest, "a value is quoted by its first 40 characters", line);
    return 0;
}
