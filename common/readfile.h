// Reading a file the user named. A pipe or device put where a file is expected would make
// a plain open wait for a writer for ever, and a device may never end; so nothing but a
// regular file is read, unless the caller reads pipes on purpose (a command line given
// `<(cat x)` names a pipe, and its writer is there).
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace relperm {

enum class PipeUse { Refuse, Read };

// A descriptor open for reading (blocking reads), or -1 with `problem` set to the reason
// in a form that follows "Could not read \"FILE\": ".
int openForReading(const std::filesystem::path& path, PipeUse pipes, std::string& problem);

// The whole file into `text`, or the reason it could not be read (as openForReading).
std::optional<std::string> readWholeFile(const std::filesystem::path& path, PipeUse pipes,
                                         std::string& text);

} // namespace relperm
