// The run-file reader, and Open applied to the calculator's start-up form.
//
// Checks: a file that Open accepts can be saved, and what Save As writes opens again and
// writes the same line.
#include "calculator/runfile.h"
#include "fuzz_check.h"

using namespace relperm;
using relperm::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parsed = parseRunFile(fuzz::textOf(data, size));
    const RunFile* run = std::get_if<RunFile>(&parsed);
    if (!run)
        return 0;
    CalculatorForm form;
    StoredInputs inputs;
    if (applyRunFile(*run, form, inputs))
        return 0;
    const std::string saved = runFileText(runFileOf(form, inputs));
    auto reopened = parseRunFile(saved);
    const RunFile* again = std::get_if<RunFile>(&reopened);
    if (!again)
        require(false, "what Save As writes opens again",
                saved + "\n" + std::get<std::string>(reopened));
    require(runFileText(*again) == saved, "an opened run file writes the same line", saved);
    return 0;
}
