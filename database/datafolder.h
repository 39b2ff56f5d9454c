// Which folder the browser reads its data files from when it starts, and whether a folder
// holds any: a folder named on the command line, else the one the user chose last time
// while it still holds data files, else the working folder when it holds some, else the demo
// database when the suite has one, else the working folder (which the browser then says
// holds none).
#pragma once

#include "common/filewrite.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace relperm {

// The four data files of `folder`, each named for the user ("the Water-Oil Data file"): what
// no output of a program reading the folder may replace.
std::vector<ReadInput> dataFolderInputs(const std::filesystem::path& folder);

// Whether `folder` holds at least one of OWBIN, OGBIN, GWBIN and CGBIN.
bool holdsDataFiles(const std::filesystem::path& folder);

struct StartFolders {
    std::optional<std::filesystem::path> named;      // on the command line
    std::optional<std::filesystem::path> remembered; // chosen at an earlier run
    std::filesystem::path working;
    std::vector<std::filesystem::path> demo; // where the demo database may be, in turn
};

struct StartChoice {
    std::filesystem::path folder;
    // The demo database found, whether or not it is the folder chosen: the browser names it
    // as such, so its invented sets are never taken for the user's own.
    std::optional<std::filesystem::path> demo;
    // The named folder holds data files: kept for the next start. A folder that is missing or
    // empty is not, or every later start would open it with nothing to show.
    bool remember = false;
    // The remembered folder, passed by because it has gone or holds no data file any more:
    // no longer remembered, and the user told what is shown in its place.
    std::optional<std::filesystem::path> forgotten;
};

StartChoice startFolder(const StartFolders& folders);

} // namespace relperm
