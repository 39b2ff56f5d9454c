// The one file-write routine under its fault seam: each input chooses what is there before
// (nothing, a file with some bytes and permission bits, a link to one, a dangling link), the
// new bytes in pieces, the step that fails and with which error, a named or nameless
// temporary file, and whether the writer commits, abandons or is dropped.
//
// Checks: afterwards the target holds the old bytes or the new bytes, never a mix; the new
// ones exactly when commit reported success; a failure names the file; the folders hold no
// name besides those that were there and the target a commit created; a replaced
// file keeps its permission bits without set-ID bits.
#include "common/filewrite.h"
#include "fuzz_check.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sys/stat.h>

using namespace relperm;
using relperm::fuzz::require;
namespace fs = std::filesystem;

namespace {

enum class Before { Nothing, File, LinkToFile, DanglingLink };
enum class Ending { Commit, Abandon, Drop };

fs::path folder;

std::set<std::string> namesIn(const fs::path& dir) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

std::optional<std::string> contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writePlainly(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    require(out.good(), "the old file can be made");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char name[] = "/tmp/relperm-fuzz-filewrite-XXXXXX";
    require(::mkdtemp(name) != nullptr, "a folder for the writes can be made");
    folder = name;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        fs::remove_all(entry.path());
    const fs::path target = folder / "table.inc";
    const fs::path file = folder / "tables" / "table.inc"; // a link's target, in its own folder
    fs::create_directory(folder / "tables");

    const auto before = static_cast<Before>(in.ConsumeIntegralInRange(0, 3));
    const std::string oldBytes = in.ConsumeRandomLengthString(64);
    // The owner may write; the rest of the bits, set-ID bits included, are the input's.
    const auto oldMode = static_cast<mode_t>(in.ConsumeIntegralInRange(0, 07777) | 0200);
    const fs::path real = before == Before::File || before == Before::Nothing ? target : file;
    if (before == Before::File || before == Before::LinkToFile) {
        writePlainly(real, oldBytes);
        require(::chmod(real.c_str(), oldMode) == 0, "the old file's mode can be set");
    }
    if (before == Before::LinkToFile || before == Before::DanglingLink)
        fs::create_symlink("tables/table.inc", target);
    const std::set<std::string> namesBefore = namesIn(folder);
    const std::set<std::string> namesBelow = namesIn(folder / "tables");

    std::optional<WriteStep> failing;
    if (in.ConsumeBool())
        failing = static_cast<WriteStep>(in.ConsumeIntegralInRange(0, 3));
    failFileWriteStepForTesting(failing, in.PickValueInArray({EACCES, ENOSPC, EIO, EPERM, EROFS}));
    useNamedTemporaryForTesting(in.ConsumeBool());
    const auto ending = static_cast<Ending>(in.ConsumeIntegralInRange(0, 2));

    std::string newBytes;
    std::optional<std::string> failure;
    bool committed = false;
    {
        AtomicFileWriter writer(target);
        const int pieces = in.ConsumeIntegralInRange(0, 4);
        for (int p = 0; p < pieces && !failure; ++p) {
            const std::string piece = in.ConsumeRandomLengthString(32);
            newBytes += piece;
            failure = writer.append(piece);
        }
        if (ending == Ending::Commit) {
            failure = writer.commit();
            committed = !failure;
        } else if (ending == Ending::Abandon) {
            writer.abandon();
        }
    }
    failFileWriteStepForTesting(std::nullopt);
    useNamedTemporaryForTesting(false);

    if (failure)
        require(failure->find("table.inc") != std::string::npos, "a failure names the file",
                *failure);
    std::set<std::string> expected = namesBefore, expectedBelow = namesBelow;
    if (committed && before == Before::Nothing)
        expected.insert("table.inc");
    if (committed && before == Before::DanglingLink)
        expectedBelow.insert("table.inc");
    require(namesIn(folder) == expected, "the folder holds the names it held");
    require(namesIn(folder / "tables") == expectedBelow, "the link's folder holds no other name");
    const std::optional<std::string> now = contentsOf(real);
    if (committed) {
        require(now == newBytes, "a committed write leaves the new bytes", now.value_or("(none)"));
        struct stat status {};
        require(::stat(real.c_str(), &status) == 0, "the written file is there");
        if (before == Before::File || before == Before::LinkToFile)
            require((status.st_mode & 07777) == (oldMode & 0777),
                    "the file keeps its permission bits, less the set-ID bits");
    } else if (before == Before::File || before == Before::LinkToFile) {
        require(now == oldBytes, "a write that did not commit leaves the old bytes",
                now.value_or("(none)"));
    } else {
        require(!now.has_value(), "a write that did not commit makes no file");
    }
    if (before == Before::LinkToFile || before == Before::DanglingLink)
        require(fs::is_symlink(target), "the link stays a link");
    return 0;
}
