#include "satfunc/xlsx.h"

#include "common/quotedtext.h"
#include "common/readfile.h"

#include <expat.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <type_traits>
#include <unistd.h>

namespace relperm {

namespace {

constexpr int lastColumn = 16384; // XFD
constexpr int lastRow = 1048576;
// A worksheet nests a cell's text seven elements deep and its extensions a few more. Expat
// keeps every open element, so a part that only opens elements would cost memory in
// proportion to its size; nothing real comes near this depth.
constexpr std::size_t deepestNesting = 256;
// A message listing a workbook's sheets names this many and counts the rest.
constexpr std::size_t sheetsListed = 20;

std::string sizeText(std::uint64_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0)
        return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool sameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool endsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

void appendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
        out += char(code);
    } else if (code < 0x800) {
        out += char(0xC0 | (code >> 6));
        out += char(0x80 | (code & 0x3F));
    } else {
        out += char(0xE0 | (code >> 12));
        out += char(0x80 | ((code >> 6) & 0x3F));
        out += char(0x80 | (code & 0x3F));
    }
}

// Workbook texts write a character XML cannot hold (a carriage return, a control
// character) as _xHHHH_, and an underscore that would start such a form as _x005F_.
std::string unescapedText(std::string_view text) {
    if (text.find("_x") == std::string_view::npos)
        return std::string(text);
    const auto hexDigit = [](char c) {
        return c >= '0' && c <= '9'   ? c - '0'
               : c >= 'A' && c <= 'F' ? c - 'A' + 10
               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                      : -1;
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '_' && i + 7 <= text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            unsigned code = 0;
            bool hex = true;
            for (std::size_t k = i + 2; k < i + 6; ++k) {
                const int d = hexDigit(text[k]);
                hex = hex && d >= 0;
                code = code * 16 + unsigned(std::max(d, 0));
            }
            // Half of a surrogate pair is no character on its own; it stays as written.
            if (hex && (code < 0xD800 || code > 0xDFFF)) {
                appendUtf8(out, code);
                i += 7;
                continue;
            }
        }
        out += text[i++];
    }
    return out;
}

std::string columnName(int column) {
    std::string name;
    for (; column > 0; column = (column - 1) / 26)
        name.insert(name.begin(), char('A' + (column - 1) % 26));
    return name;
}

std::string cellName(int column, int row) {
    return columnName(column) + std::to_string(row);
}

// Digits only, from 1 to `largest`; 0 for anything else.
int positiveNumber(std::string_view text, int largest) {
    if (text.empty() || text.size() > 7)
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value <= largest ? value : 0;
}

enum class Reference { Cell, NoCell, BeyondColumns };

// A cell reference such as "B3", columns and rows counted from 1.
Reference parseReference(std::string_view ref, int& column, int& row) {
    std::size_t i = 0;
    column = 0;
    for (; i < ref.size() && std::isalpha(static_cast<unsigned char>(ref[i])); ++i) {
        const int letter = (ref[i] | 0x20) - 'a' + 1;
        column = std::min(column * 26 + letter, lastColumn + 1);
    }
    row = positiveNumber(ref.substr(i), lastRow);
    if (i == 0 || row == 0)
        return Reference::NoCell;
    return column > lastColumn ? Reference::BeyondColumns : Reference::Cell;
}

// The zip entry a relationship's target names: relative to xl/, or from the package's
// root when it starts with '/'.
std::optional<std::string> partName(std::string_view target) {
    std::vector<std::string_view> segments;
    if (!target.empty() && target[0] == '/')
        target.remove_prefix(1);
    else
        segments.push_back("xl");
    while (!target.empty()) {
        const auto slash = target.find('/');
        const std::string_view segment = target.substr(0, slash);
        target = slash == std::string_view::npos ? std::string_view{} : target.substr(slash + 1);
        if (segment == "..") {
            if (segments.empty())
                return std::nullopt;
            segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.push_back(segment);
        }
    }
    if (segments.empty())
        return std::nullopt;
    std::string name;
    for (std::string_view segment : segments)
        name.append(name.empty() ? "" : "/").append(segment);
    return name;
}

// ---- XML parts --------------------------------------------------------------------------

// What one XML part says, element by element. Names come without their namespace prefix:
// writers choose prefixes freely, and the element names of the parts read here do not
// collide.
class XmlHandler {
  public:
    virtual ~XmlHandler() = default;
    // `open` holds the element itself as its last name.
    virtual void start(const char** attributes) = 0;
    // Still with the element as the last name of `open`.
    virtual void end() {}
    virtual void text(std::string_view) {}

    // The names of the open elements, the innermost last.
    std::vector<std::string> open;
    // The refusal that stops the parse, set by a handler that cannot go on.
    std::optional<std::string> problem;

  protected:
    bool is(std::string_view name) const { return open.back() == name; }
    // Whether the element `up` levels above the innermost is `name`.
    bool within(std::string_view name, std::size_t up = 1) const {
        return open.size() > up && open[open.size() - 1 - up] == name;
    }
};

std::string_view localName(std::string_view name) {
    const auto colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// An attribute without a prefix, or with one (r:id) when `prefixed`; null when absent.
const char* attribute(const char** attributes, std::string_view name, bool prefixed = false) {
    for (; *attributes; attributes += 2) {
        const std::string_view full = attributes[0];
        const auto colon = full.find(':');
        const bool match = prefixed
                               ? colon != std::string_view::npos &&
                                     full.substr(0, colon) != "xmlns" && localName(full) == name
                               : full == name;
        if (match)
            return attributes[1];
    }
    return nullptr;
}

struct ParseState {
    XML_Parser parser;
    XmlHandler& handler;
    const char* structural = nullptr; // a refusal of the part's form rather than its content
};

void stopOn(ParseState& state) {
    if (state.handler.problem || state.structural)
        XML_StopParser(state.parser, XML_FALSE);
}

// Expat may still deliver what it holds after a stop; a stopped parse ignores it.
bool stopped(const ParseState& state) {
    return state.handler.problem || state.structural;
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& state = *static_cast<ParseState*>(data);
    if (stopped(state))
        return;
    if (state.handler.open.size() == deepestNesting) {
        state.structural = "nests its elements more than 256 deep";
    } else {
        state.handler.open.emplace_back(localName(name));
        state.handler.start(attributes);
    }
    stopOn(state);
}

void XMLCALL onEnd(void* data, const XML_Char*) {
    auto& state = *static_cast<ParseState*>(data);
    if (stopped(state))
        return;
    state.handler.end();
    state.handler.open.pop_back();
    stopOn(state);
}

void XMLCALL onText(void* data, const XML_Char* text, int length) {
    auto& state = *static_cast<ParseState*>(data);
    if (stopped(state))
        return;
    state.handler.text({text, static_cast<std::size_t>(length)});
    stopOn(state);
}

// A document type could define entities that expand a small part into a huge text; no
// workbook part has one, so the parse ends at its start.
void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
    auto& state = *static_cast<ParseState*>(data);
    if (!stopped(state))
        state.structural = "declares a document type, which no workbook part does";
    stopOn(state);
}

using Parser = std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)>;

// The workbook's sheets in the order it shows them, each with its relationship id.
struct WorkbookSheets : XmlHandler {
    struct Entry {
        std::string name;
        std::string relationship;
    };
    std::vector<Entry> sheets;

    void start(const char** attributes) override {
        if (!is("sheet") || !within("sheets"))
            return;
        const char* name = attribute(attributes, "name");
        const char* id = attribute(attributes, "id", true);
        sheets.push_back({name ? name : "", id ? id : ""});
    }
};

struct Relationships : XmlHandler {
    struct Entry {
        std::string id, type, target;
        bool external = false;
    };
    std::vector<Entry> entries;

    void start(const char** attributes) override {
        if (!is("Relationship") || !within("Relationships"))
            return;
        const auto text = [&](const char* name) {
            const char* value = attribute(attributes, name);
            return std::string(value ? value : "");
        };
        entries.push_back(
            {text("Id"), text("Type"), text("Target"), text("TargetMode") == "External"});
    }

    const Entry* find(std::string_view id) const {
        for (const Entry& entry : entries)
            if (entry.id == id)
                return &entry;
        return nullptr;
    }
    const Entry* ofType(std::string_view typeEnd) const {
        for (const Entry& entry : entries)
            if (!entry.external && endsWith(entry.type, typeEnd))
                return &entry;
        return nullptr;
    }
};

// The shared strings in one block of text: a string object each would cost more than the
// part itself when it holds millions of short strings.
struct SharedStrings : XmlHandler {
    std::string texts;
    std::vector<std::size_t> ends; // where each string ends in `texts`
    std::size_t depth = 0;         // of the <si> being read, 0 between them
    std::size_t begin = 0;

    void start(const char**) override {
        if (depth == 0 && is("si") && within("sst")) {
            depth = open.size();
            begin = texts.size();
        }
    }
    // A string is its <t>, or the <t> of each of its rich-text runs; the <t> of a
    // phonetic run (<rPh>) is a reading aid, not part of the text.
    void text(std::string_view piece) override {
        if (depth != 0 && is("t") && (within("si") || (within("r") && within("si", 2))))
            texts.append(piece);
    }
    void end() override {
        if (depth != open.size())
            return;
        const std::string_view raw = std::string_view(texts).substr(begin);
        if (raw.find("_x") != std::string_view::npos) {
            std::string unescaped = unescapedText(raw);
            texts.resize(begin);
            texts += unescaped;
        }
        ends.push_back(texts.size());
        depth = 0;
    }

    std::size_t size() const { return ends.size(); }
    std::string_view at(std::size_t i) const {
        const std::size_t from = i == 0 ? 0 : ends[i - 1];
        return std::string_view(texts).substr(from, ends[i] - from);
    }
};

// The rows of one worksheet as the reader wants them.
class SheetCells : public XmlHandler {
  public:
    SheetCells(Sheet& sheet, const SharedStrings& shared, const XlsxLimits& limits,
               std::string place)
        : sheet_(sheet), shared_(shared), limits_(limits), place_(std::move(place)) {}

    void start(const char** attributes) override {
        if (rowDepth_ == 0 && is("row") && within("sheetData"))
            startRow(attributes);
        else if (rowDepth_ != 0 && cellDepth_ == 0 && is("c") && within("row"))
            startCell(attributes);
        else if (cellDepth_ != 0 && open.size() == cellDepth_ + 1)
            cellPart();
    }

    void text(std::string_view piece) override {
        if (cellDepth_ == 0)
            return;
        if (open.size() == cellDepth_ + 1 && is("v"))
            cell_.value.append(piece);
        else if (is("t") && (within("is") || (within("r") && within("is", 2))))
            cell_.inlineText.append(piece);
    }

    void end() override {
        if (cellDepth_ != 0 && open.size() == cellDepth_) {
            endCell();
            cellDepth_ = 0;
        } else if (rowDepth_ != 0 && open.size() == rowDepth_) {
            endRow();
            rowDepth_ = 0;
        }
    }

  private:
    struct Cell {
        int column = 0;
        std::string type;
        std::string value, inlineText;
        bool hasValue = false, hasFormula = false, hasInline = false;
    };

    void refuse(std::string message) {
        if (!problem)
            problem = "In " + place_ + ", " + std::move(message) + ".";
    }
    void refuseCell(const std::string& what) {
        refuse("cell " + cellName(cell_.column, row_.number) + " of sheet " +
               quotedText(sheet_.name) + " " + what);
    }
    void refuseSheet(const std::string& what) {
        refuse("sheet " + quotedText(sheet_.name) + " " + what);
    }

    // A row's number: its own r, else that of its first cell with one, else the one after
    // the row before.
    bool numberRow(int number) {
        if (number <= previousRow_) {
            refuseSheet("has row " + std::to_string(number) + " after row " +
                        std::to_string(previousRow_));
            return false;
        }
        row_.number = number;
        return true;
    }
    bool numberRowByOrder() {
        if (previousRow_ == lastRow) {
            refuseSheet("has a row after row " + std::to_string(lastRow));
            return false;
        }
        row_.number = previousRow_ + 1;
        return true;
    }

    void startRow(const char** attributes) {
        rowDepth_ = open.size();
        row_ = SheetRow{};
        lastCellColumn_ = 0;
        if (const char* r = attribute(attributes, "r")) {
            const int number = positiveNumber(r, lastRow);
            if (number == 0)
                refuseSheet("has a row number that names no row: " + quotedText(r));
            else
                numberRow(number);
        }
    }

    void startCell(const char** attributes) {
        cellDepth_ = open.size();
        cell_ = Cell{};
        const char* type = attribute(attributes, "t");
        cell_.type = type ? type : "n";
        if (const char* r = attribute(attributes, "r")) {
            int column = 0, row = 0;
            switch (parseReference(r, column, row)) {
            case Reference::NoCell:
                return refuseSheet("has a cell reference that names no cell: " + quotedText(r));
            case Reference::BeyondColumns:
                return refuseSheet("has a cell beyond column XFD: " + quotedText(r));
            case Reference::Cell:
                break;
            }
            if (row_.number == 0 && !numberRow(row))
                return;
            if (row != row_.number)
                return refuseSheet("has cell " + cellName(column, row) + " in row " +
                                   std::to_string(row_.number));
            if (column <= lastCellColumn_)
                return refuseSheet("has cell " + cellName(column, row) + " after cell " +
                                   cellName(lastCellColumn_, row));
            cell_.column = column;
        } else {
            if (row_.number == 0 && !numberRowByOrder())
                return;
            if (lastCellColumn_ == lastColumn)
                return refuseSheet("has a cell after " + cellName(lastColumn, row_.number));
            cell_.column = lastCellColumn_ + 1;
        }
        lastCellColumn_ = cell_.column;
    }

    void cellPart() {
        if (is("v"))
            cell_.hasValue = true;
        else if (is("f"))
            cell_.hasFormula = true;
        else if (is("is"))
            cell_.hasInline = true;
    }

    // The cell's text as the spreadsheet shows it, or nothing after a refusal.
    std::optional<std::string> cellText() {
        const std::string& type = cell_.type;
        if (cell_.hasFormula && !cell_.hasValue && type != "inlineStr") {
            refuseCell("holds a formula that was never computed: open the workbook in a "
                       "spreadsheet program and save it again");
            return std::nullopt;
        }
        const std::string_view value = trimmed(cell_.value);
        if (type == "n" || type == "d")
            return std::string(value);
        if (type == "str")
            return unescapedText(cell_.value);
        if (type == "inlineStr")
            return unescapedText(cell_.hasInline ? cell_.inlineText : cell_.value);
        if (type == "s")
            return sharedString(value);
        if (type == "b") {
            if (value == "1" || value == "0" || value.empty())
                return std::string(value == "1" ? "TRUE" : value == "0" ? "FALSE" : "");
            refuseCell("holds the boolean " + quotedText(value) + ", which is neither 0 nor 1");
            return std::nullopt;
        }
        if (type == "e") {
            const bool plain =
                !value.empty() && value.size() <= 16 &&
                std::all_of(value.begin(), value.end(), [](char c) {
                    return std::isalnum(static_cast<unsigned char>(c)) ||
                           std::string_view("#/!?_.").find(c) != std::string_view::npos;
                });
            refuseCell("holds the error " + (plain ? std::string(value) : quotedText(value)));
            return std::nullopt;
        }
        refuseCell("has the unknown type " + quotedText(type));
        return std::nullopt;
    }

    std::optional<std::string> sharedString(std::string_view index) {
        if (index.empty() && !cell_.hasValue)
            return std::string();
        const bool digits =
            !index.empty() && index.size() <= 12 &&
            std::all_of(index.begin(), index.end(), [](char c) { return c >= '0' && c <= '9'; });
        if (!digits) {
            refuseCell("refers to shared string " + quotedText(index) + ", which is no index");
            return std::nullopt;
        }
        const std::size_t i = std::stoull(std::string(index));
        if (i >= shared_.size()) {
            refuseCell("refers to shared string " + std::to_string(i) + ", and the workbook has " +
                       (shared_.size() == 0 ? std::string("none")
                                            : "only " + std::to_string(shared_.size())));
            return std::nullopt;
        }
        return std::string(shared_.at(i));
    }

    void endCell() {
        if (problem)
            return;
        std::optional<std::string> text = cellText();
        if (!text || text->empty())
            return;
        auto& cells = row_.cells;
        cellsHeld_ += static_cast<std::size_t>(cell_.column) - cells.size();
        textHeld_ += text->size();
        if (cellsHeld_ > limits_.cells)
            return refuse("sheet " + quotedText(sheet_.name) + " holds more than " +
                          std::to_string(limits_.cells) + " cells, too many for a parameter table");
        if (textHeld_ > limits_.partBytes)
            return refuse("the cells of sheet " + quotedText(sheet_.name) + " hold more than " +
                          sizeText(limits_.partBytes) + " of text, too much for a parameter table");
        cells.resize(static_cast<std::size_t>(cell_.column) - 1);
        cells.push_back(std::move(*text));
    }

    void endRow() {
        if (problem)
            return;
        if (row_.number == 0 && !numberRowByOrder())
            return;
        previousRow_ = row_.number;
        if (!row_.cells.empty())
            sheet_.rows.push_back(std::move(row_));
    }

    Sheet& sheet_;
    const SharedStrings& shared_;
    const XlsxLimits& limits_;
    std::string place_; // the quoted file name
    std::size_t rowDepth_ = 0, cellDepth_ = 0;
    SheetRow row_;
    Cell cell_;
    int previousRow_ = 0;
    int lastCellColumn_ = 0;
    std::size_t cellsHeld_ = 0;
    std::uint64_t textHeld_ = 0;
};

// ---- The package --------------------------------------------------------------------------

struct ZipDiscard {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};
using Archive = std::unique_ptr<zip_t, ZipDiscard>;

struct ZipFileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

std::string zipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

class WorkbookReader {
  public:
    WorkbookReader(zip_t* zip, std::string fileName, const XlsxLimits& limits)
        : zip_(zip), fileName_(std::move(fileName)), quoted_(quotedName(fileName_)),
          limits_(limits) {}

    // The sheets xl/workbook.xml lists; a workbook without one is refused, since it holds
    // no table either way.
    std::variant<WorkbookSheets, Refusal> sheets() const {
        WorkbookSheets workbook;
        if (!exists("xl/workbook.xml"))
            return refuse(quoted_ + " is not an .xlsx workbook: it holds no xl/workbook.xml.");
        if (auto problem = parse("xl/workbook.xml", workbook))
            return refuse(*problem);
        if (workbook.sheets.empty())
            return refuse(quoted_ + " holds no sheet.");
        return workbook;
    }

    std::variant<std::vector<std::string>, Refusal> sheetNames() const {
        auto listed = sheets();
        if (auto* refusal = std::get_if<Refusal>(&listed))
            return *refusal;
        std::vector<std::string> names;
        for (const WorkbookSheets::Entry& sheet : std::get<WorkbookSheets>(listed).sheets)
            names.push_back(sheet.name);
        return names;
    }

    std::variant<Sheet, Refusal> read(const std::string& sheetName) {
        auto listed = sheets();
        if (auto* refusal = std::get_if<Refusal>(&listed))
            return *refusal;
        const WorkbookSheets& workbook = std::get<WorkbookSheets>(listed);
        const WorkbookSheets::Entry* chosen = choose(workbook.sheets, sheetName);
        if (!chosen)
            return Refusal{"sheet", missingSheet(workbook.sheets, sheetName)};

        const std::string rels = "xl/_rels/workbook.xml.rels";
        Relationships relationships;
        if (!exists(rels))
            return refuse(quoted_ + " is damaged: it holds no " + rels +
                          ", which tells where its sheets are.");
        if (auto problem = parse(rels, relationships))
            return refuse(*problem);
        const Relationships::Entry* entry = relationships.find(chosen->relationship);
        const std::optional<std::string> part =
            entry && !entry->external ? partName(entry->target) : std::nullopt;
        if (!part || !exists(*part))
            return refuse(quoted_ + " is damaged: the cells of sheet " + quotedText(chosen->name) +
                          " are missing.");
        if (endsWith(entry->type, "/chartsheet"))
            return refuse("Sheet " + quotedText(chosen->name) + " of " + quoted_ +
                          " is a chart, which holds no cells.");

        SharedStrings shared;
        const Relationships::Entry* strings = relationships.ofType("/sharedStrings");
        const std::string stringsPart =
            strings ? partName(strings->target).value_or("") : "xl/sharedStrings.xml";
        if (exists(stringsPart))
            if (auto problem = parse(stringsPart, shared))
                return refuse(*problem);

        Sheet sheet;
        sheet.name = chosen->name;
        SheetCells cells(sheet, shared, limits_, quoted_);
        if (auto problem = parse(*part, cells))
            return refuse(*problem);
        return sheet;
    }

  private:
    Refusal refuse(std::string message) const { return Refusal{fileName_, std::move(message)}; }

    // Part names are compared ignoring case, as the package format has them; the exact
    // name first, which libzip finds by its hash rather than by a pass over every entry.
    zip_int64_t locate(const std::string& part) const {
        if (part.empty())
            return -1;
        const zip_int64_t exact = zip_name_locate(zip_, part.c_str(), 0);
        return exact >= 0 ? exact : zip_name_locate(zip_, part.c_str(), ZIP_FL_NOCASE);
    }
    bool exists(const std::string& part) const { return locate(part) >= 0; }

    std::string damaged(const std::string& part, const std::string& what) const {
        return quoted_ + " is damaged: its part " + quotedName(part) + " " + what + ".";
    }
    std::string tooLarge(const std::string& part) const {
        return quoted_ + " is too large to be a parameter table: its part " + quotedName(part) +
               " unpacks to more than " + sizeText(limits_.partBytes) + ".";
    }

    // The part's bytes, read no further than the bound whatever size the archive claims
    // for it: a forged size must not let a small file unpack into all of memory.
    std::optional<std::string> readPart(const std::string& part, std::string& bytes) const {
        const zip_int64_t index = locate(part);
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat_index(zip_, static_cast<zip_uint64_t>(index), 0, &stat) != 0)
            return damaged(part, std::string("cannot be found (") + zip_strerror(zip_) + ")");
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > limits_.partBytes)
            return tooLarge(part);
        std::unique_ptr<zip_file_t, ZipFileClose> file(
            zip_fopen_index(zip_, static_cast<zip_uint64_t>(index), 0));
        if (!file)
            return damaged(part, std::string("cannot be unpacked (") + zip_strerror(zip_) + ")");
        bytes.clear();
        if (stat.valid & ZIP_STAT_SIZE)
            bytes.reserve(static_cast<std::size_t>(stat.size));
        char block[64 * 1024];
        for (;;) {
            const zip_int64_t got = zip_fread(file.get(), block, sizeof block);
            if (got < 0)
                return damaged(part, std::string("cannot be unpacked (") +
                                         zip_file_strerror(file.get()) + ")");
            if (got == 0)
                return std::nullopt;
            if (bytes.size() + static_cast<std::uint64_t>(got) > limits_.partBytes)
                return tooLarge(part);
            bytes.append(block, static_cast<std::size_t>(got));
        }
    }

    // The part's content handed to `handler`, or the refusal of the part.
    std::optional<std::string> parse(const std::string& part, XmlHandler& handler) const {
        std::string bytes;
        if (auto problem = readPart(part, bytes))
            return problem;
        Parser parser(XML_ParserCreate(nullptr), &XML_ParserFree);
        if (!parser)
            return "Could not read " + quoted_ + ": out of memory.";
        ParseState state{parser.get(), handler};
        XML_SetUserData(parser.get(), &state);
        XML_SetElementHandler(parser.get(), onStart, onEnd);
        XML_SetCharacterDataHandler(parser.get(), onText);
        XML_SetStartDoctypeDeclHandler(parser.get(), onDoctype);
        // The whole part at once: expat 2.5 scans a token that spans several pieces again
        // with each piece, which makes one huge token cost time in its square.
        std::string_view rest = bytes;
        XML_Status status = XML_STATUS_OK;
        do {
            const std::size_t piece = std::min<std::size_t>(rest.size(), INT_MAX / 2);
            status =
                XML_Parse(parser.get(), rest.data(), static_cast<int>(piece), piece == rest.size());
            rest.remove_prefix(piece);
        } while (status == XML_STATUS_OK && !rest.empty());
        if (handler.problem)
            return handler.problem;
        if (state.structural)
            return damaged(part, state.structural);
        if (status != XML_STATUS_OK)
            return damaged(part, "is not well-formed XML (line " +
                                     std::to_string(XML_GetCurrentLineNumber(parser.get())) + ": " +
                                     XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
        return std::nullopt;
    }

    static const WorkbookSheets::Entry* choose(const std::vector<WorkbookSheets::Entry>& sheets,
                                               const std::string& name) {
        if (name.empty())
            return &sheets.front();
        for (const auto& sheet : sheets)
            if (sheet.name == name)
                return &sheet;
        for (const auto& sheet : sheets)
            if (sameIgnoringAsciiCase(sheet.name, name))
                return &sheet;
        return nullptr;
    }

    std::string missingSheet(const std::vector<WorkbookSheets::Entry>& sheets,
                             const std::string& name) const {
        std::string list;
        const std::size_t listed = std::min(sheets.size(), sheetsListed);
        for (std::size_t i = 0; i < listed; ++i) {
            if (i > 0)
                list += i + 1 == listed && listed == sheets.size() ? " and " : ", ";
            list += quotedText(sheets[i].name);
        }
        if (listed < sheets.size())
            list += " and " + std::to_string(sheets.size() - listed) + " more";
        return quoted_ + " has no sheet named " + quotedText(name) +
               (sheets.size() == 1 ? "; its only sheet is " : "; its sheets are ") + list + ".";
    }

    zip_t* zip_;
    std::string fileName_;
    std::string quoted_;
    const XlsxLimits& limits_;
};

// Why a file that libzip would not open is no workbook, from libzip's error and its
// first bytes.
Refusal notAWorkbook(const std::string& fileName, int zipError, std::string_view head) {
    const std::string quoted = quotedName(fileName);
    // Excel's .xls and a password-protected .xlsx are both compound documents.
    if (head.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return Refusal{fileName, quoted + " is not an .xlsx workbook: it is an Excel 97-2003 "
                                          "workbook or one locked with a password; save it "
                                          "as an .xlsx workbook without a password."};
    if (zipError == ZIP_ER_NOZIP || zipError == ZIP_ER_INCONS)
        return Refusal{fileName, quoted + " is not an .xlsx workbook: it is no zip archive (" +
                                     zipErrorText(zipError) + ")."};
    return Refusal{fileName, "Could not read " + quoted + ": " + zipErrorText(zipError) + "."};
}

std::optional<Refusal> sizeRefusal(const std::string& fileName, std::uint64_t size,
                                   const XlsxLimits& limits) {
    if (size == 0)
        return Refusal{fileName, quotedName(fileName) + " is not an .xlsx workbook: it is empty."};
    if (size > limits.fileBytes)
        return Refusal{fileName, quotedName(fileName) +
                                     " is too large to be a parameter table: a workbook " +
                                     "is read up to " + sizeText(limits.fileBytes) + "."};
    return std::nullopt;
}

// `use` given the reader of the workbook `file`, once the file is known to be one within
// `limits`; the sheet reader and the sheet list open it alike.
template <class Result, class Use>
std::variant<Result, Refusal> withWorkbook(const std::filesystem::path& file,
                                           const XlsxLimits& limits, Use use) {
    const std::string fileName = file.string();
    std::string problem;
    const int fd = openForReading(file, PipeUse::Refuse, problem);
    if (fd < 0)
        return Refusal{fileName, "Could not read " + quotedName(fileName) + ": " + problem + "."};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        ::close(fd);
        return Refusal{fileName, "Could not read " + quotedName(fileName) + "."};
    }
    if (auto refusal = sizeRefusal(fileName, static_cast<std::uint64_t>(status.st_size), limits)) {
        ::close(fd);
        return *refusal;
    }
    int error = 0;
    Archive zip(zip_fdopen(fd, 0, &error));
    if (!zip) {
        char head[8] = {};
        const ssize_t got = ::pread(fd, head, sizeof head, 0);
        ::close(fd);
        return notAWorkbook(fileName, error, {head, got > 0 ? static_cast<std::size_t>(got) : 0});
    }
    WorkbookReader reader(zip.get(), fileName, limits);
    return use(reader);
}

} // namespace

std::variant<Sheet, Refusal> readXlsxSheet(const std::filesystem::path& file,
                                           const std::string& sheetName) {
    return readXlsxSheet(file, sheetName, XlsxLimits{});
}

std::variant<Sheet, Refusal> readXlsxSheet(const std::filesystem::path& file,
                                           const std::string& sheetName, const XlsxLimits& limits) {
    return withWorkbook<Sheet>(
        file, limits, [&sheetName](WorkbookReader& reader) { return reader.read(sheetName); });
}

std::variant<std::vector<std::string>, Refusal> xlsxSheetNames(const std::filesystem::path& file) {
    return withWorkbook<std::vector<std::string>>(
        file, XlsxLimits{}, [](WorkbookReader& reader) { return reader.sheetNames(); });
}

std::variant<Sheet, Refusal> readXlsxSheetFromMemory(std::string_view bytes,
                                                     const std::string& fileName,
                                                     const std::string& sheetName,
                                                     const XlsxLimits& limits) {
    if (auto refusal = sizeRefusal(fileName, bytes.size(), limits))
        return *refusal;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    Archive zip(source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr);
    if (!zip) {
        if (source)
            zip_source_free(source);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        return notAWorkbook(fileName, code, bytes);
    }
    zip_error_fini(&error);
    return WorkbookReader(zip.get(), fileName, limits).read(sheetName);
}

} // namespace relperm
