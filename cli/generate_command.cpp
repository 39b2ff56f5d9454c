#include "calculator/exportfile.h"
#include "calculator/form.h"
#include "calculator/generate.h"
#include "calculator/grids.h"
#include "calculator/runfile.h"
#include "calculator/simulator.h"
#include "cli/args.h"
#include "cli/commands.h"

#include "common/csv.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <variant>

namespace relperm::cli {

namespace {

const char* generateHelp =
    "usage: relperm generate [OPTIONS]\n"
    "\n"
    "Builds the water-oil and gas tables exactly as the calculator's Generate button does.\n"
    "Each value is given as it would be typed into its box (saturations in percent).\n"
    "\n"
    "  --fluids TEXT        fluid system: Water-Oil-Gas, Water-Gas or Gas-Condensate\n"
    "  --correlation TEXT   Mohamad Ibrahim/Varnholt, Honarpour/Varnholt/Harvey, Rose,\n"
    "                       Wyllie or Corey\n"
    "  --wettability TEXT   e.g. \"Water Wet\", \"Oil Wet\"\n"
    "  --formation TEXT     Sandstone or Carbonate\n"
    "  --title TEXT         the run title\n"
    "  --porosity P         porosity, %\n"
    "  --permeability K     permeability, md\n"
    "  --swc S --sorw S --sorg S --sgc S   end-point saturations, %\n"
    "  --krg-sorg K         gas relative permeability at Sorg, fraction\n"
    "  --spacing D          saturation spacing, % (default 5)\n"
    "  --run FILE           start from a run file's lists and values, as Open does\n"
    "                       (the other options then change them)\n"
    "  --format FORMAT      export (default): the Export file; grid: both grids as shown;\n"
    "                       run: the run-file line Save As writes after this generation;\n"
    "                       swof, sgof, swfn, sgfn: that simulator keyword;\n"
    "                       simulator: every keyword that fits the fluid system\n"
    "  --repair             for the simulator formats: drop rows out of order, clip kr to\n"
    "                       [0, 1], level kr that moves the wrong way (listed in the file)\n"
    "  --out FILE           write to FILE instead of standard output\n"
    "\n"
    "A list text equal to one of the list's entries is picked, as in the window, in the\n"
    "order fluids, correlation, wettability, formation; any other text is typed into the box.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be written, 2 input refused.\n";

const OptionSpec generateOptions{{"fluids", "correlation", "wettability", "formation", "title",
                                  "porosity", "permeability", "swc", "sorw", "sorg", "sgc",
                                  "krg-sorg", "spacing", "format", "out", "run"},
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
        int index = form.list(list.list).find(*value);
        if (index >= 0)
            form.pick(list.list, index);
        else
            form.type(list.list, *value);
    }
}

// The window after Open of `path`, or the exit status of a failure already reported.
std::variant<CalculatorForm, int> openRunFile(const std::string& path, std::ostream& err) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) {
        err << "relperm generate: could not read the run file \"" << path
            << "\": " << std::strerror(errno) << "\n";
        return exitFileError;
    }
    auto parsed = parseRunFile(text.str());
    CalculatorForm form;
    StoredInputs ignored; // Generate stores the inputs anew
    std::optional<std::string> problem;
    if (const auto* error = std::get_if<std::string>(&parsed))
        problem = *error;
    else
        problem = applyRunFile(std::get<RunFile>(parsed), form, ignored);
    if (problem) {
        err << "relperm generate: \"" << path
            << "\" is not a run file that can be opened: " << *problem << "\n";
        return exitRefused;
    }
    return form;
}

} // namespace

int runGenerate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string error;
    auto options = parseOptions(args, generateOptions, error);
    if (!options) {
        err << "relperm generate: " << error << " (see relperm generate --help)\n";
        return exitRefused;
    }
    if (options->has("help")) {
        out << generateHelp;
        return exitOk;
    }
    if (!options->positional.empty()) {
        err << "relperm generate: unexpected argument \"" << options->positional.front()
            << "\" (see relperm generate --help)\n";
        return exitRefused;
    }
    const std::string format = options->get("format").value_or("export");
    const std::map<std::string, std::vector<Keyword>> simulatorFormats = {{"swof", {Keyword::SWOF}},
                                                                          {"sgof", {Keyword::SGOF}},
                                                                          {"swfn", {Keyword::SWFN}},
                                                                          {"sgfn", {Keyword::SGFN}},
                                                                          {"simulator", {}}};
    if (format != "export" && format != "grid" && format != "run" &&
        !simulatorFormats.count(format)) {
        err << "relperm generate: --format must be export, grid, run, swof, sgof, swfn, sgfn "
               "or simulator, not \""
            << format << "\"\n";
        return exitRefused;
    }

    CalculatorForm form;
    if (auto run = options->get("run")) {
        auto opened = openRunFile(*run, err);
        if (const int* status = std::get_if<int>(&opened))
            return *status;
        form = std::get<CalculatorForm>(opened);
    }
    applyOptions(*options, form);
    CalculatorState state;
    if (auto refusal = generate(state, form.generateInput())) {
        err << "relperm generate: " << refusal->message << "\n";
        return exitRefused;
    }

    std::string bytes;
    if (format == "grid") {
        bytes = tabSeparated(waterOilGrid(state)) + "\n" + tabSeparated(gasGrid(state));
    } else if (format == "run") {
        bytes = runFileText(runFileOf(form, state.inputs));
        if (containsQuote(form.title))
            err << "relperm generate: the run file cannot hold a double quote; the title is "
                   "written with apostrophes in its place\n";
    } else if (auto keywords = simulatorFormats.find(format); keywords != simulatorFormats.end()) {
        const SimulatorRun run = simulatorRunOf("relperm", form.title, form.generateInput());
        auto tables = simulatorTables(state, run,
                                      keywords->second.empty() ? keywordsFor(state.fluidSystem)
                                                               : keywords->second,
                                      options->has("repair"));
        if (const auto* refusal = std::get_if<Refusal>(&tables)) {
            err << "relperm generate: " << refusal->message << "\n";
            return exitRefused;
        }
        bytes = std::get<std::string>(tables);
    } else {
        bytes = exportFileText(state.tables);
    }
    auto outFile = options->get("out");
    return emit(bytes, outFile ? &*outFile : nullptr, out, err);
}

} // namespace relperm::cli
