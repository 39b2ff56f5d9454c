#include "calculator/exportfile.h"
#include "calculator/form.h"
#include "calculator/generate.h"
#include "calculator/grids.h"
#include "calculator/runfile.h"
#include "calculator/simulator.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/optionreaders.h"
#include "cli/selection.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "common/quotedtext.h"
#include "common/readfile.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <variant>

namespace relperm::cli {

namespace {

const char* prefix = "relperm generate";

const char* generateHelp =
    "usage: relperm generate [OPTIONS]\n"
    "\n"
    "Builds the water-oil and gas tables exactly as the calculator's Generate button does.\n"
    "Each value is given as it would be typed into its box, and must be wholly a number.\n"
    "\n"
    "  --fluids TEXT        fluid system: Water-Oil-Gas, Water-Gas or Gas-Condensate\n"
    "  --correlation TEXT   Mohamad Ibrahim/Varnholt, Honarpour/Varnholt/Harvey, Rose,\n"
    "                       Wyllie or Corey\n"
    "  --wettability TEXT   e.g. \"Water Wet\", \"Oil Wet\"\n"
    "  --formation TEXT     Sandstone or Carbonate\n"
    "  --title TEXT         the run title\n"
    "  --porosity P         porosity, percent (20 for 20%)\n"
    "  --permeability K     permeability, md\n"
    "  --swc S --sorw S --sorg S --sgc S\n"
    "                       end-point saturations, percent (20 for 20%); --swc is Slc\n"
    "                       for Gas-Condensate\n"
    "  --krg-sorg K         gas relative permeability at Sorg, fraction (0 to 1)\n"
    "  --spacing D          saturation spacing, percent (default 5)\n"
    "  --run FILE           start from a run file's lists and values, as Open does\n"
    "                       (the other options then change them); - is standard input\n"
    "  --format FORMAT      export (default): the Export file; grid: both grids as shown;\n"
    "                       run: the run-file line Save As writes after this generation;\n"
    "                       swof, sgof, swfn, sgfn: that simulator keyword;\n"
    "                       simulator: every keyword that fits the fluid system\n"
    "  --repair             for the simulator formats: drop rows out of order, clip kr to\n"
    "                       [0, 1], level kr that moves the wrong way (listed in the file)\n"
    "  --krw-max X          for the simulator formats: krw at Sw = 1, fraction (default 1)\n"
    "  --krg-max X          for the simulator formats: krg at Sg = 1 - Swc, fraction\n"
    "                       (default 1)\n"
    "  -o, --out FILE       write to FILE (atomically) instead of standard output; - is\n"
    "                       standard output\n"
    "  -h, --help           print this help\n"
    "  -V, --version        print the version\n"
    "\n"
    "A list text equal to one of the list's entries but for the case of its letters is\n"
    "picked, as in the window, in the order fluids, correlation, wettability, formation;\n"
    "any other text is typed into the box. Every output names the entry as the list has it.\n"
    "\n"
    "The simulator formats go on past the correlation's last row to Sw = 1 (SWOF) and to\n"
    "Sg = 1 - Swc (SGOF), with krow or krog 0 and krw or krg straight to --krw-max or\n"
    "--krg-max, so the simulator puts no oil in the aquifer or the gas cap.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 input refused.\n";

const OptionTable generateOptions{{"fluids", "correlation", "wettability", "formation", "title",
                                   "porosity", "permeability", "swc", "sorw", "sorg", "sgc",
                                   "krg-sorg", "spacing", "format", "out", "run", "krw-max",
                                   "krg-max"},
                                  {"repair"}};

// Replays what a user does in the window: opens the run file if one is given, types the
// values, then picks (or types) the four lists in the order of the window's handlers.
void applyOptions(const Options& options, CalculatorForm& form) {
    struct Box {
        const char* option;
        std::string* text;
    };
    for (const Box& box :
         {Box{"title", &form.title}, Box{"porosity", &form.poro}, Box{"permeability", &form.permo},
          Box{"krg-sorg", &form.krgo}, Box{"swc", &form.Swco}, Box{"sorw", &form.sorwo},
          Box{"sorg", &form.sorgo}, Box{"sgc", &form.sgco}, Box{"spacing", &form.spo}}) {
        if (auto value = options.get(box.option))
            *box.text = *value;
    }
    struct List {
        const char* option;
        CalculatorList list;
    };
    for (const List& list :
         {List{"fluids", CalculatorList::Fluids}, List{"correlation", CalculatorList::Correlation},
          List{"wettability", CalculatorList::Wettability},
          List{"formation", CalculatorList::Formation}}) {
        auto value = options.get(list.option);
        if (!value)
            continue;
        // The command line takes a list's text in any case; the pick then puts the entry's
        // own text in the window and in every file written from it.
        const ComboBox& box = form.list(list.list);
        int index = box.find(*value);
        for (std::size_t i = 0; index < 0 && i < box.entries.size(); ++i)
            if (sameListText(*value, box.entries[i]))
                index = static_cast<int>(i);
        if (index >= 0) {
            form.pick(list.list, index);
            continue;
        }
        // A typed fluid system leaves the correlation's list empty, and the typed name
        // decides; it too is taken in any case, as the name the list would offer.
        std::string typed = *value;
        if (list.list == CalculatorList::Correlation)
            for (Correlation c : {Correlation::Ibrahim, Correlation::Honarpour, Correlation::Rose,
                                  Correlation::Wyllie, Correlation::Corey})
                if (sameListText(typed, correlationName(c)))
                    typed = correlationName(c);
        form.type(list.list, typed);
    }
}

// The window after Open of `path`, or why it cannot be opened.
std::variant<CalculatorForm, Failure> openRunFile(const std::string& path) {
    // A pipe is read (`--run <(...)`), as any command-line tool reads one; a device is not.
    FileStart text;
    if (auto problem = readFileStart(path, PipeUse::Read, runFileReadLimit, text))
        return Failure{exitFileError,
                       "could not read the run file " + quotedName(path) + ": " + *problem};
    auto parsed = parseRunFileStart(text);
    CalculatorForm form;
    StoredInputs ignored; // Generate stores the inputs anew
    std::optional<std::string> problem;
    if (const auto* error = std::get_if<std::string>(&parsed))
        problem = *error;
    else
        problem = applyRunFile(std::get<RunFile>(parsed), form, ignored);
    if (problem)
        return Failure{exitRefused,
                       quotedName(path) + " is not a run file that can be opened: " + *problem};
    return form;
}

int refuse(std::ostream& err, const std::string& message) {
    err << prefix << ": " << message << "\n";
    return exitRefused;
}

} // namespace

std::optional<std::string> refusedGenerateNumber(const Options& options) {
    std::string error;
    if (allNumbers(options,
                   {"porosity", "permeability", "swc", "sorw", "sorg", "sgc", "krg-sorg", "spacing",
                    "krw-max", "krg-max"},
                   error))
        return std::nullopt;
    return error;
}

std::variant<CalculatorForm, Failure> calculatorFormOf(const Options& options) {
    CalculatorForm form;
    if (auto run = options.get("run")) {
        auto opened = openRunFile(inputPath(*run));
        if (const Failure* failure = std::get_if<Failure>(&opened))
            return *failure;
        form = std::get<CalculatorForm>(opened);
    }
    applyOptions(options, form);
    return form;
}

// Saturations are typed in percent, as in the window. A run whose every end point is below
// 1 (and not all 0) was almost certainly given as fractions, which still generates.
std::optional<std::string> fractionWarning(const CalculatorForm& form) {
    struct EndPoint {
        const char* name;
        const std::string* text;
    };
    const std::string& fluids = form.list(CalculatorList::Fluids).text;
    std::vector<EndPoint> endPoints;
    if (fluids == "Water-Oil-Gas")
        endPoints = {
            {"Swc", &form.Swco}, {"Sorw", &form.sorwo}, {"Sorg", &form.sorgo}, {"Sgc", &form.sgco}};
    else if (fluids == "Water-Gas")
        endPoints = {{"Swc", &form.Swco}, {"Sgc", &form.sgco}};
    else if (fluids == "Gas-Condensate")
        endPoints = {{"Slc", &form.Swco}, {"Sgc", &form.sgco}};
    const EndPoint* example = nullptr;
    for (const EndPoint& e : endPoints) {
        const double value = textToNumber(*e.text);
        if (value >= 1)
            return std::nullopt;
        if (!example && value > 0)
            example = &e;
    }
    if (!example)
        return std::nullopt;
    std::string typed = *example->text;
    typed.erase(0, typed.find_first_not_of(" \t"));
    typed.erase(typed.find_last_not_of(" \t") + 1);
    return "saturations are in percent and every end point is below 1%: " +
           std::string(example->name) + " " + typed + " means " + typed + "%; did you mean " +
           formatGeneral(100 * textToNumber(typed)) + " for " + typed + "?";
}

int runGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    auto options = parseOptions(args, generateOptions, error);
    if (!options)
        return refuse(err, error + " (see relperm generate --help)");
    if (options->has("help"))
        return emit(generateHelp, nullptr, out, err, prefix);
    if (options->has("version"))
        return emit(versionLine(), nullptr, out, err, prefix);
    if (!options->positional.empty())
        return refuse(err, "unexpected argument " + quotedText(options->positional.front()) +
                               " (see relperm generate --help)");
    if (auto refused = refusedGenerateNumber(*options))
        return refuse(err, *refused);
    const std::string format = options->get("format").value_or("export");
    const std::map<std::string, std::vector<Keyword>> simulatorFormats = {{"swof", {Keyword::SWOF}},
                                                                          {"sgof", {Keyword::SGOF}},
                                                                          {"swfn", {Keyword::SWFN}},
                                                                          {"sgfn", {Keyword::SGFN}},
                                                                          {"simulator", {}}};
    const auto keywords = simulatorFormats.find(format);
    if (format != "export" && format != "grid" && format != "run" &&
        keywords == simulatorFormats.end())
        return refuse(err, "--format must be export, grid, run, swof, sgof, swfn, sgfn or "
                           "simulator, not " +
                               quotedText(format));
    SimulatorOptions simulator;
    simulator.repair = options->has("repair");
    if (auto refused = endKrOptions(*options, keywords != simulatorFormats.end(), simulator))
        return refuse(err, *refused);

    std::vector<ReadInput> inputs;
    if (auto run = options->get("run"))
        inputs.push_back({inputPath(*run), "the run file"});
    if (auto refused = outOption(*options, inputs))
        return refuse(err, refused->message);

    auto opened = calculatorFormOf(*options);
    if (const Failure* failure = std::get_if<Failure>(&opened))
        return reportFailure(err, prefix, *failure);
    const CalculatorForm& form = std::get<CalculatorForm>(opened);
    if (auto warning = fractionWarning(form))
        err << prefix << ": warning: " << *warning << "\n";
    CalculatorState state;
    if (auto refusal = generate(state, form.generateInput()))
        return refuse(err, refusal->message);

    std::string bytes;
    if (format == "grid") {
        bytes = tabSeparated(waterOilGrid(state)) + "\n" + tabSeparated(gasGrid(state));
    } else if (format == "run") {
        bytes = runFileText(runFileOf(form, state.inputs));
        if (containsQuote(form.title))
            err << prefix
                << ": the run file cannot hold a double quote; the title is "
                   "written with apostrophes in its place\n";
    } else if (keywords != simulatorFormats.end()) {
        simulator.keywords =
            keywords->second.empty() ? keywordsFor(state.fluidSystem) : keywords->second;
        auto tables = simulatorTables(
            state, SimulatorRun{"relperm", form.title, form.generateInput()}, simulator);
        if (const auto* refusal = std::get_if<Refusal>(&tables))
            return refuse(err, tableRefusalText(*refusal));
        bytes = std::get<std::string>(tables);
    } else {
        bytes = exportFileText(state.tables);
    }
    auto outFile = options->get("out");
    return emit(bytes, outFile ? &*outFile : nullptr, out, err, prefix);
}

} // namespace relperm::cli
