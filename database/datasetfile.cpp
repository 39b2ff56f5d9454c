#include "database/datasetfile.h"

#include "common/filewrite.h"
#include "common/quotedtext.h"
#include "common/readfile.h"
#include "database/csvrows.h"

namespace relperm {

namespace {

using Kind = LineTwoItem::Kind;
using M = MeasuredDataSet;

LineTwoItem header(TaggedValue M::*member, std::string_view name) {
    return {Kind::Header, member, name};
}

// The highest list index each criterion may hold (-1 means nothing picked).
int highestIndex(Kind kind) {
    switch (kind) {
    case Kind::Wettability:
        return 3;
    case Kind::Location:
        return 6;
    case Kind::Lithology:
        return 4;
    case Kind::Method:
        return 2;
    default:
        return maxPoints;
    }
}

int& criterion(SearchCriteria& criteria, Kind kind) {
    switch (kind) {
    case Kind::Wettability:
        return criteria.wettability;
    case Kind::Location:
        return criteria.location;
    case Kind::Lithology:
        return criteria.lithology;
    default:
        return criteria.method;
    }
}

class Parser {
  public:
    Parser(std::string_view text, const std::string& fileName)
        : rows_(csvRows(text)), fileName_(fileName) {}

    std::optional<std::string> parse(SavedDataSet& out) {
        if (rows_.empty())
            return fileName_ + ": the file is empty.";
        if (auto error = lineOne(rows_[0], out))
            return error;
        std::size_t next = 1;
        int count = 0;
        if (out.systemIndex >= 0) {
            if (rows_.size() < 2)
                return at(rows_[0].line + 1, "the line of the point count and the end points "
                                             "is missing");
            if (auto error = lineTwo(rows_[1], out, count))
                return error;
            next = 2;
        } else {
            // A file saved with no system chosen has no line 2: its points are the lines
            // that follow.
            count = static_cast<int>(rows_.size() - 1);
            if (count > maxPoints)
                return at(rows_[maxPoints + 1].line,
                          "more than " + std::to_string(maxPoints) + " point lines");
        }
        out.values.pointCount = static_cast<std::int16_t>(count);
        for (int i = 1; i <= count; ++i, ++next) {
            if (next >= rows_.size())
                return at(rows_.back().line + 1, "the file ends after " + std::to_string(i - 1) +
                                                     " of its " + std::to_string(count) +
                                                     " point lines");
            if (auto error = point(rows_[next], out.values, static_cast<std::size_t>(i)))
                return error;
        }
        if (next < rows_.size())
            return at(rows_[next].line, "more lines than the " + std::to_string(count) +
                                            " points that line 2 announces");
        return std::nullopt;
    }

  private:
    std::string at(int line, const std::string& what) const {
        return fileName_ + ", line " + std::to_string(line) + ": " + what + ".";
    }

    std::optional<std::string> lineOne(const CsvRow& row, SavedDataSet& out) {
        auto index = integerField(row.fields[0]);
        if (!index || *index < -1 || *index > 3)
            return at(row.line,
                      "the two-phase index must be -1 to 3, not " + quoteForMessage(row.fields[0]));
        if (row.fields.size() != 2)
            return at(row.line, "the line must hold the two-phase index and the title");
        out.systemIndex = static_cast<int>(*index);
        out.title = row.fields[1].text;
        return std::nullopt;
    }

    std::optional<std::string> lineTwo(const CsvRow& row, SavedDataSet& out, int& count) {
        const std::vector<LineTwoItem> items = lineTwoItems(out.systemIndex);
        if (row.fields.size() != items.size())
            return at(row.line, std::to_string(items.size()) + " items expected, found " +
                                    std::to_string(row.fields.size()));
        for (std::size_t k = 0; k < items.size(); ++k) {
            const LineTwoItem& item = items[k];
            const CsvField& field = row.fields[k];
            if (item.kind == Kind::Header) {
                TaggedValue& value = out.values.*item.member;
                if (field.quoted) {
                    value = TaggedValue::ofText(field.text);
                } else if (field.text.empty()) {
                    value = TaggedValue{};
                } else if (auto number = numberField(field)) {
                    value = TaggedValue::of(*number);
                } else {
                    return at(row.line, std::string(item.name) + " must be a number, not " +
                                            quoteForMessage(field));
                }
                continue;
            }
            const int lowest = item.kind == Kind::PointCount ? 0 : -1;
            auto number = integerField(field);
            if (!number || *number < lowest || *number > highestIndex(item.kind))
                return at(row.line, std::string(item.name) + " must be a whole number from " +
                                        std::to_string(lowest) + " to " +
                                        std::to_string(highestIndex(item.kind)) + ", not " +
                                        quoteForMessage(field));
            if (item.kind == Kind::PointCount)
                count = static_cast<int>(*number);
            else
                criterion(out.criteria, item.kind) = static_cast<int>(*number);
        }
        return std::nullopt;
    }

    std::optional<std::string> point(const CsvRow& row, MeasuredDataSet& values, std::size_t i) {
        if (row.fields.size() != 3)
            return at(row.line, "a point line holds 3 numbers, found " +
                                    std::to_string(row.fields.size()) + " items");
        PointColumn* columns[] = {&values.normSat, &values.krAxis, &values.krOther};
        for (std::size_t c = 0; c < 3; ++c) {
            auto number = numberField(row.fields[c]);
            if (!number)
                return at(row.line,
                          "a point value must be a number, not " + quoteForMessage(row.fields[c]));
            (*columns[c])[i] = *number;
        }
        return std::nullopt;
    }

    std::vector<CsvRow> rows_;
    const std::string& fileName_;
};

} // namespace

std::vector<LineTwoItem> lineTwoItems(int systemIndex) {
    const LineTwoItem count{Kind::PointCount, nullptr, "the point count"};
    const LineTwoItem wettability{Kind::Wettability, nullptr, "the wettability criterion"};
    const LineTwoItem location{Kind::Location, nullptr, "the location criterion"};
    const LineTwoItem lithology{Kind::Lithology, nullptr, "the lithology criterion"};
    const LineTwoItem method{Kind::Method, nullptr, "the method criterion"};
    const LineTwoItem depth = header(&M::depthFtSs, "the depth");
    const LineTwoItem porosity = header(&M::porosityFraction, "the porosity");
    const LineTwoItem k = header(&M::permeabilityMd, "k");
    const LineTwoItem kabs = header(&M::absPermeabilityMd, "kabs");
    const LineTwoItem swc = header(&M::connateWater, "Swc");
    const LineTwoItem sgc = header(&M::criticalGas, "Sgc");
    if (systemIndex < 0 || systemIndex > 3)
        return {};
    const bool waterOil = systemIndex == 0;
    const bool gasCondensate = systemIndex == 3;
    std::vector<LineTwoItem> items{count};
    if (waterOil)
        items.push_back(wettability);
    items.insert(items.end(), {location, lithology, method});
    if (!gasCondensate)
        items.push_back(depth);
    items.insert(items.end(), {porosity, k, kabs, swc});
    if (waterOil)
        items.push_back(header(&M::residualOilToWater, "Sorw"));
    else
        items.push_back(sgc);
    // A gas-water file carries Sorg too, although gas-water records have none.
    if (!waterOil && !gasCondensate)
        items.push_back(header(&M::residualOilToGas, "Sorg"));
    return items;
}

std::string dataSetFileText(const SavedDataSet& saved) {
    CsvWriter w;
    w.integer(saved.systemIndex).text(saved.title).endLine();
    const MeasuredDataSet& v = saved.values;
    const std::vector<LineTwoItem> items = lineTwoItems(saved.systemIndex);
    SearchCriteria criteria = saved.criteria;
    for (const LineTwoItem& item : items) {
        if (item.kind == Kind::Header)
            writeTaggedValue(w, v.*item.member);
        else if (item.kind == Kind::PointCount)
            w.integer(v.pointCount);
        else
            w.integer(criterion(criteria, item.kind));
    }
    if (!items.empty())
        w.endLine();
    for (int i = 1; i <= v.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        w.number(v.normSat[at]).number(v.krAxis[at]).number(v.krOther[at]).endLine();
    }
    return w.str();
}

std::optional<std::string> parseDataSetFile(std::string_view text, const std::string& fileName,
                                            SavedDataSet& out) {
    SavedDataSet parsed;
    if (auto error = Parser(text, fileName).parse(parsed))
        return error;
    out = std::move(parsed);
    return std::nullopt;
}

std::optional<std::string> saveDataSetFile(const std::filesystem::path& path,
                                           const SavedDataSet& saved) {
    return writeFileAtomically(path, dataSetFileText(saved));
}

std::optional<std::string> openDataSetFile(const std::filesystem::path& path, SavedDataSet& out) {
    FileStart start;
    if (auto problem = readFileStart(path, PipeUse::Refuse, dataSetFileReadLimit, start))
        return "Could not read " + quotedName(path.string()) + ": " + *problem + ".";
    if (start.more)
        return path.string() + " is not a data-set file: it goes on past " +
               std::to_string(dataSetFileReadLimit >> 20) +
               " MiB, and a saved data set (a title, one line of values and at most " +
               std::to_string(maxPoints) + " points) fills a few kB.";
    return parseDataSetFile(start.text, path.string(), out);
}

void applySavedValues(const SavedDataSet& saved, MeasuredDataSet& set) {
    for (const LineTwoItem& item : lineTwoItems(saved.systemIndex))
        if (item.kind == Kind::Header)
            set.*item.member = saved.values.*item.member;
    set.pointCount = saved.values.pointCount;
    for (int i = 1; i <= saved.values.pointCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        set.normSat[at] = saved.values.normSat[at];
        set.krAxis[at] = saved.values.krAxis[at];
        set.krOther[at] = saved.values.krOther[at];
    }
}

} // namespace relperm
