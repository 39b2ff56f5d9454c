// The first or a named sheet of an .xlsx workbook as rows of cell texts, for the parameter
// table an engineer keeps in a spreadsheet, and the names of its sheets to choose from.
//
// The workbook comes from anywhere, so reading it is bounded: a file that unpacks to
// gigabytes, a sheet of a million cells or a shared string copied into every cell is
// refused before it costs that memory or time.
#pragma once

#include "common/refusal.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace relperm {

// One row of a sheet: its number as the spreadsheet shows it (1-based) and its cells from
// column A on, an empty text where a cell is empty or missing. The row ends at its last
// non-empty cell.
struct SheetRow {
    int number = 0;
    std::vector<std::string> cells;
};

struct Sheet {
    std::string name;           // as the workbook spells it
    std::vector<SheetRow> rows; // rows holding at least one non-empty cell, in sheet order
};

// What one workbook may cost. A parameter table is a few kB; these are far above any
// spreadsheet an engineer keeps one in. Opening a zip costs memory and time for each of its
// entries, some 300 bytes and 3 us: a 64 MiB file of empty entries takes 200 MB and 2 s.
struct XlsxLimits {
    std::uint64_t fileBytes = std::uint64_t{64} << 20; // the workbook file itself
    std::uint64_t partBytes = std::uint64_t{64} << 20; // one XML part once unpacked; also
                                                       // the sheet's text all told
    std::size_t cells = 1'000'000; // the sheet's cells, the empty ones before a cell included
};

// The sheet named `sheetName` (matched as typed, else ignoring ASCII case as the
// spreadsheet does), or the first sheet when it is empty. Numbers come as the workbook
// stores them (the shortest text that reads back as the value, e.g. "0.1" or "1E-3"), texts
// as typed, a formula as its last computed value, a boolean as TRUE or FALSE, as the
// spreadsheet shows it. A file that is no workbook, a part too large to be a parameter
// table or a cell holding an error (#N/A, #DIV/0!) is refused naming the file, and the cell
// where there is one; the refusal's input is "sheet" when only the sheet is missing, the
// file's path otherwise.
std::variant<Sheet, Refusal> readXlsxSheet(const std::filesystem::path& file,
                                           const std::string& sheetName = {});
std::variant<Sheet, Refusal> readXlsxSheet(const std::filesystem::path& file,
                                           const std::string& sheetName, const XlsxLimits& limits);

// The same from a workbook already in memory, named `fileName` in messages.
std::variant<Sheet, Refusal> readXlsxSheetFromMemory(std::string_view bytes,
                                                     const std::string& fileName,
                                                     const std::string& sheetName = {},
                                                     const XlsxLimits& limits = {});

// The names of the workbook's sheets in the order its tabs show them, for the engineer to
// choose the one holding the table; refused as readXlsxSheet refuses a file that is no
// workbook.
std::variant<std::vector<std::string>, Refusal> xlsxSheetNames(const std::filesystem::path& file);

} // namespace relperm
