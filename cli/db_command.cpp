// relperm db: the measured-data files of a folder from the command line. `count` and
// `show` replay a user's session in the browser through the same model the window uses;
// `dump` and `import` convert between a record file and the readable import text.
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/importprogress.h"
#include "common/filewrite.h"
#include "common/quotedtext.h"
#include "database/browser.h"
#include "database/csvrows.h"
#include "database/importfile.h"

#include <charconv>
#include <iostream>
#include <ostream>
#include <unistd.h>

namespace relperm::cli {

namespace {

const char* prefix = "relperm db";

const char* dbHelp =
    "usage: relperm db count  --system TEXT [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db show   --system TEXT --match N [SELECTION] [--dir DIR] [--out FILE]\n"
    "       relperm db dump   --system TEXT [--dir DIR] [--out FILE]\n"
    "       relperm db import --system TEXT --out FILE CSV...\n"
    "\n"
    "Works on the measured-data files OWBIN, OGBIN, GWBIN, CGBIN of a folder.\n"
    "\n"
    "  count    the number of matching data sets, as the browser's Count shows it\n"
    "  show     what the browser shows after the N-th Show that follows a count:\n"
    "           the data-set number, the grids and the description\n"
    "  dump     every record of the system's file as import text\n"
    "  import   builds the system's record file from import text (see the README);\n"
    "           a bad row is refused with its file and line and nothing is written;\n"
    "           with --out - the records are held until every row is read; on a\n"
    "           terminal a long import shows its progress on standard error\n"
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
    "  --out FILE         write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (or records in it were\n"
    "damaged), 2 input refused, 3 (show) --match is past the last matching data set: what\n"
    "the browser then shows is printed all the same (nothing when no data set matches).\n";

const std::set<std::string> selectionOptions{"dir",       "system",      "location",  "method",
                                             "lithology", "wettability", "tolerance", "swc",
                                             "sor",       "sgc",         "out"};

struct Failure {
    int status;
    std::string message;
};

std::optional<long> wholeNumber(const std::string& text) {
    long value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Failure> systemOption(const Options& options, TwoPhaseSystem& system) {
    auto text = options.get("system");
    if (!text)
        return Failure{exitRefused, "--system is needed: \"Water-Oil Data\", \"Gas-Oil Data\", "
                                    "\"Gas-Water Data\" or \"Gas-Condensate Data\""};
    auto found = systemFromListText(*text);
    if (!found)
        return Failure{exitRefused, "--system must be \"Water-Oil Data\", \"Gas-Oil Data\", "
                                    "\"Gas-Water Data\" or \"Gas-Condensate Data\", not " +
                                        quotedText(*text)};
    system = *found;
    return std::nullopt;
}

std::optional<Failure> folderOption(const Options& options, std::filesystem::path& dir) {
    dir = options.get("dir").value_or(".");
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec))
        return Failure{exitFileError, "the folder \"" + dir.string() + "\" does not exist"};
    return std::nullopt;
}

// Replays the window: the system, the four lists, the search option and tolerance, the
// end-point boxes in the order Swc, Sor, Sgc (each a typing that redraws), then Count.
std::optional<Failure> replaySelection(const Options& options, TwoPhaseSystem system,
                                       DatabaseBrowser& browser) {
    browser.pick(BrowserList::TwoPhase, static_cast<int>(system));
    struct ListOption {
        const char* name;
        BrowserList list;
    };
    for (const ListOption& option : {ListOption{"wettability", BrowserList::Wettability},
                                     ListOption{"lithology", BrowserList::Lithology},
                                     ListOption{"location", BrowserList::Location},
                                     ListOption{"method", BrowserList::Method}}) {
        const bool wettability = option.list == BrowserList::Wettability;
        auto text = options.get(option.name);
        if (wettability && system != TwoPhaseSystem::WaterOil) {
            if (text)
                return Failure{exitRefused, "--wettability applies to Water-Oil Data only"};
            continue;
        }
        const SelectionList& list = browser.list(option.list);
        const long highest = static_cast<long>(list.entries.size()) - 1;
        auto index = text ? wholeNumber(*text) : std::optional<long>(0);
        if (!index || *index < 0 || *index > highest)
            return Failure{exitRefused,
                           "--" + std::string(option.name) + " must be a list index from 0 to " +
                               std::to_string(highest) + ", not " + quotedText(text.value_or(""))};
        browser.pick(option.list, static_cast<int>(*index));
    }
    if (options.has("search-percent"))
        browser.Option2_Click();
    if (auto tolerance = options.get("tolerance"))
        browser.typeTolerance(*tolerance);
    for (auto [name, box] : {std::pair{"swc", EndPointBox::Swc}, std::pair{"sor", EndPointBox::Sor},
                             std::pair{"sgc", EndPointBox::Sgc}})
        if (auto text = options.get(name))
            browser.typeEndPoint(box, *text);
    browser.Command2_Click();
    return std::nullopt;
}

// What the window shows after a Show: the number caption, the grids, the description.
std::string shownText(const DatabaseBrowser& browser) {
    std::string text = browser.caption("Label8") + "\n\n";
    text += browser.caption("Label3") + "\n" + tabSeparated(browser.asInputGrid()) + "\n";
    if (browser.isShown("MSFlexGrid1"))
        text += browser.caption("Label4") + "\n" + tabSeparated(browser.adjustedGrid()) + "\n";
    return text + renderDescription(browser.description());
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
        int status = emit(bytes, outFile ? &*outFile : nullptr, out, err, prefix);
        if (problem) {
            err << prefix << ": " << problem->message() << "\n";
            status = exitFileError;
        }
        return status;
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
        auto match = wholeNumber(options.get("match").value_or(""));
        if (!match || *match < 1 || *match > 1000000)
            return fail({exitRefused, "--match must be a match number from 1 to 1000000, not " +
                                          quotedText(options.get("match").value_or(""))});
        DatabaseBrowser browser(dir);
        if (auto f = replaySelection(options, system, browser))
            return fail(*f);
        std::optional<DataFileProblem> problem = browser.lastProblem();
        if (auto met = browser.pressShow(static_cast<int>(*match)))
            problem = met;
        // A scan that found no record at all leaves nothing shown.
        const ScanState& scan = browser.scan();
        const std::string text = scan.noMoreData == 1 ? "" : shownText(browser);
        const int status = finish(text, options, problem);
        if (status != exitOk || scan.matchCount >= *match)
            return status;
        // What the window shows past the last match is printed all the same; a script that
        // steps through the matches needs to know it has run past them.
        err << prefix << ": "
            << (scan.matchCount == 0
                    ? std::string("no data set matches")
                    : "match " + std::to_string(*match) + " is past the last of the " +
                          std::to_string(scan.matchCount) + " matching data sets")
            << "\n";
        return exitPastLastMatch;
    }

    int dump(const Options& options, TwoPhaseSystem system,
             const std::filesystem::path& dir) const {
        DumpResult result = dumpDataFile(dir, system);
        return finish(result.text, options, result.problem);
    }

    int import(const Options& options, TwoPhaseSystem system) const {
        auto outFile = options.get("out");
        if (!outFile)
            return fail({exitRefused, "--out FILE is needed: the record file to write"});
        if (options.positional.empty())
            return fail({exitRefused, "name at least one CSV file to import"});
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
        for (const std::string& name : options.positional)
            if ((failure = import.addFile(name)))
                break;
        if (!failure)
            failure = import.finish();
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

OptionSpec specFor(const std::string& sub) {
    if (sub == "count")
        return {selectionOptions, {"search-percent"}};
    if (sub == "show") {
        OptionSpec options{selectionOptions, {"search-percent"}};
        options.withValue.insert("match");
        return options;
    }
    if (sub == "dump")
        return {{"dir", "system", "out"}, {}};
    return {{"system", "out"}, {}};
}

} // namespace

int runDb(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const Run run{out, err};
    if (args.empty()) {
        err << dbHelp;
        return exitRefused;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help")
        return emit(dbHelp, nullptr, out, err, prefix);
    const std::string& sub = args[0];
    if (sub != "count" && sub != "show" && sub != "dump" && sub != "import")
        return run.fail({exitRefused, "unknown subcommand " + quotedText(sub) +
                                          ": count, show, dump or import (see relperm db "
                                          "--help)"});
    std::string error;
    auto options = parseOptions({args.begin() + 1, args.end()}, specFor(sub), error);
    if (!options)
        return run.fail({exitRefused, sub + ": " + error + " (see relperm db --help)"});
    if (options->has("help"))
        return emit(dbHelp, nullptr, out, err, prefix);
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
    if (sub == "count")
        return run.count(*options, system, dir);
    if (sub == "show")
        return run.show(*options, system, dir);
    return run.dump(*options, system, dir);
}

} // namespace relperm::cli
