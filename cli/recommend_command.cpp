// relperm recommend: a low/base/high SCAL recommendation from every measured set that
// `db list` lists for the same flags, written as its parameter file or as the simulator
// tables of one case, or of a point between the cases.
#include "analysis/fit.h"
#include "analysis/fitexport.h"
#include "analysis/fittables.h"
#include "analysis/recommend.h"
#include "cli/args.h"
#include "cli/commands.h"
#include "cli/optionreaders.h"
#include "cli/selection.h"
#include "common/numbers.h"
#include "common/quotedtext.h"
#include "common/version.h"
#include "database/datasetexport.h"

#include <ostream>

namespace relperm::cli {

namespace {

const char* prefix = "relperm recommend";

const char* recommendHelp =
    "usage: relperm recommend --system TEXT --model Corey|LET [SELECTION] [--dir DIR]\n"
    "                         [--format FORMAT] [--case low|base|high | --interpolate T]\n"
    "                         [--weight kr|log] [--max-rms X] [--spacing D]\n"
    "                         [--krw-max X] [--krg-max X] [--out FILE]\n"
    "\n"
    "Fits a Corey or LET model to every measured data set that `relperm db list` lists for\n"
    "the same --system and SELECTION, and recommends three cases from the fits: base, the\n"
    "median of every parameter; low and high, each parameter at its 10th or 90th\n"
    "percentile in the direction that makes oil (in gas-water data, water) flow less or\n"
    "more: larger residual saturations and oil exponents, smaller water and gas exponents\n"
    "for low, the reverse for high. A set the model cannot be fitted to, or whose fit is\n"
    "worse than --max-rms, is left out, and said so on standard error.\n"
    "\n"
    "Taken one parameter at a time, the percentiles can leave a case less movable\n"
    "saturation (1 - swl - sorw; gas-oil 1 - swl - sgcr - sorg; gas-water and\n"
    "gas-condensate 1 - swl - sgcr) than any fitted set leaves, or none at all. Such a\n"
    "case's end points are scaled down by one factor until it leaves the least movable\n"
    "saturation of the fitted sets, and standard error says so; the end kr values lie\n"
    "between the fits' own, within 0 to 1.\n"
    "\n"
    "  --system TEXT      Water-Oil Data, Gas-Oil Data, Gas-Water Data or Gas-Condensate Data\n"
    "  --dir DIR          the folder of the data files (default: the working folder)\n"
    "  --location N --method N --lithology N --wettability N\n"
    "  --search-percent --tolerance T --swc S --sor S --sgc S\n"
    "                     the selection, as for relperm db list (see relperm db --help)\n"
    "  --model MODEL      Corey: kr = end x S^n; LET: kr = end x S^L / (S^L + E (1 - S)^T)\n"
    "  --weight W         what each fit minimises: kr (default), the misfit of kr itself;\n"
    "                     log, the misfit of log10 kr (kr below 1e-4 as 1e-4), which weighs\n"
    "                     the low-kr ends\n"
    "  --max-rms X        leave out every set whose fit's rms (the misfit of kr, whatever\n"
    "                     --weight) is above X, a number above 0\n"
    "  --format FORMAT    params (default): CSV of satnum, case, then the parameters named\n"
    "                     as pyscal names them, one row per case (low, base, high), rms the\n"
    "                     median misfit of the fits, lines ending with LF; swof, sgof,\n"
    "                     swfn, sgfn: that simulator keyword of one case; simulator: every\n"
    "                     keyword the system gives (water-oil SWOF; gas-oil and\n"
    "                     gas-condensate SGOF; gas-water SWFN and SGFN)\n"
    "  --case CASE        the simulator formats: low, base (default) or high\n"
    "  --interpolate T    the simulator formats, instead of --case: a number from -1 (low)\n"
    "                     through 0 (base) to 1 (high); the curves are interpolated at equal\n"
    "                     normalised saturation and the end points linearly, so 0, -1 and 1\n"
    "                     write exactly base, low and high\n"
    "  --spacing D        the simulator formats: saturation spacing of the rows, percent\n"
    "                     (default 5)\n"
    "  --krw-max X --krg-max X   the simulator formats: as for relperm generate\n"
    "  -o, --out FILE     write to FILE (atomically) instead of standard output; - is\n"
    "                     standard output\n"
    "  -h, --help         print this help\n"
    "  -V, --version      print the version\n"
    "\n"
    "The table of which percentile each parameter takes is in the README.\n"
    "\n"
    "Exit status: 0 done (at least one set fitted), 1 a file could not be read or written\n"
    "(or records in it were damaged), 2 input refused: a bad flag, no matching data set,\n"
    "none the model can be fitted to within --max-rms, or tables the simulator would\n"
    "refuse.\n";

const OptionTable recommendOptions = [] {
    OptionTable table{listSelectionOptions(), {"search-percent"}};
    table.withValue.insert({"tolerance", "swc", "sor", "sgc", "model", "format", "case",
                            "interpolate", "spacing", "krw-max", "krg-max", "out", "weight",
                            "max-rms"});
    return table;
}();

// What the command writes, from the flags alone: checked before any file is read.
struct Request {
    TwoPhaseSystem system = TwoPhaseSystem::WaterOil;
    FitModel model = FitModel::Corey;
    RecommendOptions fitting;
    std::string format;
    bool tables = false;
    double t = 0;       // the case: -1 low, 0 base, 1 high
    double spacing = 5; // percent
    SimulatorOptions simulator;
};

std::optional<Failure> caseOption(const Options& options, bool tables, double& t) {
    const auto named = options.get("case");
    const auto between = options.get("interpolate");
    if (named && between)
        return Failure{exitRefused, "--case and --interpolate cannot both be given: "
                                    "--interpolate -1, 0 and 1 are low, base and high"};
    for (const char* flag : {"case", "interpolate"})
        if (options.get(flag) && !tables)
            return Failure{exitRefused, std::string("--") + flag +
                                            " applies to the simulator formats only; params "
                                            "writes every case"};
    if (named) {
        const std::pair<const char*, double> cases[] = {{"low", -1}, {"base", 0}, {"high", 1}};
        for (auto [name, value] : cases)
            if (*named == name) {
                t = value;
                return std::nullopt;
            }
        return Failure{exitRefused, "--case must be low, base or high, not " + quotedText(*named)};
    }
    if (!between)
        return std::nullopt;
    std::string error;
    const auto given = numberOption(options, "interpolate", error);
    if (!given || *given < -1 || *given > 1)
        return Failure{exitRefused, "--interpolate must be a number from -1 (low) to 1 (high), "
                                    "not " +
                                        quotedText(*between)};
    // -0 would be written "-0" in the head, where base is "0".
    t = *given == 0 ? 0 : *given;
    return std::nullopt;
}

} // namespace

// --max-rms: the largest misfit a fit may have and count; an rms is never negative, and a
// limit of 0 would leave out every set that is not fitted exactly.
std::optional<Failure> maxRmsOption(const Options& options, std::optional<double>& maxRms) {
    const auto text = options.get("max-rms");
    if (!text)
        return std::nullopt;
    std::string error;
    const auto given = numberOption(options, "max-rms", error);
    if (!given || !(*given > 0))
        return Failure{exitRefused, "--max-rms must be a number above 0 (the largest rms a fit "
                                    "may have), not " +
                                        quotedText(*text)};
    maxRms = *given;
    return std::nullopt;
}

namespace {

std::optional<Failure> readRequest(const Options& options, Request& request) {
    if (auto f = systemOption(options, request.system))
        return f;
    if (auto f = modelOption(options, request.model))
        return f;
    if (auto f = weightOption(options, request.fitting.fit.weight))
        return f;
    if (auto f = maxRmsOption(options, request.fitting.maxRms))
        return f;
    if (auto f = paramsOrTablesFormat(options, request.system, request.format, request.simulator))
        return f;
    request.tables = !request.simulator.keywords.empty();
    if (auto f = caseOption(options, request.tables, request.t))
        return f;
    return tableRowOptions(options, request.tables, request.spacing, request.simulator);
}

// The case by its t, in the same words whichever flag asked for it, so that
// `--interpolate 0` writes the very file `--case base` writes.
std::string caseText(double t) {
    for (ScalCase which : {ScalCase::Low, ScalCase::Base, ScalCase::High}) {
        const double at = which == ScalCase::Low ? -1 : which == ScalCase::Base ? 0 : 1;
        if (t == at)
            return std::string(scalCaseName(which)) + " (t = " + formatGeneral(at) + ")";
    }
    return "t = " + formatGeneral(t) + ", between " +
           (t < 0 ? "low (t = -1) and base (t = 0)" : "base (t = 0) and high (t = 1)");
}

// "22 of the 23 matching data sets fitted", and how many of them counted when some were
// fitted worse than --max-rms allows.
std::string fittedText(const ScalRecommendation& rec, const Request& request) {
    const std::size_t fitted = rec.fits.size() + leftOutForRms(rec);
    std::string text = std::to_string(fitted) + " of the " +
                       std::to_string(rec.fits.size() + rec.leftOut.size()) +
                       " matching data sets fitted";
    if (fitted != rec.fits.size())
        text += ", " + std::to_string(rec.fits.size()) + " of them within --max-rms " +
                formatGeneral(*request.fitting.maxRms);
    return text;
}

// What a deck's include file needs to be traced to: the program, the sets, the model, the
// case and its parameters.
std::vector<std::string> tablesHead(const ScalRecommendation& rec, const MatchSelection& selection,
                                    const DatabaseBrowser& browser, const Request& request) {
    std::string lists;
    for (BrowserList list : {BrowserList::Location, BrowserList::Method, BrowserList::Lithology,
                             BrowserList::Wettability}) {
        if (list == BrowserList::Wettability && request.system != TwoPhaseSystem::WaterOil)
            continue;
        lists += (lists.empty() ? "" : ", ") + browser.list(list).text();
    }
    std::vector<std::string> lines{
        "Relative permeability tables written by relperm " + std::string(suiteVersion) +
            " (Relative Permeability Suite).",
        "A low/base/high recommendation from the measured data sets of " +
            std::string(systemListText(request.system)) + ": " + fitModelName(request.model) +
            " curves fitted to each set, base the median of every parameter, low and high "
            "their 10th and 90th percentiles.",
        "Selection: " + lists + "; " + searchDescription(selection) + ".",
        "Model: " + fitModelName(request.model) +
            (request.fitting.fit.weight == FitWeight::Log
                 ? ", fitted to log10 kr (kr below 1e-4 as 1e-4)."
                 : "."),
        "Case: " + caseText(request.t) + ".",
        "Data sets: " + fittedText(rec, request) + "."};
    for (const LeftOutSet& left : rec.leftOut)
        lines.push_back("Left out: data set # " + std::to_string(left.match) + ": " + left.reason);
    for (const ScaledEndPoints& scaled : rec.scaled)
        lines.push_back(scaledText(rec, scaled));
    const bool atCase = request.t == -1 || request.t == 0 || request.t == 1;
    // A point between two cases is described by both, and by its own end points.
    const std::pair<double, const FittedSet*> cases[] = {
        {-1, &rec.low}, {0, &rec.base}, {1, &rec.high}};
    for (auto [at, fit] : cases)
        if (atCase ? request.t == at : at - 1 < request.t && request.t < at + 1)
            lines.push_back("Parameters of " + caseText(at) + ": " + fitParametersText(*fit, true) +
                            " (rms: the median misfit of the fits).");
    if (!atCase) {
        const FitEndPoints ends = scalEndPoints(rec, request.t);
        std::string text =
            "End points at t = " + formatGeneral(request.t) + ": swl " + fitValueText(ends.swl);
        if (request.system == TwoPhaseSystem::WaterOil)
            text += ", sorw " + fitValueText(ends.sorw);
        else
            text += ", sgcr " + fitValueText(ends.sgcr);
        if (request.system == TwoPhaseSystem::GasOil)
            text += ", sorg " + fitValueText(ends.sorg);
        lines.push_back(text + "; the curves interpolated at equal normalised saturation.");
    }
    lines.push_back("Capillary pressure is 0 throughout.");
    lines.push_back(rowsText(request.system, request.spacing));
    return lines;
}

int fail(std::ostream& err, const Failure& failure) {
    return reportFailure(err, prefix, failure);
}

} // namespace

int runRecommend(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto opened = openCommand(args, recommendOptions, prefix, recommendHelp, out, err);
    if (const int* status = std::get_if<int>(&opened))
        return *status;
    const Options* options = &std::get<Options>(opened);
    std::string error;
    if (!allNumbers(*options, {"tolerance", "swc", "sor", "sgc"}, error))
        return fail(err, {exitRefused, error});
    Request request;
    if (auto f = readRequest(*options, request))
        return fail(err, *f);
    std::filesystem::path dir;
    if (auto f = folderOption(*options, dir))
        return fail(err, *f);
    if (auto f = outOption(*options, dataFolderInputs(dir)))
        return fail(err, *f);

    DatabaseBrowser browser(dir);
    auto replayed = replayMatchSelection(*options, request.system, browser);
    if (const auto* f = std::get_if<Failure>(&replayed))
        return fail(err, *f);
    const MatchSelection& selection = std::get<MatchSelection>(replayed);
    // The count read the whole file, so it met any damage the recommendation meets.
    const std::optional<DataFileProblem> counted = browser.lastProblem();

    auto recommended = recommendScal(dir, request.system, selection.lists,
                                     {selection.searchPercent, selection.tolerance}, selection.user,
                                     request.model, request.fitting);
    if (const auto* refusal = std::get_if<Refusal>(&recommended)) {
        // Records lost to a damaged file may have held the sets the user meant.
        if (counted)
            err << prefix << ": " << counted->message() << "\n";
        return fail(err, {counted ? exitFileError : exitRefused, refusal->message});
    }
    const ScalRecommendation& rec = std::get<ScalRecommendation>(recommended);
    // Said before the tables are made, so a refusal of theirs still tells which sets and
    // cases it stands on.
    for (const LeftOutSet& left : rec.leftOut)
        err << prefix << ": data set # " << left.match << " left out: " << left.reason << "\n";
    err << prefix << ": " << fittedText(rec, request) << "\n";
    if (const std::string bounds = boundsText(rec); !bounds.empty())
        err << prefix << ": warning: " << bounds << "\n";
    for (const ScaledEndPoints& scaled : rec.scaled)
        err << prefix << ": " << scaledText(rec, scaled) << "\n";

    std::string bytes;
    if (!request.tables) {
        bytes = recommendationCsv(rec, LineEnd::Lf);
    } else {
        auto made = recommendationTables(rec, request.t, request.spacing, request.simulator.krwMax);
        if (const auto* refusal = std::get_if<Refusal>(&made))
            return fail(err, {exitRefused, tableRefusalText(*refusal)});
        auto tables =
            simulatorFile(std::get<SaturationTables>(made),
                          tablesHead(rec, selection, browser, request), request.simulator);
        if (const auto* refusal = std::get_if<Refusal>(&tables))
            return fail(err, {exitRefused, tableRefusalText(*refusal)});
        bytes = std::get<std::string>(tables);
    }
    auto outFile = options->get("out");
    int status = emit(bytes, outFile ? &*outFile : nullptr, out, err, prefix);
    // The cases stand on the sets read before the damage; those lost may have moved them.
    const std::optional<DataFileProblem>& problem = rec.problem ? rec.problem : counted;
    if (problem) {
        err << prefix << ": " << problem->message() << "\n";
        status = exitFileError;
    }
    return status;
}

} // namespace relperm::cli
