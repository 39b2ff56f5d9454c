// relperm fit: a Corey or LET model fitted to one measured data set, chosen as `db show`
// chooses it, written as a parameter file or as simulator tables, or set beside the
// calculator's correlations.
#include "analysis/compare.h"
#include "analysis/fit.h"
#include "analysis/fitexport.h"
#include "analysis/tablefit.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/selection.h"
#include "common/csv.h"
#include "common/numbers.h"
#include "common/quotedtext.h"
#include "database/datasetexport.h"
#include "deck/reader.h"

#include <cmath>
#include <ostream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm fit";

const char* fitHelp =
    "usage: relperm fit --system TEXT --match N --model Corey|LET [SELECTION] [--dir DIR]\n"
    "                   [--format FORMAT] [--spacing D] [--krw-max X] [--krg-max X]\n"
    "                   [--out FILE]\n"
    "       relperm fit --system TEXT --match N --model Corey|LET [SELECTION] [--dir DIR]\n"
    "                   --compare [--out FILE]\n"
    "       relperm fit --table FILE --keyword KEYWORD [--satnum N] --model Corey|LET\n"
    "                   [--format FORMAT | --compare] [--spacing D] [--out FILE]\n"
    "\n"
    "Fits a Corey or LET model to the measured data set that `relperm db show` shows for\n"
    "the same --system, SELECTION and --match. The set's own end points stay as they are;\n"
    "the exponents and the end kr of both curves are fitted to its points.\n"
    "\n"
    "With --table, fits a table of an include file or deck instead (read as relperm deck\n"
    "check reads it), as a measured set of its system: SWOF a water-oil set; SGOF and SLGOF\n"
    "a gas-oil set; SWFN and SGFN with the region's SOF3 or SOF2 as their oil curve, or, in\n"
    "a gas-water deck, with each other (SGWFN likewise). The end points are the table's: Swc\n"
    "the first Sw of the region's water table, Sorw and Sorg where the oil's kr reaches 0,\n"
    "Sgc the last Sg with krg 0; the rows between them are the points (50 spread over the\n"
    "table when it has more).\n"
    "\n"
    "  --table FILE       the include file or deck; - is standard input\n"
    "  --keyword KEYWORD  SWOF, SGOF, SLGOF, SWFN, SGFN or SGWFN\n"
    "  --satnum N         the table (region) of the keyword, from 1 (default 1)\n"
    "  --system TEXT      Water-Oil Data, Gas-Oil Data, Gas-Water Data or Gas-Condensate Data\n"
    "  --dir DIR          the folder of the data files (default: the working folder)\n"
    "  --location N --method N --lithology N --wettability N\n"
    "                     the browser's lists, as for relperm db (see relperm db --help)\n"
    "  --match N          the number of Show presses after the count, from 1\n"
    "  --model MODEL      Corey: kr = end x S^n; LET: kr = end x S^L / (S^L + E (1 - S)^T);\n"
    "                     bounds: n, L, T 0.5 to 10, E 0.01 to 100, end kr 0 to 1\n"
    "  --weight kr|log    what is minimised over both curves' points: kr (default), the\n"
    "                     squared misfit of kr; log, of log10 kr with kr below 1e-4 taken as\n"
    "                     1e-4, which weighs the low-kr ends (breakthrough, residual oil)\n"
    "  --format FORMAT    params (default): the fitted parameters as CSV, named as pyscal\n"
    "                     names them, with the rms misfit (sgro, in gas-water data sgrw,\n"
    "                     is Sgcr, so that pyscal and relperm tables rebuild the fitted\n"
    "                     curves); swof, sgof, swfn, sgfn: that simulator keyword of the\n"
    "                     fitted curves; simulator: every keyword the system gives\n"
    "                     (water-oil SWOF; gas-oil and gas-condensate SGOF; gas-water\n"
    "                     SWFN and SGFN). The CSV of params and --compare ends its\n"
    "                     lines with LF\n"
    "  --spacing D        the simulator formats: saturation spacing of the rows, percent\n"
    "                     (default 5)\n"
    "  --krw-max X --krg-max X   the simulator formats: as for relperm generate\n"
    "  --compare          instead of the fit: CSV of correlation, rms and note, the fit\n"
    "                     first (\"Corey fit\" or \"LET fit\"), then every correlation of the\n"
    "                     calculator for the system at the set's end points, porosity, k,\n"
    "                     wettability and formation; the note says why one could not be\n"
    "                     evaluated (its rms is then empty), or where its kr leaves 0..1,\n"
    "                     \"kr outside 0..1 (krow up to 22.8)\", when its rms says nothing\n"
    "                     of how well it describes the rock\n"
    "  -o, --out FILE     write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "  -V, --version      print the version\n"
    "\n"
    "The fit is the bounded least-squares optimum, found from several starts. rms is the\n"
    "root-mean-square misfit of kr over both curves at the measured points, whatever\n"
    "--weight. An exponent (n, L, E, T) that ends on a bound is named in a warning on\n"
    "standard error. A set whose points cannot determine a curve is refused: a curve of\n"
    "zeros, or one with points at fewer saturations between its ends than the model has\n"
    "shape parameters (Corey 1, LET 3).\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written (or records in it were\n"
    "damaged), 2 input refused: a bad flag, --match past the last matching data set, a set\n"
    "the model cannot be fitted to (too few points), or tables the simulator would refuse.\n";

const OptionTable fitOptions = [] {
    OptionTable table{listSelectionOptions(), {"compare"}};
    table.withValue.insert({"match", "model", "format", "spacing", "krw-max", "krg-max", "out",
                            "table", "keyword", "satnum", "weight"});
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
    FitOptions fit;
};

// The flags after the system is known: from --system, or from the table fitted.
std::optional<Failure> readRequest(const Options& options, Request& request) {
    if (auto f = modelOption(options, request.model))
        return f;
    if (auto f = weightOption(options, request.fit.weight))
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

// The fit and then every correlation, as CSV lines: correlation, rms, note.
std::string comparisonCsv(const FittedSet& fit, const MeasuredDataSet& set) {
    CsvWriter csv(LineEnd::Lf);
    csv.name("correlation").name("rms").name("note").endLine();
    csv.text(fitModelName(fit.model) + " fit").number(fit.rms).text("").endLine();
    for (const CorrelationComparison& c : compareCorrelations(fit.system, set)) {
        csv.text(c.correlation);
        if (c.refusal.empty())
            csv.number(c.rms);
        else
            csv.empty();
        csv.text(c.refusal.empty() ? c.krOutside : c.refusal).endLine();
    }
    return csv.str();
}

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, prefix, failure);
}

// The fit's output in the format asked for: its parameters, its simulator tables, or the
// fit beside the calculator's correlations.
// A shape parameter on a bound is said on standard error: the value is the bound's.
std::variant<std::string, Failure> fitOutput(const ShownDataSet& shown, const Request& request,
                                             std::ostream& err) {
    auto fitted = fitDataSet(request.system, shown.set, request.model, request.fit);
    if (const auto* refusal = std::get_if<Refusal>(&fitted))
        return Failure{exitRefused, refusal->message};
    const FittedSet& fit = std::get<FittedSet>(fitted);
    for (const std::string& bound : fit.onBounds)
        err << prefix << ": warning: " << bound
            << "; the curve wants a value beyond it, so the fit follows the points less well\n";
    if (request.compare)
        return comparisonCsv(fit, shown.set);
    if (request.format == "params")
        return fitParametersCsv({fit}, LineEnd::Lf);
    auto tables = fitSimulatorTables(shown, fit, "relperm", request.spacing, request.simulator);
    if (const auto* refusal = std::get_if<Refusal>(&tables))
        return Failure{exitRefused, tableRefusalText(*refusal)};
    return std::get<std::string>(tables);
}

int runTableFit(const Options& options, std::ostream& out, std::ostream& err) {
    for (const char* other :
         {"system", "match", "dir", "location", "method", "lithology", "wettability"})
        if (options.get(other))
            return fail(err, {exitRefused, std::string("--") + other +
                                               " does not apply with --table, whose table "
                                               "gives the data"});
    const std::string file = inputPath(*options.get("table"));
    const auto keywordText = options.get("keyword");
    if (!keywordText)
        return fail(err, {exitRefused, "--keyword is needed with --table: SWOF, SGOF, SLGOF, "
                                       "SWFN, SGFN or SGWFN"});
    const auto keyword = deck::satKeyword(*keywordText);
    if (!keyword || *keyword == deck::SatKeyword::SOF3 || *keyword == deck::SatKeyword::SOF2)
        return fail(err, {exitRefused, "--keyword is SWOF, SGOF, SLGOF, SWFN, SGFN or SGWFN, "
                                       "not " +
                                           quotedText(*keywordText)});
    int satnum = 1;
    if (auto text = options.get("satnum")) {
        const auto n = parseNumber(*text);
        if (!n || *n < 1 || *n > 1e6 || *n != std::floor(*n))
            return fail(
                err, {exitRefused, "--satnum is a table number from 1, not " + quotedText(*text)});
        satnum = static_cast<int>(*n);
    }
    if (auto f = outOption(options, {{file, "the table"}}))
        return fail(err, *f);
    auto read = deck::readDeck(file, PipeUse::Read);
    if (auto* r = std::get_if<Refusal>(&read)) {
        const bool unreadable = r->message.rfind("Could not read", 0) == 0;
        return fail(err, {unreadable ? exitFileError : exitRefused, r->message});
    }
    auto shown = tableDataSet(std::get<deck::DeckTables>(read), *keyword, satnum);
    if (auto* r = std::get_if<Refusal>(&shown))
        return fail(err, {exitRefused, r->message});
    const ShownDataSet& set = std::get<ShownDataSet>(shown);
    Request request;
    request.system = set.system;
    if (auto f = readRequest(options, request))
        return fail(err, *f);
    auto bytes = fitOutput(set, request, err);
    if (auto* f = std::get_if<Failure>(&bytes))
        return fail(err, *f);
    auto outFile = options.get("out");
    return emit(std::get<std::string>(bytes), outFile ? &*outFile : nullptr, out, err, prefix);
}

} // namespace

int runFit(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, fitOptions, prefix, fitHelp, out, err);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options* options = &std::get<Options>(opened);
    if (options->get("table"))
        return runTableFit(*options, out, err);
    for (const char* tableOnly : {"keyword", "satnum"})
        if (options->get(tableOnly))
            return fail(
                err, {exitRefused, std::string("--") + tableOnly + " applies only with --table"});
    Request request;
    if (auto f = systemOption(*options, request.system))
        return fail(err, *f);
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

    auto bytes = fitOutput(*shown, request, err);
    if (auto* f = std::get_if<Failure>(&bytes))
        return fail(err, *f);
    auto outFile = options->get("out");
    int status =
        emit(std::get<std::string>(bytes), outFile ? &*outFile : nullptr, out, err, prefix);
    // A set found before a damaged record is fitted all the same, but the records lost
    // after it may have held the set the user meant.
    if (problem) {
        err << prefix << ": " << problem->message() << "\n";
        status = exitFileError;
    }
    return status;
}

} // namespace relperm::cli
