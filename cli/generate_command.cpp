#include "calculator/exportfile.h"
#include "calculator/form.h"
#include "calculator/generate.h"
#include "calculator/grids.h"
#include "cli/args.h"
#include "cli/commands.h"

#include <ostream>

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
    "  --format FORMAT      export (default): the Export file; grid: both grids as shown\n"
    "  --out FILE           write to FILE instead of standard output\n"
    "\n"
    "A list text equal to one of the list's entries is picked, as in the window, in the\n"
    "order fluids, correlation, wettability, formation; any other text is typed into the box.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be written, 2 input refused.\n";

const OptionSpec generateOptions{{"fluids", "correlation", "wettability", "formation", "title",
                                  "porosity", "permeability", "swc", "sorw", "sorg", "sgc",
                                  "krg-sorg", "spacing", "format", "out"},
                                 {}};

// Replays what a user does in the window: types the values, then picks (or types) the
// four lists in the order of the window's handlers.
CalculatorForm formFromOptions(const Options& options) {
    CalculatorForm form;
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
    if (format != "export" && format != "grid") {
        err << "relperm generate: --format must be export or grid, not \"" << format << "\"\n";
        return exitRefused;
    }

    const CalculatorForm form = formFromOptions(*options);
    CalculatorState state;
    if (auto refusal = generate(state, form.generateInput())) {
        err << "relperm generate: " << refusal->message << "\n";
        return exitRefused;
    }

    std::string bytes;
    if (format == "grid")
        bytes = tabSeparated(waterOilGrid(state)) + "\n" + tabSeparated(gasGrid(state));
    else
        bytes = exportFileText(state.tables);
    auto outFile = options->get("out");
    return emit(bytes, outFile ? &*outFile : nullptr, out, err);
}

} // namespace relperm::cli
