// Reading a file the user named. A pipe or device put where a file is expected would make
// a plain open wait for a writer for ever, and a device may never end; so nothing but a
// regular file is read, unless the caller reads pipes on purpose (a command line given
// `<(cat x)` names a pipe, and its writer is there).
#pragma once

#include <cstddef>
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

// The start of a file, and whether the file goes on past it.
struct FileStart {
    std::string text;
    bool more = false;
};

// At most `limit` bytes from the start of the file into `start`, or the reason it could not
// be read (as openForReading). For formats that are never large (a run file, a saved data
// set): whatever has been put at the path, opening it then costs neither memory nor time
// in proportion to its size.
std::optional<std::string> readFileStart(const std::filesystem::path& path, PipeUse pipes,
                                         std::size_t limit, FileStart& start);

} // namespace relperm
