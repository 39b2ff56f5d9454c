// What the commands that read measured data share: choosing a data set as a user does in the
// browser (the system, the four lists, Count, then Show pressed N times), and the simulator
// formats with their end kr values, so `db show` and `fit` pick the same set from the same
// flags and refuse the same table options with the same words.
#pragma once

#include "analysis/fit.h"
#include "cli/args.h"
#include "common/filewrite.h"
#include "common/simulatorfile.h"
#include "database/browser.h"
#include "database/datafolder.h"
#include "database/matchlist.h"

#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace relperm::cli {

struct Failure {
    int status;
    std::string message;
};

// --dir, --system and the four list indices.
std::set<std::string> listSelectionOptions();

// Writes "`prefix`: message" on `err` and gives the failure's exit status.
int reportFailure(std::ostream& err, const char* prefix, const Failure& failure);

// The opening every command shares: the flags read against `table`, --help answered, a
// stray argument refused (beyond the `positionals` the command takes). Gives the options,
// or the exit status when the command is done.
std::variant<Options, int> openCommand(const std::vector<std::string>& args,
                                       const OptionTable& table, const char* prefix,
                                       const char* help, std::ostream& out, std::ostream& err,
                                       std::size_t positionals = 0);

// A whole decimal number and nothing else.
std::optional<long> wholeNumber(const std::string& text);

std::optional<Failure> systemOption(const Options& options, TwoPhaseSystem& system);
// --dir: an existing folder (default: the working folder).
std::optional<Failure> folderOption(const Options& options, std::filesystem::path& dir);

// --out, checked before anything is read: not one of `inputs` (outputOverInput), and not
// named as a data file, whose records the browser would then read from the text written.
std::optional<Failure> outOption(const Options& options, const std::vector<ReadInput>& inputs);

// Replays the window: the system, the four lists, the search option and tolerance, the
// end-point boxes in the order Swc, Sor, Sgc (each a typing that redraws), then Count.
std::optional<Failure> replaySelection(const Options& options, TwoPhaseSystem system,
                                       DatabaseBrowser& browser);

// What `db list` lists for the flags, without reading the file once more: the replayed
// window's selection. The browser's lastProblem() then holds what the replay's count met.
std::variant<MatchSelection, Failure>
replayMatchSelection(const Options& options, TwoPhaseSystem system, DatabaseBrowser& browser);

// --match: the number of Show presses after the count, from 1.
std::optional<Failure> matchOption(const Options& options, int& match);

// Show pressed `match` times after the replayed selection, as `db show --match N` does.
// Returns the records lost on the way (the count's or any press's), if any.
std::optional<DataFileProblem> showMatch(int match, DatabaseBrowser& browser);

// Why nothing is shown at `match`: "no data set matches", or "match 5 is past the last of
// the 3 matching data sets".
std::string pastTheLastMatch(const ScanState& scan, int match);

// The keywords of a simulator format (swof, sgof, swfn, sgfn, simulator: every keyword the
// system's measured sets give), or nothing for any other format.
std::optional<std::vector<Keyword>> simulatorFormatKeywords(const std::string& format,
                                                            TwoPhaseSystem system);

// --format of the commands that write a model's curves: params (the default) or one of the
// simulator formats, whose keywords go into `simulator` (none for params) and must be among
// those the system's measured sets give.
std::optional<Failure> paramsOrTablesFormat(const Options& options, TwoPhaseSystem system,
                                            std::string& format, SimulatorOptions& simulator);

// --spacing, --krw-max and --krg-max, which shape the rows of the simulator formats only.
std::optional<Failure> tableRowOptions(const Options& options, bool tables, double& spacing,
                                       SimulatorOptions& simulator);

// --model: corey or let, needed.
std::optional<Failure> modelOption(const Options& options, FitModel& model);

// --weight: kr (the default) or log, what the fit's misfit is taken of.
std::optional<Failure> weightOption(const Options& options, FitWeight& weight);

// --spacing into `spacing` (percent), for the simulator formats only (`tables`), held to the
// calculator's limits.
std::optional<Failure> spacingOption(const Options& options, bool tables, double& spacing);

// --krw-max and --krg-max into `simulator`: fractions from 0 to 1, for the simulator formats
// only (`tables`). Returns the message of a refusal.
std::optional<std::string> endKrOptions(const Options& options, bool tables,
                                        SimulatorOptions& simulator);

// A table refusal for the user: one from the end rows names the flag that sets them.
std::string tableRefusalText(const Refusal& refusal);

} // namespace relperm::cli
