#include "python/calls.h"

#include "analysis/fit.h"
#include "analysis/recommend.h"
#include "calculator/generate.h"
#include "cli/commands.h"
#include "cli/optionreaders.h"
#include "cli/selection.h"
#include "common/readfile.h"
#include "deck/checks.h"
#include "deck/reader.h"
#include "python/keywords.h"
#include "satfunc/includefile.h"
#include "satfunc/paramtable.h"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>

namespace py = pybind11;

namespace relperm::python {

namespace {

// A (rows, 3) array filled by `value(row, column)`.
template <typename Value> py::array_t<double> threeColumns(int rows, Value value) {
    py::array_t<double> array({static_cast<py::ssize_t>(rows), py::ssize_t{3}});
    auto cells = array.mutable_unchecked<2>();
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < 3; ++c)
            cells(r, c) = value(r, c);
    return array;
}

// A warning for the caller, as standard error carries it from the command line.
void warn(const std::string& message) {
    if (PyErr_WarnEx(PyExc_UserWarning, message.c_str(), 1) != 0)
        throw py::error_already_set();
}

std::string fsPath(const py::handle& path) {
    return py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>();
}

// The browser's selection as db list and recommend read it from their flags.
cli::Options selectionOptions(const std::string& system, const py::kwargs& selection,
                              const char* function, std::vector<std::string> more = {}) {
    cli::Options options;
    options.values["system"] = system;
    std::vector<std::string> names{"location",  "method", "lithology", "wettability",
                                   "tolerance", "swc",    "sor",       "sgc"};
    names.insert(names.end(), more.begin(), more.end());
    addKeywords(options, selection, function, names, {"search-percent"});
    return options;
}

// The system and the replayed selection, with the numbers checked as db checks them.
struct Selection {
    TwoPhaseSystem system{};
    MatchSelection lists;
    std::optional<DataFileProblem> counted;
    int matchCount = 0;
};

Selection replay(const cli::Options& options, const std::filesystem::path& folder) {
    std::string error;
    if (!cli::allNumbers(options, {"tolerance", "swc", "sor", "sgc"}, error))
        throw Refused(error);
    Selection selection;
    if (auto f = cli::systemOption(options, selection.system))
        raise(*f);
    DatabaseBrowser browser(folder);
    auto replayed = cli::replayMatchSelection(options, selection.system, browser);
    if (const auto* f = std::get_if<cli::Failure>(&replayed))
        raise(*f);
    selection.lists = std::get<MatchSelection>(replayed);
    selection.counted = browser.lastProblem();
    selection.matchCount = browser.scan().matchCount;
    return selection;
}

py::dict parameterDict(const FittedSet& fit) {
    py::dict values;
    const std::vector<std::string> names = fitParameterNames(fit.system, fit.model);
    const std::vector<double> numbers = fitParameterValues(fit);
    for (std::size_t i = 0; i < names.size() && i < numbers.size(); ++i)
        values[py::str(names[i])] = numbers[i];
    return values;
}

// A cell of a parameter table given in Python: empty for None and NaN (a DataFrame's
// missing value), else the text a CSV file would hold.
std::string cellText(const py::handle& value) {
    if (value.is_none())
        return {};
    if (py::isinstance<py::float_>(value) && std::isnan(value.cast<double>()))
        return {};
    return optionText(value);
}

// The rows of a DataFrame (anything with columns and to_numpy), of anything with
// to_dict("records"), or of a sequence of mappings, as a sheet's cells: the column names in
// row 1, the data from row 2, as in a file.
std::vector<SheetRow> parameterRows(const py::object& parameters) {
    std::vector<SheetRow> rows;
    SheetRow head{1, {}};
    if (py::hasattr(parameters, "columns") && py::hasattr(parameters, "to_numpy")) {
        for (const py::handle column : parameters.attr("columns"))
            head.cells.push_back(py::str(column).cast<std::string>());
        rows.push_back(std::move(head));
        const py::list values = parameters.attr("to_numpy")("object").attr("tolist")();
        int number = 1;
        for (const py::handle row : values) {
            SheetRow cells{++number, {}};
            for (const py::handle value : row)
                cells.cells.push_back(cellText(value));
            rows.push_back(std::move(cells));
        }
        return rows;
    }
    py::object records = parameters;
    if (py::hasattr(parameters, "to_dict"))
        records = parameters.attr("to_dict")("records");
    if (!py::isinstance<py::sequence>(records) || py::isinstance<py::str>(records))
        throw py::type_error("tables() takes a path, a DataFrame or a list of dicts, not " +
                             py::str(py::type::of(parameters)).cast<std::string>());
    // The columns in the order they first appear.
    std::vector<std::string> names;
    for (const py::handle record : records) {
        if (!py::isinstance<py::dict>(record))
            throw py::type_error("tables(): each row of a list is a dict of column values");
        for (const auto& [key, value] : record.cast<py::dict>()) {
            const std::string name = py::str(key).cast<std::string>();
            if (std::find(names.begin(), names.end(), name) == names.end())
                names.push_back(name);
        }
    }
    head.cells = names;
    rows.push_back(std::move(head));
    int number = 1;
    for (const py::handle record : records) {
        const py::dict cells = record.cast<py::dict>();
        SheetRow row{++number, {}};
        for (const std::string& name : names)
            row.cells.push_back(cells.contains(name) ? cellText(cells[py::str(name)]) : "");
        rows.push_back(std::move(row));
    }
    return rows;
}

// "0.5", or "-1,0,0.3" from a sequence.
std::optional<std::string> numberListText(const py::object& values) {
    if (values.is_none())
        return std::nullopt;
    if (py::isinstance<py::str>(values) || !py::isinstance<py::sequence>(values))
        return optionText(values);
    std::string text;
    for (const py::handle value : values)
        text += (text.empty() ? "" : ",") + optionText(value);
    return text;
}

// What a read of the deck found unreadable is a file problem; anything else a refusal.
[[noreturn]] void raiseDeckRefusal(const Refusal& refusal) {
    if (refusal.message.rfind("Could not read", 0) == 0)
        throw Unreadable(refusal.message);
    throw Refused(refusal.message);
}

} // namespace

std::tuple<int, py::bytes, py::bytes> run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    out.imbue(std::locale::classic());
    err.imbue(std::locale::classic());
    int status = 0;
    {
        py::gil_scoped_release free;
        status = cli::runRelperm(args, out, err);
    }
    return {status, py::bytes(out.str()), py::bytes(err.str())};
}

py::dict generate(const py::kwargs& keywords) {
    cli::Options options;
    addKeywords(options, keywords, "generate",
                {"fluids", "correlation", "wettability", "formation", "title", "porosity",
                 "permeability", "swc", "sorw", "sorg", "sgc", "krg-sorg", "spacing", "run"});
    CalculatorState state;
    std::optional<std::string> warning;
    {
        py::gil_scoped_release free;
        if (auto refused = cli::refusedGenerateNumber(options))
            throw Refused(*refused);
        auto opened = cli::calculatorFormOf(options);
        if (const auto* failure = std::get_if<cli::Failure>(&opened))
            raise(*failure);
        const CalculatorForm& form = std::get<CalculatorForm>(opened);
        warning = cli::fractionWarning(form);
        if (auto refusal = relperm::generate(state, form.generateInput()))
            throw Refused(refusal->message);
    }
    if (warning)
        warn(*warning);
    const Tables& t = state.tables;
    py::dict result;
    result["water_oil"] = threeColumns(t.nWaterOil, [&](int r, int c) {
        const Table* columns[] = {&t.swTable, &t.krwTable, &t.krowTable};
        return (*columns[c])[static_cast<std::size_t>(r + 1)];
    });
    result["gas"] = threeColumns(t.nGasLiquid, [&](int r, int c) {
        const Table* columns[] = {&t.sgTable, &t.krgTable, &t.krogTable};
        return (*columns[c])[static_cast<std::size_t>(r + 1)];
    });
    return result;
}

py::dict DataSet::header() const {
    py::dict header;
    for (MatchColumn column : matchColumns(system)) {
        const std::string* text = nullptr;
        const std::optional<double>* value = nullptr;
        switch (column) {
        case MatchColumn::Match:
        case MatchColumn::Points:
            continue;
        case MatchColumn::Location:
            text = &row.location;
            break;
        case MatchColumn::Lithology:
            text = &row.lithology;
            break;
        case MatchColumn::Method:
            text = &row.method;
            break;
        case MatchColumn::Wettability:
            text = &row.wettability;
            break;
        case MatchColumn::Depth:
            value = &row.depth;
            break;
        case MatchColumn::Porosity:
            value = &row.porosity;
            break;
        case MatchColumn::Permeability:
            value = &row.k;
            break;
        case MatchColumn::AbsPermeability:
            value = &row.kabs;
            break;
        case MatchColumn::Swc:
            value = &row.swc;
            break;
        case MatchColumn::Sor:
            value = &row.sor;
            break;
        case MatchColumn::Sgc:
            value = &row.sgc;
            break;
        }
        const py::str name(matchColumnName(system, column));
        if (text)
            header[name] = *text;
        else if (value && *value)
            header[name] = **value;
        else
            header[name] = py::none();
    }
    return header;
}

py::array_t<double> DataSet::points() const {
    return threeColumns(set.pointCount, [&](int r, int c) {
        const PointColumn* columns[] = {&set.normSat, &set.krAxis, &set.krOther};
        return (*columns[c])[static_cast<std::size_t>(r + 1)];
    });
}

std::vector<std::string> DataSet::columns() const {
    const auto names = pointColumnNames(system);
    return {names.begin(), names.end()};
}

std::string DataSet::repr() const {
    return "<relperm.DataSet " + systemText() + ", set " + std::to_string(row.match) + ", " +
           std::to_string(set.pointCount) + " points>";
}

Database::Database(const py::object& folder) : folder_(fsPath(folder)) {
    cli::Options options;
    options.values["dir"] = folder_.string();
    std::filesystem::path checked;
    if (auto f = cli::folderOption(options, checked))
        raise(*f);
}

std::vector<DataSet> Database::sets(const std::string& system, const py::kwargs& selection) const {
    const cli::Options options = selectionOptions(system, selection, "sets");
    std::vector<DataSet> found;
    py::gil_scoped_release free;
    const Selection s = replay(options, folder_);
    const MatchSelection& lists = s.lists;
    const std::optional<DataFileProblem> problem =
        forEachMatch(folder_, s.system, lists.lists, {lists.searchPercent, lists.tolerance},
                     lists.user, [&](int match, const MeasuredDataSet& set) {
                         found.push_back({s.system, set, matchRowOf(s.system, match, set)});
                     });
    if (problem)
        throw Unreadable(problem->message());
    return found;
}

int Database::count(const std::string& system, const py::kwargs& selection) const {
    const cli::Options options = selectionOptions(system, selection, "count");
    py::gil_scoped_release free;
    const Selection s = replay(options, folder_);
    if (s.counted)
        throw Unreadable(s.counted->message());
    return s.matchCount;
}

py::dict fit(const DataSet& set, const std::string& model, const std::string& weight) {
    cli::Options options;
    options.values["model"] = model;
    options.values["weight"] = weight;
    FitModel fitModel{};
    FitOptions fitOptions;
    if (auto f = cli::modelOption(options, fitModel))
        raise(*f);
    if (auto f = cli::weightOption(options, fitOptions.weight))
        raise(*f);
    std::variant<FittedSet, Refusal> fitted;
    {
        py::gil_scoped_release free;
        fitted = fitDataSet(set.system, set.set, fitModel, fitOptions);
    }
    if (const auto* refusal = std::get_if<Refusal>(&fitted))
        throw Refused(refusal->message);
    const FittedSet& result = std::get<FittedSet>(fitted);
    for (const std::string& bound : result.onBounds)
        warn(bound + "; the curve wants a value beyond it, so the fit follows the points less "
                     "well");
    return parameterDict(result);
}

py::list recommend(const Database& database, const std::string& system, const std::string& model,
                   const py::kwargs& keywords) {
    cli::Options options = selectionOptions(system, keywords, "recommend", {"weight", "max-rms"});
    options.values["model"] = model;
    std::variant<ScalRecommendation, Refusal> recommended;
    {
        py::gil_scoped_release free;
        FitModel fitModel{};
        RecommendOptions fitting;
        if (auto f = cli::modelOption(options, fitModel))
            raise(*f);
        if (auto f = cli::weightOption(options, fitting.fit.weight))
            raise(*f);
        if (auto f = cli::maxRmsOption(options, fitting.maxRms))
            raise(*f);
        const Selection s = replay(options, database.folder());
        recommended = recommendScal(database.folder(), s.system, s.lists.lists,
                                    {s.lists.searchPercent, s.lists.tolerance}, s.lists.user,
                                    fitModel, fitting);
        // Records lost to a damaged file may have held the sets meant.
        const auto* rec = std::get_if<ScalRecommendation>(&recommended);
        const std::optional<DataFileProblem>& problem =
            rec && rec->problem ? rec->problem : s.counted;
        if (problem)
            throw Unreadable(problem->message());
    }
    if (const auto* refusal = std::get_if<Refusal>(&recommended))
        throw Refused(refusal->message);
    const ScalRecommendation& rec = std::get<ScalRecommendation>(recommended);
    for (const LeftOutSet& left : rec.leftOut)
        warn("data set # " + std::to_string(left.match) + " left out: " + left.reason);
    if (const std::string bounds = boundsText(rec); !bounds.empty())
        warn(bounds);
    for (const ScaledEndPoints& scaled : rec.scaled)
        warn(scaledText(rec, scaled));
    py::list rows;
    for (ScalCase which : {ScalCase::Low, ScalCase::Base, ScalCase::High}) {
        const FittedSet& c = which == ScalCase::Low    ? rec.low
                             : which == ScalCase::Base ? rec.base
                                                       : rec.high;
        py::dict row;
        row["satnum"] = 1;
        row["case"] = scalCaseName(which);
        for (const auto& [name, value] : parameterDict(c))
            row[name] = value;
        rows.append(row);
    }
    return rows;
}

std::string tables(const py::object& parameters, const py::object& family, const py::object& deltaS,
                   bool slgof, const py::object& intParamWo, const py::object& intParamGo,
                   const py::object& sheet) {
    cli::Options options;
    if (!family.is_none())
        options.values["family"] = optionText(family);
    if (!deltaS.is_none())
        options.values["delta-s"] = optionText(deltaS);
    if (slgof)
        options.switches.insert("slgof");
    if (auto text = numberListText(intParamWo))
        options.values["int-param-wo"] = *text;
    if (auto text = numberListText(intParamGo))
        options.values["int-param-go"] = *text;
    const bool isPath = py::isinstance<py::str>(parameters) ||
                        py::isinstance(parameters, py::module_::import("os").attr("PathLike"));
    std::string path;
    std::vector<SheetRow> rows;
    if (isPath)
        path = fsPath(parameters);
    else
        rows = parameterRows(parameters);
    const std::string sheetName = sheet.is_none() ? "" : sheet.cast<std::string>();
    if (!isPath && !sheetName.empty())
        throw Refused("sheet names a sheet of an .xlsx workbook; the parameters are given as rows");

    py::gil_scoped_release free;
    satfunc::TablesOptions tablesOptions;
    if (auto f = cli::readTablesOptions(options, tablesOptions))
        raise(*f);
    auto table = isPath ? satfunc::readParameterTable(path, sheetName)
                        : satfunc::parameterTable(rows, "the parameters");
    if (const auto* r = std::get_if<Refusal>(&table))
        raiseDeckRefusal(*r);
    const auto& parameterTable = std::get<satfunc::ParameterTable>(table);
    auto regions = satfunc::regionCurves(parameterTable, tablesOptions);
    if (const auto* r = std::get_if<Refusal>(&regions))
        throw Refused(r->message);
    auto text = satfunc::includeFile(
        parameterTable, std::get<std::vector<satfunc::RegionCurves>>(regions), tablesOptions);
    if (const auto* r = std::get_if<Refusal>(&text))
        throw Refused(r->message);
    return std::move(std::get<std::string>(text));
}

py::list check(const py::object& pathOrText) {
    const bool isText = py::isinstance<py::str>(pathOrText) &&
                        pathOrText.cast<std::string>().find('\n') != std::string::npos;
    const std::string given = isText ? pathOrText.cast<std::string>() : fsPath(pathOrText);
    std::vector<deck::Finding> findings;
    {
        py::gil_scoped_release free;
        const std::string name = isText ? "<text>" : given;
        // A deck given as text has no folder its INCLUDE files could be found from.
        const deck::IncludeLoader noIncludes = [](const std::filesystem::path& file) {
            return std::variant<std::string, Refusal>(
                Refusal{file.string(), "Could not read \"" + file.string() +
                                           "\": a deck given as text cannot include files; give "
                                           "its path instead"});
        };
        auto read = isText ? deck::readDeckText(given, name, noIncludes)
                           : deck::readDeck(given, PipeUse::Read);
        if (const auto* r = std::get_if<Refusal>(&read))
            raiseDeckRefusal(*r);
        const auto& deckTables = std::get<deck::DeckTables>(read);
        if (deckTables.keywords.empty())
            throw Refused(deck::noSaturationTable(name));
        findings = deck::checkTables(deckTables);
    }
    py::list list;
    for (const deck::Finding& f : findings) {
        py::dict finding;
        finding["keyword"] = deck::keywordName(f.keyword);
        finding["satnum"] = f.satnum;
        finding["row"] = f.row;
        finding["file"] = f.file;
        finding["line"] = f.line;
        finding["check"] = f.check;
        finding["detail"] = f.detail;
        list.append(finding);
    }
    return list;
}

} // namespace relperm::python
