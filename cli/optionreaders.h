// What generate, recommend and tables read from their options into the core's terms, shared with
// the Python module so that a keyword there is read, and refused, as the flag is here.
#pragma once

#include "calculator/form.h"
#include "cli/args.h"
#include "cli/selection.h"
#include "satfunc/includefile.h"

#include <optional>
#include <string>
#include <variant>

namespace relperm::cli {

// The first of generate's number options given but not wholly a number, as a refusal.
std::optional<std::string> refusedGenerateNumber(const Options& options);

// The calculator window as generate leaves it before Generate: the run file of --run
// opened, then the values typed and the lists picked (or typed) in the window's order.
std::variant<CalculatorForm, Failure> calculatorFormOf(const Options& options);

// Saturations are typed in percent: a warning when every end point is below 1 (and not all
// 0), which almost certainly means fractions were typed.
std::optional<std::string> fractionWarning(const CalculatorForm& form);

// --max-rms of recommend: a number above 0, or nothing when not given.
std::optional<Failure> maxRmsOption(const Options& options, std::optional<double>& maxRms);

// --family, --slgof, --delta-s, --int-param-wo and --int-param-go into `out`.
std::optional<Failure> readTablesOptions(const Options& options, satfunc::TablesOptions& out);

} // namespace relperm::cli
