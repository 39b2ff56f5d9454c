// The run file: one line of twelve comma-separated fields that Save As writes and Open
// reads back — the title, the four lists' picked entries and the seven stored inputs.
#pragma once

#include "calculator/form.h"
#include "calculator/state.h"
#include "common/readfile.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace relperm {

struct RunFile {
    std::string title;
    // Picked entry of fldpk, corpk, wetpk, formpk as a zero-based index, -1 for none.
    std::array<int, 4> lists{-1, -1, -1, -1};
    // Porosity, Swc, Sorw, Sorg, Sgc (percent), krg at Sorg (fraction), permeability (md);
    // nothing for an empty field.
    std::array<std::optional<double>, 7> values;
};

// The line, ended by CR LF. A double quote in the title is written as an apostrophe (the
// format cannot hold one).
std::string runFileText(const RunFile& run);

// Reads the first twelve fields. On a file that does not follow the format, returns a
// sentence naming the field and what it needs.
std::variant<RunFile, std::string> parseRunFile(std::string_view text);

// Open reads no more of a file than this: a run file is one line of twelve short fields, so
// a file chosen by mistake (a database, a film) is refused at once, whatever its size.
inline constexpr std::size_t runFileReadLimit = std::size_t{1} << 20;

// parseRunFile over the start of a file read by readFileStart with runFileReadLimit. Of a
// file that goes on past it only the whole lines within it are read (a field cut at the
// limit would read as another value), and they must hold the twelve fields.
std::variant<RunFile, std::string> parseRunFileStart(const FileStart& start);

// What Save As writes: the title, the lists as they stand, and the stored inputs (an input
// never set is 0 in fields 6 to 10 and an empty field 11 or 12).
RunFile runFileOf(const CalculatorForm& form, const StoredInputs& inputs);

// Open: picks the lists in the order fluids, correlation, wettability, formation, each
// running its handler (an index of -1 leaves the list without a pick, showing its prompt),
// then fills the boxes in the general number form after a blank, and stores the values as
// the inputs of the run, so Save As right after Open writes the same numbers back.
// A list index outside its list at that moment is refused with a sentence naming the
// field, and then neither `form` nor `inputs` changes.
std::optional<std::string> applyRunFile(const RunFile& run, CalculatorForm& form,
                                        StoredInputs& inputs);

} // namespace relperm
