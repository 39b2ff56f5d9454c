// Python's keyword arguments as the command line's options, so a keyword is read, checked
// and refused by the very code that reads the flag; and the command line's failures as
// Python's exceptions.
#pragma once

#include "cli/args.h"
#include "cli/selection.h"

#include <pybind11/pybind11.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace relperm::python {

// Input the command line refuses (exit status 2): ValueError.
struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// A file that cannot be read or written, or records lost to damage (exit status 1): OSError.
struct Unreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Throws the exception of the failure's exit status, with its message.
[[noreturn]] void raise(const cli::Failure& failure);

// A value as it would be typed after its flag: text as it is, a whole number in digits, a
// float in the shortest text that reads back as the same value.
std::string optionText(const pybind11::handle& value);

// Adds `keywords` to `options`: each name with '_' as '-'; a name in `switches` is a switch,
// given when its value is true; None leaves an option out. A keyword not in `names` or
// `switches` is a TypeError naming `function`, as Python's own calls report one.
void addKeywords(cli::Options& options, const pybind11::kwargs& keywords, const char* function,
                 const std::vector<std::string>& names,
                 const std::vector<std::string>& switches = {});

} // namespace relperm::python
