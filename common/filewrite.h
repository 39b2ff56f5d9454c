// The one routine through which the suite writes a file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace relperm {

// Writes `bytes` to a temporary file beside `target`, flushes it to the disk and renames it
// over `target`, so a failed write never damages the file that was there. A symbolic link
// is followed: the file it points to is replaced. A new file gets the usual permissions
// (0666 less the umask); a replaced file keeps its own.
//
// Returns nothing on success, or a message naming the file and the reason.
std::optional<std::string> writeFileAtomically(const std::filesystem::path& target,
                                               std::string_view bytes);

// The steps of a write, for tests that must see each one fail as a full or read-only disk
// would make it fail.
enum class WriteStep { CreateTemporary, Write, Flush, Rename };

// Makes `step` of every following write fail with `error` (an errno value), until called
// with nothing. For tests only.
void failFileWriteStepForTesting(std::optional<WriteStep> step, int error = 0);

} // namespace relperm
