#include "database/datafolder.h"

#include "database/datafile.h"

namespace relperm {

std::vector<ReadInput> dataFolderInputs(const std::filesystem::path& folder) {
    std::vector<ReadInput> inputs;
    for (TwoPhaseSystem system : allSystems)
        inputs.push_back({folder / dataFileName(system),
                          "the " + std::string(systemListText(system)) + " file"});
    return inputs;
}

bool holdsDataFiles(const std::filesystem::path& folder) {
    std::error_code ec;
    for (TwoPhaseSystem system : allSystems)
        if (std::filesystem::is_regular_file(folder / dataFileName(system), ec))
            return true;
    return false;
}

std::filesystem::path startFolder(const StartFolders& folders) {
    if (folders.named)
        return *folders.named;
    std::error_code ec;
    // A remembered folder that has since gone is forgotten, not shown as empty.
    if (folders.remembered && std::filesystem::is_directory(*folders.remembered, ec))
        return *folders.remembered;
    if (holdsDataFiles(folders.working))
        return folders.working;
    for (const std::filesystem::path& demo : folders.demo)
        if (holdsDataFiles(demo))
            return demo;
    return folders.working;
}

} // namespace relperm
