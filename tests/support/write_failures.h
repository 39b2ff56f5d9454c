// The ways the one file-write routine can fail, for the tests of every save path: each step
// of the write with the error a real disk or folder gives at that step.
#pragma once

#include "common/filewrite.h"

#include <array>
#include <cerrno>

namespace relperm::testing {

struct FailingStep {
    const char* name;
    WriteStep step;
    int error; // errno
};

inline constexpr std::array<FailingStep, 4> failingSteps{{
    {"CreateTemporary", WriteStep::CreateTemporary, EACCES}, // a read-only folder
    {"Write", WriteStep::Write, ENOSPC},                     // a full disk
    {"Flush", WriteStep::Flush, EIO},                        // a disk error
    {"Rename", WriteStep::Rename, EPERM},                    // a folder that refuses it
}};

} // namespace relperm::testing
