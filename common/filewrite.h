// The one routine through which the suite writes a file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace relperm {

// A file written piece by piece to a temporary file in the target's folder, then flushed to
// the disk and renamed over the target by commit, so a failed write never damages the file
// that was there, however large the new one. Until commit the target is untouched, and a
// writer destroyed without a commit leaves no temporary file.
//
// What the target is decides how it is written:
// - A regular file, or no file yet, is replaced as above. The new file keeps the old one's
//   owner and group (where the writer may give them) and its permission bits, less the
//   set-user-ID, set-group-ID and sticky bits, which must not pass to new contents; a new
//   file gets 0666 less the umask. A file nobody may write (no write bit, or no write access
//   for this process) is refused with "Permission denied", as shell redirection refuses it,
//   rather than silently replaced because the folder happens to be writable.
// - A symbolic link, or a chain of them, is followed to its last target, which is written
//   as above in its own folder; a dangling link gets its target created. The link stays.
// - `/dev/stdout`, `/dev/stderr`, `/dev/fd/N` and `/proc/self/fd/N` are the streams the
//   process already holds, written in place at their own offset (appending where the shell
//   opened them with >>), never resolved to the file behind them and replaced.
// - A device, FIFO or socket (`/dev/null`, a named pipe) is opened and written directly,
//   never replaced by a regular file, and without truncation, which means nothing there.
//   The bytes then reach it as they are appended. A FIFO without a reader is an error
//   ("no reader"), not a wait without end.
// - A folder, or an empty name, is refused.
//
// Hard links are split: the rename gives the name a new file, and the other names keep the
// old contents. Writing in place through every link would be the one way to keep them, and
// it would bring back the half-written file after a crash that the rename exists to avoid.
//
// The temporary file has no name where the file system allows (O_TMPFILE): a process killed
// in any way mid-write leaves nothing behind. It gets a name only just before the rename, or
// for the whole write where O_TMPFILE is missing; a name is removed on every signal whose
// default action ends the process (SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ, the
// timers and the user signals) before the signal takes its course. The folder is flushed after the
// rename so the new name survives a power cut.
//
// A file of the program's own data that is protected (see ProtectedFiles) is refused.
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
    // Gives the temporary file its owner and permissions, flushes it to the disk and renames
    // it over the target.
    std::optional<std::string> commit();
    // Removes the temporary file and leaves the target as it was.
    void abandon();

  private:
    void open();
    std::optional<std::string> fail(const char* step, int error);
    // The answer to a call after commit or abandon, which is a mistake of the caller.
    std::optional<std::string> finished() const;
    // Gives the nameless temporary file a name, which the rename then moves.
    bool nameTemporary();
    void removeTemporaryName();

    std::filesystem::path target_; // as the caller named it, for messages
    std::filesystem::path real_;   // what a symbolic link points to
    std::string temp_;             // the temporary file's name in its folder, once it has one
    int fd_ = -1;
    int dirFd_ = -1;
    int slot_ = -1; // in the registry of names removed on a signal
    bool direct_ = false;
    bool keepOwner_ = false;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    mode_t mode_ = 0;
    std::optional<std::string> failure_;
    bool committed_ = false;
};

// A file a program reads, which none of its outputs may replace: a command's input, or a
// data file of the folder it reads. `what` names it for the user ("the Water-Oil Data
// file").
struct ReadInput {
    std::filesystem::path path;
    std::string what;
};

// The one rule for outputs: an output that is one of `inputs` is refused before anything is
// read or written. "Is" means the same file through any name or link (device and inode), or,
// for a file not there yet, the same name in the same folder, where a write would create it
// under the input's name. Gives the sentence saying so ("'d/OWBIN' is the Water-Oil Data
// file 'd/OWBIN', which is read here; writing there would destroy it"), or nothing.
std::optional<std::string> outputOverInput(const std::filesystem::path& output,
                                           const std::vector<ReadInput>& inputs);

// The files a window reads for as long as this object lives: every AtomicFileWriter of the
// process refuses them with the sentence of outputOverInput, whichever dialog named them.
// A later object adds to the protected files; each takes its own away when it goes.
class ProtectedFiles {
  public:
    explicit ProtectedFiles(std::vector<ReadInput> inputs);
    ~ProtectedFiles();
    ProtectedFiles(const ProtectedFiles&) = delete;
    ProtectedFiles& operator=(const ProtectedFiles&) = delete;

  private:
    int id_;
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

// Makes the following writes use a named temporary file, as where O_TMPFILE is missing, so
// tests can see that name removed on a signal. For tests only.
void useNamedTemporaryForTesting(bool named);

} // namespace relperm
