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

StartChoice startFolder(const StartFolders& folders) {
    StartChoice choice;
    for (const std::filesystem::path& demo : folders.demo)
        if (holdsDataFiles(demo)) {
            choice.demo = demo;
            break;
        }
    if (folders.named) {
        choice.folder = *folders.named;
        choice.remember = holdsDataFiles(*folders.named);
        return choice;
    }
    if (folders.remembered) {
        if (holdsDataFiles(*folders.remembered)) {
            choice.folder = *folders.remembered;
            return choice;
        }
        choice.forgotten = folders.remembered;
    }
    if (holdsDataFiles(folders.working) || !choice.demo)
        choice.folder = folders.working;
    else
        choice.folder = *choice.demo;
    return choice;
}

} // namespace relperm
