// relperm fit: a Corey or LET model fitted to one measured data set, chosen as `db show`
// chooses it, written as a parameter file or as simulator tables, or set beside the
// calculator's correlations.
#include "analysis/compare.h"
#include "analysis/fit.h"
#include "analysis/fitexport.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/selection.h"
#include "common/csv.h"
#include "database/datasetexport.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm fit";

const char* fitHelp =
    "usage: relperm fit --system TEXT --match N --model corey|let [SELECTION] [--dir DIR]\n"
    "                   [--format FORMAT] [--spacing D] [--krw-max X] [--krg-max X]\n"
    "                   [--out FILE]\n"
    "       relperm fit --system TEXT --match N --model corey|let [SELECTION] [--dir DIR]\n"
    "                   --compare [--out FILE]\n"
    "\n"
    "Fits a Corey or LET model to the measured data set that `relperm db show` shows for\n"
    "the same --system, SELECTION and --match. The set's own end points stay as they are;\n"
    "the exponents and the end kr of both curves are fitted to its points.\n"
    "\n"
    "  --system TEXT      Water-Oil Data, Gas-Oil Data, Gas-Water Data or Gas-Condensate Data\n"
    "  --dir DIR          the folder of the data files (default: the working folder)\n"
    "  --location N --method N --lithology N --wettability N\n"
    "                     the browser's lists, as for relperm db (see relperm db --help)\n"
    "  --match N          the number of Show presses after the count, from 1\n"
    "  --model MODEL      corey: kr = end x S^n; let: kr = end x S^L / (S^L + E (1 - S)^T)\n"
    "  --format FORMAT    params (default): the fitted parameters as CSV, named as pyscal\n"
    "                     names them, with the rms misfit; swof, sgof, swfn, sgfn: that\n"
    "                     simulator keyword of the fitted curves; simulator: every keyword\n"
    "                     the system gives (water-oil SWOF; gas-oil and gas-condensate\n"
    "                     SGOF; gas-water SWFN and SGFN)\n"
    "  --spacing D        the simulator formats: saturation spacing of the rows, percent\n"
    "                     (default 5)\n"
    "  --krw-max X --krg-max X   the simulator formats: as for relperm generate\n"
    "  --compare          instead of the fit: CSV of correlation, rms and note, the fit\n"
    "                     first (\"corey fit\" or \"let fit\"), then every correlation of the\n"
    "                     calculator for the system at the set's end points, porosity, k,\n"
    "                     wettability and formation; the note says why one could not be\n"
    "                     evaluated (its rms is then empty)\n"
    "  --out FILE         write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "\n"
    "rms is the root-mean-square misfit of kr over both curves at the measured points.\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (or records in it were\n"
    "damaged), 2 input refused: a bad flag, --match past the last matching data set, a set\n"
    "the model cannot be fitted to (too few points), or tables the simulator would refuse.\n";

const OptionTable fitOptions = [] {
    OptionTable table{listSelectionOptions(), {"compare"}};
    table.withValue.insert({"match", "model", "format", "spacing", "krw-max", "krg-max", "out"});
    return table;
}();

// What the command writes, from the flags alone: checked before any file is read.
struct Request {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    FitModel model = FitModel::Corey;
    std::string format;
    bool compare = false;
    double spacing = 5; // percent
    SimulatorOptions simulator;
};

std::optional<Failure> readRequest(const Options& options, Request& request) {
    if (auto f = systemOption(options, request.system))
        return f;
    if (auto f = modelOption(options, request.model))
        return f;
    request.compare = options.has("compare");
    if (request.compare && options.get("format"))
        return Failure{exitRefused, "--format does not apply with --compare, which writes its "
                                    "own CSV"};
    if (auto f = paramsOrTablesFormat(options, request.system, request.format, request.simulator))
        return f;
    return tableRowOptions(options, !request.simulator.keywords.empty(), request.spacing,
                           request.simulator);
}

const char* modelName(FitModel model) {
    return model == FitModel::Corey ? "corey" : "let";
}

// The fit and then every correlation, as CSV lines: correlation, rms, note.
std::string comparisonCsv(const FittedSet& fit, const MeasuredDataSet& set) {
    CsvWriter csv;
    csv.name("correlation").name("rms").name("note").endLine();
    csv.text(std::string(modelName(fit.model)) + " fit").number(fit.rms).text("").endLine();
    for (const CorrelationComparison& c : compareCorrelations(fit.system, set)) {
        csv.text(c.correlation);
        if (c.refusal.empty())
            csv.number(c.rms);
        else
            csv.empty();
        csv.text(c.refusal).endLine();
    }
    return csv.str();
}

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, prefix, failure);
}

} // namespace

int runFit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, fitOptions, prefix, fitHelp, out, err);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options* options = &std::get<Options>(opened);
    Request request;
    if (auto f = readRequest(*options, request))
        return fail(err, *f);
    int match = 0;
    if (auto f = matchOption(*options, match))
        return fail(err, *f);
    std::filesystem::path dir;
    if (auto f = folderOption(*options, dir))
        return fail(err, *f);
    if (auto f = outOption(*options, dataFolderInputs(dir)))
        return fail(err, *f);

    DatabaseBrowser browser(dir);
    if (auto f = replaySelection(*options, request.system, browser))
        return fail(err, *f);
    const std::optional<DataFileProblem> problem = showMatch(match, browser);
    const std::optional<ShownDataSet> shown = browser.shownDataSet();
    if (!shown) {
        if (problem)
            err << prefix << ": " << problem->message() << "\n";
        // Unlike db show, nothing is printed past the last match: there is no set to fit.
        const ScanState& scan = browser.scan();
        return fail(err, {problem ? exitFileError : exitRefused,
                          scan.matchCount < match
                              ? pastTheLastMatch(scan, match)
                              : "no data set is shown at match " + std::to_string(match)});
    }

    auto fitted = fitDataSet(request.system, shown->set, request.model);
    if (const auto* refusal = std::get_if<Refusal>(&fitted))
        return fail(err, {exitRefused, refusal->message});
    const FittedSet& fit = std::get<FittedSet>(fitted);

    std::string bytes;
    if (request.compare) {
        bytes = comparisonCsv(fit, shown->set);
    } else if (request.format == "params") {
        bytes = fitParametersCsv({fit});
    } else {
        auto tables =
            fitSimulatorTables(*shown, fit, "relperm", request.spacing, request.simulator);
        if (const auto* refusal = std::get_if<Refusal>(&tables))
            return fail(err, {exitRefused, tableRefusalText(*refusal)});
        bytes = std::get<std::string>(tables);
    }
    auto outFile = options->get("out");
    int status = emit(bytes, outFile ? &*outFile : nullptr, out, err, prefix);
    // A set found before a damaged record is fitted all the same, but the records lost
    // after it may have held the set the user meant.
    if (problem) {
        err << prefix << ": " << problem->message() << "\n";
        status = exitFileError;
    }
    return status;
}

} // namespace relperm::cli
