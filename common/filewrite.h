// The one routine through which the suite writes a file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace relperm {

// A file written piece by piece to a temporary file beside `target`, then flushed to the
// disk and renamed over `target` by commit, so a failed write never damages the file that
// was there, however large the new one. A symbolic link is followed: the file it points to
// is replaced. A new file gets the usual permissions (0666 less the umask); a replaced file
// keeps its own. Until commit the target is untouched, and a writer destroyed without a
// commit removes its temporary file.
//
// Every call returns nothing on success, or a message naming the file and the reason. A
// failure ends the write: the temporary file is removed at once, and append and commit
// then keep returning the same message.
class AtomicFileWriter {
  public:
    // Creates the temporary file; a failure shows in the first append or in commit.
    explicit AtomicFileWriter(const std::filesystem::path& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    std::optional<std::string> append(std::string_view bytes);
    // Gives the temporary file its permissions, flushes it to the disk and renames it over
    // the target.
    std::optional<std::string> commit();
    // Removes the temporary file and leaves the target as it was.
    void abandon();

  private:
    std::optional<std::string> fail(const char* step, int error);
    // The answer to a call after commit or abandon, which is a mistake of the caller.
    std::optional<std::string> finished() const;

    std::filesystem::path target_; // as the caller named it, for messages
    std::filesystem::path real_;   // what a symbolic link points to
    std::string temp_;
    int fd_ = -1;
    mode_t mode_ = 0;
    std::optional<std::string> failure_;
    bool committed_ = false;
};

// Writes `bytes` through an AtomicFileWriter in one piece.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes);

// The steps of a write, for tests that must see each one fail as a full or read-only disk
// would make it fail.
enum class WriteStep { CreateTemporary, Write, Flush, Rename };

// Makes `step` of every following write fail with `error` (an errno value), until called
// with nothing. For tests only.
void failFileWriteStepForTesting(std::optional<WriteStep> step, int error = 0);

} // namespace relperm
