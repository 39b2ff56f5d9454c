#include "calculator/runfile.h"

#include "common/csv.h"
#include "common/numbers.h"
#include "common/quotedtext.h"

#include <charconv>
#include <cmath>

namespace relperm {

namespace {

const char* const fieldNames[12] = {"the title",
                                    "the fluid system",
                                    "the correlation",
                                    "the wettability",
                                    "the formation",
                                    "the porosity",
                                    "Swc",
                                    "Sorw",
                                    "Sorg",
                                    "Sgc",
                                    "krg at Sorg",
                                    "the permeability"};

std::string fieldLabel(int index) {
    return "field " + std::to_string(index + 1) + " (" + fieldNames[index] + ")";
}

const CalculatorList listOrder[4] = {CalculatorList::Fluids, CalculatorList::Correlation,
                                     CalculatorList::Wettability, CalculatorList::Formation};
const char* const prompts[4] = {"Select Fluids", "Select Correlation", "Select Wettability",
                                "Select Formation"};

std::optional<int> parseInteger(std::string_view text) {
    int value = 0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::string runFileText(const RunFile& run) {
    CsvWriter out;
    out.text(run.title);
    for (int index : run.lists)
        out.integer(index);
    for (const std::optional<double>& value : run.values) {
        if (value)
            out.number(*value);
        else
            out.empty();
    }
    out.endLine();
    return out.str();
}

std::variant<RunFile, std::string> parseRunFile(std::string_view text) {
    CsvReader reader(text);
    RunFile run;
    for (int field = 0; field < 12; ++field) {
        std::optional<CsvField> f = reader.next();
        if (!f)
            return "it holds only " + std::to_string(field) + " of the 12 fields; " +
                   fieldLabel(field) + " is missing.";
        if (field == 0) {
            run.title = f->text;
        } else if (field <= 4) {
            std::optional<int> index = parseInteger(f->text);
            if (!index || *index < -1)
                return fieldLabel(field) + " must be a list position (-1 or more), not " +
                       quotedText(f->text) + ".";
            run.lists[static_cast<std::size_t>(field - 1)] = *index;
        } else if (!f->text.empty()) {
            std::optional<double> value = parseNumber(f->text);
            if (!value)
                return fieldLabel(field) + " must be a number or empty, not " +
                       quotedText(f->text) + ".";
            // An infinite value would fill the box with "Inf", which no file can hold.
            if (!std::isfinite(*value))
                return fieldLabel(field) + " is too large to be a number: " + quotedText(f->text) +
                       ".";
            run.values[static_cast<std::size_t>(field - 5)] = value;
        }
    }
    return run;
}

std::variant<RunFile, std::string> parseRunFileStart(const FileStart& start) {
    if (!start.more)
        return parseRunFile(start.text);
    const std::string limit = std::to_string(runFileReadLimit >> 20) + " MiB";
    const std::string_view text = start.text;
    // The last line end outside a quoted field: a title may hold line ends.
    std::size_t whole = 0;
    std::size_t followed = 0;
    CsvQuoteState quotes;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos;
         end = text.find('\n', end + 1)) {
        quotes.follow(text.substr(followed, end + 1 - followed));
        followed = end + 1;
        if (!quotes.insideQuotes())
            whole = followed;
    }
    if (whole == 0)
        return "its first line runs on past " + limit + ", and a run file is one short line.";
    const std::string_view lines = text.substr(0, whole);
    CsvReader reader(lines);
    for (int field = 0; field < 12; ++field)
        if (!reader.next())
            return "its first " + limit + " holds only " + std::to_string(field) +
                   " of the 12 fields, and a run file is one short line.";
    return parseRunFile(lines);
}

RunFile runFileOf(const CalculatorForm& form, const StoredInputs& inputs) {
    RunFile run;
    run.title = form.title;
    for (std::size_t i = 0; i < 4; ++i)
        run.lists[i] = form.list(listOrder[i]).picked;
    run.values = {100 * inputs.porosity.value_or(0),
                  100 * inputs.swc.value_or(0),
                  100 * inputs.sorw.value_or(0),
                  100 * inputs.sorg.value_or(0),
                  100 * inputs.sgc.value_or(0),
                  inputs.krgAtSorg,
                  inputs.permeability};
    return run;
}

std::optional<std::string> applyRunFile(const RunFile& run, CalculatorForm& form,
                                        StoredInputs& inputs) {
    CalculatorForm next = form;
    next.title = run.title;
    for (std::size_t i = 0; i < 4; ++i) {
        const int index = run.lists[i];
        const int size = static_cast<int>(next.list(listOrder[i]).entries.size());
        if (index == -1) {
            next.type(listOrder[i], prompts[i]); // no pick, and its prompt shows
        } else if (index >= size) {
            return fieldLabel(static_cast<int>(i) + 1) + " is " + std::to_string(index) +
                   ", but that list holds " + std::to_string(size) +
                   (size == 1 ? " entry" : " entries") + " at that point.";
        } else {
            next.pick(listOrder[i], index);
        }
    }

    std::string* boxes[7] = {&next.poro, &next.Swco, &next.sorwo, &next.sorgo,
                             &next.sgco, &next.krgo, &next.permo};
    for (std::size_t i = 0; i < 7; ++i)
        *boxes[i] = run.values[i] ? formatGeneral(*run.values[i], SignPlace::Blank) : "";

    StoredInputs stored;
    auto fraction = [&](std::size_t i) -> std::optional<double> {
        if (!run.values[i])
            return std::nullopt;
        return *run.values[i] / 100;
    };
    stored.porosity = fraction(0);
    stored.swc = fraction(1);
    stored.sorw = fraction(2);
    stored.sorg = fraction(3);
    stored.sgc = fraction(4);
    stored.krgAtSorg = run.values[5];
    stored.permeability = run.values[6];

    form = next;
    inputs = stored;
    return std::nullopt;
}

} // namespace relperm
