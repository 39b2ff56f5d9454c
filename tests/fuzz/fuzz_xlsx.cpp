// The .xlsx reader, as the first sheet and as a sheet asked for by name.
//
// An input starting as a zip does is the workbook file itself. Any other input is the text
// of its XML parts, separated by NUL bytes: the first sheet, the shared strings, the second
// sheet, xl/workbook.xml and its relationships, each part not given being that of a plain
// two-sheet workbook; the target packs them into a zip. A changed byte in a packed part
// mostly fails the zip's checksum, so without this the XML readers would see few inputs.
//
// Checks: a sheet that is read keeps the shape the header promises (rows in increasing
// order within the sheet's bounds, each ending at a non-empty cell, all within the cell
// and text bounds), and a refusal names the file, or the sheet when only that is missing.
// The bounds are smaller than a user's so that an input unpacking to the bound is quick.
#include "fuzz_check.h"
#include "satfunc/xlsx.h"

#include <zip.h>

#include <array>
#include <optional>

using namespace relperm;
using relperm::fuzz::require;

namespace {

const std::string fileName = "fuzz.xlsx";

void check(const std::variant<Sheet, Refusal>& result, const XlsxLimits& limits, bool namedSheet) {
    if (const auto* refusal = std::get_if<Refusal>(&result)) {
        require(!refusal->message.empty(), "a refusal says why");
        require(refusal->input == fileName || (namedSheet && refusal->input == "sheet"),
                "a refusal names the file, or the sheet asked for", refusal->input);
        return;
    }
    const Sheet& sheet = std::get<Sheet>(result);
    int previous = 0;
    std::size_t cells = 0;
    std::uint64_t text = 0;
    for (const SheetRow& row : sheet.rows) {
        require(row.number > previous && row.number <= 1048576, "rows go down the sheet",
                std::to_string(previous) + " then " + std::to_string(row.number));
        previous = row.number;
        require(!row.cells.empty() && !row.cells.back().empty() && row.cells.size() <= 16384,
                "a row ends at a non-empty cell within column XFD");
        cells += row.cells.size();
        for (const std::string& cell : row.cells)
            text += cell.size();
    }
    require(cells <= limits.cells, "a sheet holds no more cells than the bound");
    require(text <= limits.partBytes, "a sheet holds no more text than the bound");
}

constexpr const char* mainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* relNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The parts in the order the input gives them, with their plain contents.
std::array<std::pair<std::string, std::string>, 5> plainParts() {
    const std::string sheet = std::string("<worksheet xmlns=\"") + mainNs +
                              "\"><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row>"
                              "</sheetData></worksheet>";
    const std::string rel = std::string("<Relationship Type=\"") + relNs;
    return {{
        {"xl/worksheets/sheet1.xml", sheet},
        {"xl/sharedStrings.xml",
         std::string("<sst xmlns=\"") + mainNs + "\"><si><t>SATNUM</t></si></sst>"},
        {"xl/worksheets/sheet2.xml", sheet},
        {"xl/workbook.xml", std::string("<workbook xmlns=\"") + mainNs + "\" xmlns:r=\"" + relNs +
                                "\"><sheets><sheet name=\"Sheet1\" sheetId=\"1\" r:id=\"rId1\"/>"
                                "<sheet name=\"SCAL recommendation\" sheetId=\"2\" "
                                "r:id=\"rId2\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">" +
             rel + "/worksheet\" Id=\"rId1\" Target=\"worksheets/sheet1.xml\"/>" + rel +
             "/worksheet\" Id=\"rId2\" Target=\"/xl/worksheets/sheet2.xml\"/>" + rel +
             "/sharedStrings\" Id=\"rId3\" Target=\"sharedStrings.xml\"/></Relationships>"},
    }};
}

// The parts packed into a zip as they are (stored, not compressed), or nothing if libzip
// would not write them.
std::optional<std::string> packed(std::string_view input) {
    auto parts = plainParts();
    for (std::size_t i = 0; i < parts.size() && !input.empty(); ++i) {
        const std::size_t end = i + 1 < parts.size() ? input.find('\0') : input.npos;
        parts[i].second = std::string(input.substr(0, end));
        input = end == input.npos ? std::string_view{} : input.substr(end + 1);
    }
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_error_fini(&error);
    if (!buffer)
        return std::nullopt;
    zip_source_keep(buffer);
    zip_t* zip = zip_open_from_source(buffer, ZIP_TRUNCATE, nullptr);
    bool written = zip != nullptr;
    for (std::size_t i = 0; written && i < parts.size(); ++i) {
        const auto& [name, text] = parts[i];
        zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
        const zip_int64_t index = source ? zip_file_add(zip, name.c_str(), source, 0) : -1;
        if (index < 0 && source)
            zip_source_free(source);
        written = index >= 0 && zip_set_file_compression(zip, static_cast<zip_uint64_t>(index),
                                                         ZIP_CM_STORE, 0) == 0;
    }
    if (zip && (!written || zip_close(zip) != 0)) {
        zip_discard(zip);
        written = false;
    }
    std::string bytes;
    zip_stat_t stat;
    if (written && zip_source_stat(buffer, &stat) == 0 && zip_source_open(buffer) == 0) {
        bytes.resize(static_cast<std::size_t>(stat.size));
        written =
            zip_source_read(buffer, bytes.data(), stat.size) == static_cast<zip_int64_t>(stat.size);
        zip_source_close(buffer);
    }
    zip_source_free(buffer);
    return written ? std::optional<std::string>(std::move(bytes)) : std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    XlsxLimits limits;
    limits.fileBytes = 1 << 20;
    limits.partBytes = 256 << 10;
    limits.cells = 20'000;
    const std::string_view input = fuzz::textOf(data, size);
    std::optional<std::string> workbook;
    if (input.substr(0, 2) != "PK") {
        workbook = packed(input);
        if (!workbook)
            return 0;
    }
    const std::string_view bytes = workbook ? std::string_view(*workbook) : input;
    check(readXlsxSheetFromMemory(bytes, fileName, {}, limits), limits, false);
    check(readXlsxSheetFromMemory(bytes, fileName, "SCAL recommendation", limits), limits, true);
    return 0;
}
