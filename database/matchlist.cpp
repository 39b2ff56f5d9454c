#include "database/matchlist.h"

#include "common/csv.h"
#include "common/numbers.h"

#include <algorithm>

namespace relperm {

namespace {

std::optional<double> number(const TaggedValue& stored) {
    return stored.isEmpty() ? std::nullopt : std::optional<double>(stored.value());
}

std::optional<double>* storedValue(MatchRow& row, MatchColumn column) {
    switch (column) {
    case MatchColumn::Depth:
        return &row.depth;
    case MatchColumn::Porosity:
        return &row.porosity;
    case MatchColumn::Permeability:
        return &row.k;
    case MatchColumn::AbsPermeability:
        return &row.kabs;
    case MatchColumn::Swc:
        return &row.swc;
    case MatchColumn::Sor:
        return &row.sor;
    case MatchColumn::Sgc:
        return &row.sgc;
    default:
        return nullptr;
    }
}

const std::optional<double>* storedValue(const MatchRow& row, MatchColumn column) {
    return storedValue(const_cast<MatchRow&>(row), column);
}

std::string* codeCell(MatchRow& row, MatchColumn column) {
    switch (column) {
    case MatchColumn::Location:
        return &row.location;
    case MatchColumn::Lithology:
        return &row.lithology;
    case MatchColumn::Method:
        return &row.method;
    case MatchColumn::Wettability:
        return &row.wettability;
    default:
        return nullptr;
    }
}

const std::string* codeCell(const MatchRow& row, MatchColumn column) {
    return codeCell(const_cast<MatchRow&>(row), column);
}

MatchRow rowOf(TwoPhaseSystem system, const std::vector<MatchColumn>& columns, int match,
               const MeasuredDataSet& set) {
    MatchRow row;
    row.match = match;
    row.points = set.pointCount;
    for (MatchColumn column : columns) {
        const HeaderField* field = matchColumnField(system, column);
        if (!field)
            continue;
        if (std::string* text = codeCell(row, column))
            *text = matchColumnText(system, column, *field, set);
        else
            *storedValue(row, column) = number(set.*field->member);
    }
    return row;
}

// The one read both the list and the visits make: the scan of Count over the file, the
// points of a passing set read only when asked for.
std::optional<DataFileProblem>
readMatches(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
            const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
            bool points, const std::function<void(int match, const MeasuredDataSet& set)>& visit,
            const WorkControl& control) {
    const MatchRule rule(system, lists, search, user);
    RecordFile file(dataDirectory, system);
    // The size as opened: a file that grows meanwhile is read to where it ended then.
    const double size = file.file() ? static_cast<double>(file.file()->identity().size) : 0;
    int thousandthsReported = 0;
    MeasuredDataSet set;
    int match = 0;
    while (!file.AtEnd()) {
        if (control.stopRequested())
            return file.problem();
        if (file.readHeader(set) != ReadOutcome::Stored || set.pointCount == 0)
            break;
        const bool passes = rule.matches(set);
        if (file.finishRecord(set, passes && points) != ReadOutcome::Stored)
            break;
        if (passes)
            visit(++match, set);
        if (control.progress && size > 0) {
            const int thousandths =
                static_cast<int>(1000 * static_cast<double>(file.offset()) / size);
            if (thousandths > thousandthsReported && thousandths < 1000) {
                thousandthsReported = thousandths;
                control.report(thousandths / 1000.0);
            }
        }
    }
    control.report(1);
    return file.problem();
}

// Each set of the list as the read reaches it.
std::optional<DataFileProblem>
readListedSets(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
               const SearchCriteria& lists, const ToleranceSearch& search,
               const UserEndPoints& user,
               const std::function<void(int match, const MeasuredDataSet& set)>& visit,
               const WorkControl& control) {
    // The wettability shown for a water-oil set depends on its last point; the points of
    // every other set are passed over unread.
    return readMatches(dataDirectory, system, lists, search, user,
                       system == TwoPhaseSystem::WaterOil, visit, control);
}

// Each row of the list as the read reaches its set.
std::optional<DataFileProblem> readRows(const std::filesystem::path& dataDirectory,
                                        TwoPhaseSystem system, const SearchCriteria& lists,
                                        const ToleranceSearch& search, const UserEndPoints& user,
                                        const std::function<void(const MatchRow& row)>& visit,
                                        const WorkControl& control) {
    const std::vector<MatchColumn> columns = matchColumns(system);
    return readListedSets(
        dataDirectory, system, lists, search, user,
        [&](int match, const MeasuredDataSet& set) { visit(rowOf(system, columns, match, set)); },
        control);
}

void writeHeader(CsvWriter& w, TwoPhaseSystem system) {
    for (MatchColumn column : matchColumns(system))
        w.text(matchColumnName(system, column));
    w.endLine();
}

void writeRow(CsvWriter& w, const std::vector<MatchColumn>& columns, const MatchRow& row) {
    for (MatchColumn column : columns) {
        if (column == MatchColumn::Match)
            w.integer(row.match);
        else if (column == MatchColumn::Points)
            w.integer(row.points);
        else if (const std::string* text = codeCell(row, column))
            w.text(*text);
        else if (const std::optional<double>& value = *storedValue(row, column))
            w.number(*value);
        else
            w.empty();
    }
    w.endLine();
}

} // namespace

MatchList listMatches(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
                      const SearchCriteria& lists, const ToleranceSearch& search,
                      const UserEndPoints& user) {
    MatchList list;
    list.selection = {system, lists, search.enabled, search.tolerance, user};
    list.rows = MatchTable(system);
    list.problem = readListedSets(dataDirectory, system, lists, search, user,
                                  [&](int, const MeasuredDataSet& set) { list.rows.add(set); }, {});
    return list;
}

std::optional<DataFileProblem> writeMatchList(const std::filesystem::path& dataDirectory,
                                              TwoPhaseSystem system, const SearchCriteria& lists,
                                              const ToleranceSearch& search,
                                              const UserEndPoints& user, const TextSink& sink,
                                              std::size_t pieceBytes, LineEnd lineEnd) {
    const std::vector<MatchColumn> columns = matchColumns(system);
    CsvWriter w(lineEnd);
    writeHeader(w, system);
    bool taking = true;
    WorkControl control;
    control.cancelled = [&] { return !taking; };
    auto problem = readRows(
        dataDirectory, system, lists, search, user,
        [&](const MatchRow& row) {
            writeRow(w, columns, row);
            taking = w.passOn(sink, pieceBytes);
        },
        control);
    if (taking)
        w.passOn(sink);
    return problem;
}

std::optional<DataFileProblem>
forEachMatch(const std::filesystem::path& dataDirectory, TwoPhaseSystem system,
             const SearchCriteria& lists, const ToleranceSearch& search, const UserEndPoints& user,
             const std::function<void(int match, const MeasuredDataSet& set)>& visit,
             const WorkControl& control) {
    return readMatches(dataDirectory, system, lists, search, user, true, visit, control);
}

MatchRow matchRowOf(TwoPhaseSystem system, int match, const MeasuredDataSet& set) {
    return rowOf(system, matchColumns(system), match, set);
}

std::string matchColumnName(TwoPhaseSystem system, MatchColumn column) {
    if (column == MatchColumn::Match)
        return "match";
    if (column == MatchColumn::Points)
        return "points";
    const HeaderField* field = matchColumnField(system, column);
    return field ? std::string(field->name) : std::string();
}

std::string matchListCsv(const MatchList& list) {
    const std::vector<MatchColumn> columns = matchColumns(list.selection.system);
    CsvWriter w;
    writeHeader(w, list.selection.system);
    for (std::size_t row = 0; row < list.rows.size(); ++row)
        writeRow(w, columns, list.rows[row]);
    return w.str();
}

std::string searchDescription(const MatchSelection& selection) {
    if (!selection.searchPercent)
        return "Search All";
    const std::vector<MatchColumn> columns = matchColumns(selection.system);
    std::string compared;
    for (auto [column, value] : {std::pair{MatchColumn::Swc, selection.user.swc},
                                 std::pair{MatchColumn::Sor, selection.user.sor},
                                 std::pair{MatchColumn::Sgc, selection.user.sgc}}) {
        if (!value || std::find(columns.begin(), columns.end(), column) == columns.end())
            continue;
        compared += (compared.empty() ? "" : ", ") + matchColumnName(selection.system, column) +
                    " " + formatGeneral(100 * *value) + "%";
    }
    if (compared.empty())
        return "Search % (no end point to compare)";
    return "Search % within " + formatGeneral(selection.tolerance) + " of " + compared;
}

std::string matchColumnHeading(TwoPhaseSystem system, MatchColumn column) {
    switch (column) {
    case MatchColumn::Match:
        return "Match";
    case MatchColumn::Location:
        return "Location";
    case MatchColumn::Lithology:
        return "Lithology";
    case MatchColumn::Method:
        return "Method";
    case MatchColumn::Wettability:
        return "Wettability";
    case MatchColumn::Depth:
        return "Depth ft ss";
    case MatchColumn::Porosity:
        return "Porosity %";
    case MatchColumn::Permeability:
        return "k md";
    case MatchColumn::AbsPermeability:
        return "kabs md";
    case MatchColumn::Points:
        return "Points";
    default:
        break;
    }
    return matchColumnName(system, column) + " %";
}

std::string matchCellText(const MatchRow& row, MatchColumn column) {
    if (const std::string* text = codeCell(row, column))
        return *text;
    if (column == MatchColumn::Match)
        return std::to_string(row.match);
    if (column == MatchColumn::Points)
        return std::to_string(row.points);
    const std::optional<double>& value = *storedValue(row, column);
    return value ? matchValueText(column, *value) : std::string();
}

} // namespace relperm
