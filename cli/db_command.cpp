// relperm db: the measured-data files of a folder from the command line. `count`, `show`
// and `list` replay a user's session in the browser through the same model the window uses;
// `dump` and `import` convert between a record file and the readable import text.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/importprogress.h"
#include "cli/selection.h"
#include "common/filewrite.h"
#include "common/quotedtext.h"
#include "database/browser.h"
#include "database/csvrows.h"
#include "database/datasetexport.h"
#include "database/importfile.h"
#include "database/matchlist.h"

#include <iostream>
#include <ostream>
#include <unistd.h>

namespace relperm::cli {

namespace {

const char* prefix = "relperm db";

constexpr std::size_t outputPieceBytes = std::size_t{1} << 16;

const char* dbHelp =
    "usage: relperm db count  --system TEXT [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db show   --system TEXT --match N [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db show   --system TEXT --all [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db list   --system TEXT [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db dump   --system TEXT [--dir DIR] [--out FILE]\n"
    "       relperm db import --system TEXT --out FILE [--force] CSV...\n"
    "\n"
    "Works on the measured-data files OWBIN, OGBIN, GWBIN, CGBIN of a folder.\n"
    "\n"
    "  count    the number of matching data sets, as the browser's Count shows it\n"
    "  show     what the browser shows after the N-th Show that follows a count:\n"
    "           the data-set number, the grids and the description; with --all what\n"
    "           every Show shows up to the last match, one empty line between sets\n"
    "  list     every matching data set as CSV (lines end with LF), one row per set in\n"
    "           the order Show steps through them: match number, codes, header values,\n"
    "           points\n"
    "  dump     every record of the system's file as import text (CR LF lines, as the\n"
    "           import files the browser writes)\n"
    "  import   builds the system's record file from import text (see the README); a\n"
    "           CSV named - is standard input;\n"
    "           a bad row is refused with its file and line and nothing is written;\n"
    "           with --out - the records are held until every row is read; on a\n"
    "           terminal a long import shows its progress on standard error; CSV\n"
    "           files without a set, an --out that is one of the CSV files, and an\n"
    "           --out named as another system's data file are refused\n"
    "  --force            import: write an --out named as another system's data file\n"
    "\n"
    "  --system TEXT      Water-Oil Data, Gas-Oil Data, Gas-Water Data or Gas-Condensate Data\n"
    "  --dir DIR          the folder of the data files (default: the working folder)\n"
    "\n"
    "SELECTION (list indices as in the browser; 0, the default, is \"All ...\"):\n"
    "  --location N       0-6: North America, South America, Africa, Asia, Europe, Australia\n"
    "  --method N         0-2: Steady State, Unsteady State (also capillary pressure and\n"
    "                     centrifuge tests)\n"
    "  --lithology N      0-4: Sandstone, Limestone, Dolomite, Shale\n"
    "  --wettability N    0-3: Water-Wet, Intermediate (Mixed) Wet, Oil-Wet (Water-Oil only)\n"
    "  --search-percent   select \"Search %\": end points within the tolerance of yours\n"
    "  --tolerance T      the tolerance box, percentage points (default 5)\n"
    "  --swc S --sor S --sgc S   the end-point boxes, percent (20 for 20%; Swc is Slc for\n"
    "                     gas-condensate data); they also rescale the shown data set\n"
    "\n"
    "  --match N          show: the number of Show presses after the count, from 1\n"
    "  --all              show: every matching data set in the order Show steps through\n"
    "                     them, as --match 1, 2, ... print them (text only)\n"
    "  --format FORMAT    show: text (default), what the browser shows; csv: the shown set as\n"
    "                     import text; swof, sgof, swfn, sgfn, simulator: the shown set as\n"
    "                     simulator keywords (water-oil SWOF; gas-oil and gas-condensate SGOF;\n"
    "                     gas-water SWFN and SGFN), the adjusted data when the end points\n"
    "                     call for it\n"
    "  --measured         show: the simulator formats take the data as input even when the\n"
    "                     end points adjust it\n"
    "  --repair --krw-max X --krg-max X   show: as for relperm generate\n"
    "  -o, --out FILE     write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "  -V, --version      print the version\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (or records in it were\n"
    "damaged), 2 input refused, 3 (show) --match is past the last matching data set: what\n"
    "the browser then shows is printed all the same (nothing when no data set matches).\n";

// The browser's whole selection: the lists, and the "Search %" boxes.
std::set<std::string> selectionOptions() {
    std::set<std::string> names = listSelectionOptions();
    names.insert({"tolerance", "swc", "sor", "sgc", "out"});
    return names;
}

// What the window shows after a Show: the number caption, the grids, the description.
std::string shownText(const DatabaseBrowser& browser) {
    std::string text = browser.caption("Label8") + "\n\n";
    text += browser.caption("Label3") + "\n" + tabSeparated(browser.asInputGrid()) + "\n";
    if (browser.isShown("MSFlexGrid1"))
        text += browser.caption("Label4") + "\n" + tabSeparated(browser.adjustedGrid()) + "\n";
    return text + renderDescription(browser.description());
}

// The output `db show` writes, and for the simulator formats the keywords and end values.
std::optional<Failure> showFormat(const Options& options, TwoPhaseSystem system,
                                  const std::string& format, SimulatorOptions& simulator) {
    const auto keywords = simulatorFormatKeywords(format, system);
    if (format != "text" && format != "csv" && !keywords)
        return Failure{exitRefused, "--format must be text, csv, swof, sgof, swfn, sgfn or "
                                    "simulator, not " +
                                        quotedText(format)};
    for (const char* flag : {"measured", "repair"})
        if (options.has(flag) && !keywords)
            return Failure{exitRefused,
                           std::string("--") + flag + " applies to the simulator formats only"};
    if (auto error = endKrOptions(options, keywords.has_value(), simulator))
        return Failure{exitRefused, *error};
    if (!keywords)
        return std::nullopt;
    simulator.keywords = *keywords;
    simulator.repair = options.has("repair");
    return std::nullopt;
}

// The CSV files an import reads, - being standard input.
std::vector<std::string> inputNames(const Options& options) {
    std::vector<std::string> names;
    for (const std::string& name : options.positional)
        names.push_back(inputPath(name));
    return names;
}

// A folder that holds none of the data files is most often a forgotten --dir: what the
// command then says (a count of 0) is true of the folder but not what was meant.
void warnOfAnEmptyFolder(const std::filesystem::path& dir, bool dirGiven, std::ostream& err) {
    std::error_code ignored;
    for (TwoPhaseSystem system : allSystems)
        if (std::filesystem::exists(dir / dataFileName(system), ignored))
            return;
    err << prefix << ": warning: " << (dirGiven ? "the folder " : "the working folder ")
        << quotedName(dir.string()) << " holds none of the data files OWBIN, OGBIN, GWBIN, CGBIN"
        << (dirGiven ? "" : " (give the data's folder with --dir)") << "\n";
}

// Why the import must not write its --out file: it is one of the inputs (the import would
// read what it is replacing), or it bears another system's data-file name (the browser
// would read the records as that system's) unless --force says it is meant.
std::optional<std::string> refusedImportTarget(const Options& options, TwoPhaseSystem system) {
    const std::string out = *options.get("out");
    if (out == "-")
        return std::nullopt;
    std::vector<ReadInput> inputs;
    for (const std::string& input : inputNames(options))
        inputs.push_back({input, "the CSV file"});
    if (auto refused = outputOverInput(out, inputs))
        return "--out " + *refused;
    const std::string name = std::filesystem::path(out).filename().string();
    for (const TwoPhaseSystem other : allSystems)
        if (other != system && name == dataFileName(other) && !options.has("force"))
            return "--out " + quotedName(out) + " bears the name of the " +
                   std::string(systemListText(other)) + " file, but the import is of " +
                   std::string(systemListText(system)) + "; give --force if that is meant";
    return std::nullopt;
}

struct Run {
    std::ostream& out;
    std::ostream& err;

    int fail(const Failure& failure) const {
        err << prefix << ": " << failure.message << "\n";
        return failure.status;
    }

    // Writes the output, then reports lost records, which turn success into exit 1.
    int finish(const std::string& bytes, const Options& options,
               const std::optional<DataFileProblem>& problem) const {
        auto outFile = options.get("out");
        return reportLost(emit(bytes, outFile ? &*outFile : nullptr, out, err, prefix), problem);
    }

    int finish(StreamedOutput& output, const std::optional<DataFileProblem>& problem) const {
        return reportLost(output.finish(err, prefix), problem);
    }

    int reportLost(int status, const std::optional<DataFileProblem>& problem) const {
        if (!problem)
            return status;
        err << prefix << ": " << problem->message() << "\n";
        return exitFileError;
    }

    StreamedOutput streamedOutput(const Options& options) const {
        auto outFile = options.get("out");
        return StreamedOutput(outFile ? &*outFile : nullptr, out);
    }

    int count(const Options& options, TwoPhaseSystem system,
              const std::filesystem::path& dir) const {
        DatabaseBrowser browser(dir);
        if (auto f = replaySelection(options, system, browser))
            return fail(*f);
        return finish(std::to_string(browser.scan().matchCount) + "\n", options,
                      browser.lastProblem());
    }

    int show(const Options& options, TwoPhaseSystem system,
             const std::filesystem::path& dir) const {
        if (options.has("all"))
            return showAll(options, system, dir);
        int match = 0;
        if (auto f = matchOption(options, match))
            return fail(*f);
        const std::string format = options.get("format").value_or("text");
        SimulatorOptions simulator;
        if (auto f = showFormat(options, system, format, simulator))
            return fail(*f);
        DatabaseBrowser browser(dir);
        if (auto f = replaySelection(options, system, browser))
            return fail(*f);
        const std::optional<DataFileProblem> problem = showMatch(match, browser);
        // A scan that found no record at all leaves nothing shown.
        const ScanState& scan = browser.scan();
        std::string text = scan.noMoreData == 1 ? "" : shownText(browser);
        if (format != "text") {
            // Past the last match nothing is shown that could leave the window.
            const std::optional<ShownDataSet> shown = browser.shownDataSet();
            if (!shown) {
                err << prefix << ": no data set is shown at match " << match
                    << ", so there is nothing to write\n";
                return scan.matchCount < match ? exitPastLastMatch : exitRefused;
            }
            if (format == "csv") {
                text = dataSetImportText(*shown);
            } else {
                auto tables = dataSetSimulatorTables(
                    *shown, shown->adjusted && !options.has("measured"), "relperm", simulator);
                if (const auto* refusal = std::get_if<Refusal>(&tables))
                    return fail({exitRefused, tableRefusalText(*refusal)});
                text = std::get<std::string>(tables);
            }
        }
        const int status = finish(text, options, problem);
        if (status != exitOk || scan.matchCount >= match)
            return status;
        // What the window shows past the last match is printed all the same; a script that
        // steps through the matches needs to know it has run past them.
        err << prefix << ": " << pastTheLastMatch(scan, match) << "\n";
        return exitPastLastMatch;
    }

    // Each Show's display as it is made, up to the last match: one Show's record is read
    // at a time, through the count's index.
    int showAll(const Options& options, TwoPhaseSystem system,
                const std::filesystem::path& dir) const {
        if (options.get("match"))
            return fail({exitRefused, "--all shows every match: leave out --match"});
        if (const std::string format = options.get("format").value_or("text"); format != "text")
            return fail({exitRefused, "--all prints the text the browser shows; --format " +
                                          quotedText(format) + " takes --match N"});
        SimulatorOptions unused;
        if (auto f = showFormat(options, system, "text", unused))
            return fail(*f);
        DatabaseBrowser browser(dir);
        if (auto f = replaySelection(options, system, browser))
            return fail(*f);
        std::optional<DataFileProblem> problem = browser.lastProblem();
        StreamedOutput output = streamedOutput(options);
        std::string piece;
        bool writing = true;
        for (int match = 1; writing; ++match) {
            if (auto met = browser.pressShow(1))
                problem = met;
            const ScanState& scan = browser.scan();
            if (scan.noMoreData == 1 || scan.matchCount < match)
                break;
            piece += (match > 1 ? "\n" : "") + shownText(browser);
            if (piece.size() >= outputPieceBytes) {
                writing = output.write(piece);
                piece.clear();
            }
        }
        if (writing)
            output.write(piece);
        return finish(output, problem);
    }

    // The rows leave as the file is read.
    int list(const Options& options, TwoPhaseSystem system,
             const std::filesystem::path& dir) const {
        DatabaseBrowser browser(dir);
        auto selection = replayMatchSelection(options, system, browser);
        if (const Failure* f = std::get_if<Failure>(&selection))
            return fail(*f);
        const MatchSelection& s = std::get<MatchSelection>(selection);
        StreamedOutput output = streamedOutput(options);
        const std::optional<DataFileProblem> problem = writeMatchList(
            dir, system, s.lists, {s.searchPercent, s.tolerance}, s.user,
            [&](std::string_view piece) { return output.write(piece); }, outputPieceBytes,
            LineEnd::Lf);
        return finish(output, problem);
    }

    int dump(const Options& options, TwoPhaseSystem system,
             const std::filesystem::path& dir) const {
        StreamedOutput output = streamedOutput(options);
        const DumpResult result =
            dumpDataFile(dir, system, [&](std::string_view piece) { return output.write(piece); });
        return finish(output, result.problem);
    }

    int import(const Options& options, TwoPhaseSystem system) const {
        auto outFile = options.get("out");
        if (!outFile)
            return fail({exitRefused, "--out FILE is needed: the record file to write"});
        if (options.positional.empty())
            return fail({exitRefused, "name at least one CSV file to import"});
        if (auto refused = refusedImportTarget(options, system))
            return fail({exitRefused, *refused});
        // A record file takes each set as soon as it is read, and replaces the old file only
        // when every row was accepted. Standard output cannot take back what a later bad row
        // would refuse, so it gets the records only at the end.
        const bool toStandardOutput = *outFile == "-";
        std::optional<AtomicFileWriter> file;
        if (!toStandardOutput)
            file.emplace(*outFile);
        std::string held;
        // isatty speaks for the process's own standard error, not for a stream a caller passes.
        ImportProgressLine progress(err, &err == &std::cerr && ::isatty(STDERR_FILENO) == 1);
        ImportSettings settings;
        settings.progress = [&](const ImportProgress& now) { progress.update(now); };
        RecordImport import(
            system,
            [&](std::string_view bytes) -> std::optional<std::string> {
                if (file)
                    return file->append(bytes);
                held.append(bytes);
                return std::nullopt;
            },
            std::move(settings));
        std::optional<ImportFailure> failure;
        for (const std::string& name : inputNames(options))
            if ((failure = import.addFile(name)))
                break;
        if (!failure)
            failure = import.finish();
        // An empty import would replace a record file with nothing, which is never meant.
        if (!failure && import.sets() == 0)
            failure = ImportFailure{
                ImportFailure::Kind::Refused,
                "the CSV files hold no data sets (no \"set\" row); nothing was written"};
        progress.end();
        if (failure) {
            if (file)
                file->abandon();
            return fail(
                {failure->kind == ImportFailure::Kind::Refused ? exitRefused : exitFileError,
                 failure->message});
        }
        if (toStandardOutput)
            return emit(held, &*outFile, out, err, prefix);
        if (auto failed = file->commit())
            return fail({exitFileError, *failed});
        return exitOk;
    }
};

OptionTable optionsFor(const std::string& sub) {
    if (sub == "count" || sub == "list")
        return {selectionOptions(), {"search-percent"}};
    if (sub == "show") {
        OptionTable options{selectionOptions(), {"search-percent", "measured", "repair", "all"}};
        options.withValue.insert({"match", "format", "krw-max", "krg-max"});
        return options;
    }
    if (sub == "dump")
        return {{"dir", "system", "out"}, {}};
    return {{"system", "out"}, {"force"}};
}

} // namespace

int runDb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Run run{out, err};
    if (args.empty()) {
        err << dbHelp;
        return exitRefused;
    }
    if (args[0] == "--help" || args[0] == "-h" || (args[0] == "help" && args.size() == 1))
        return emit(dbHelp, nullptr, out, err, prefix);
    if (args[0] == "--version" || args[0] == "-V")
        return emit(versionLine(), nullptr, out, err, prefix);
    if (args[0] == "help") // relperm db help show
        return runDb({args[1], "--help"}, out, err);
    const std::string& sub = args[0];
    if (sub != "count" && sub != "show" && sub != "list" && sub != "dump" && sub != "import")
        return run.fail({exitRefused, "unknown subcommand " + quotedText(sub) +
                                          ": count, show, list, dump or import (see relperm db "
                                          "--help)"});
    std::string error;
    auto options = parseOptions({args.begin() + 1, args.end()}, optionsFor(sub), error);
    if (!options)
        return run.fail({exitRefused, sub + ": " + error + " (see relperm db --help)"});
    if (options->has("help"))
        return emit(dbHelp, nullptr, out, err, prefix);
    if (options->has("version"))
        return emit(versionLine(), nullptr, out, err, prefix);
    if (!allNumbers(*options, {"tolerance", "swc", "sor", "sgc"}, error))
        return run.fail({exitRefused, sub + ": " + error});
    if (sub != "import" && !options->positional.empty())
        return run.fail({exitRefused,
                         sub + ": unexpected argument " + quotedText(options->positional.front())});
    TwoPhaseSystem system{};
    if (auto f = systemOption(*options, system))
        return run.fail(*f);
    if (sub == "import")
        return run.import(*options, system);
    std::filesystem::path dir;
    if (auto f = folderOption(*options, dir))
        return run.fail(*f);
    warnOfAnEmptyFolder(dir, options->get("dir").has_value(), err);
    if (auto f = outOption(*options, dataFolderInputs(dir)))
        return run.fail(*f);
    if (sub == "count")
        return run.count(*options, system, dir);
    if (sub == "show")
        return run.show(*options, system, dir);
    if (sub == "list")
        return run.list(*options, system, dir);
    return run.dump(*options, system, dir);
}

} // namespace relperm::cli
