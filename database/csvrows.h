// Lines of comma-separated fields, for the database's two text formats (the saved data set
// and the import file), with the strict field readers both use: a file that a program
// writes must read back exactly, and a typing error in a file must be caught, not read as
// the number at the start of the field.
#pragma once

#include "common/csv.h"
#include "database/datafile.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace relperm {

struct CsvRow {
    int line = 0; // 1-based line of the row's first field
    std::vector<CsvField> fields;
};

// The rows of `text`, read by CsvReader (empty lines hold no row).
std::vector<CsvRow> csvRows(std::string_view text);

// The whole unquoted field as a finite number in decimal or E notation (".35", "-2",
// "1E-05"); nothing for anything else.
std::optional<double> numberField(const CsvField& field);
// The whole unquoted field as an integer.
std::optional<long> integerField(const CsvField& field);

// Reads a whole file into `text`; returns a message naming the file when it cannot.
std::optional<std::string> readTextFile(const std::filesystem::path& path, std::string& text);

// A header value as a field: nothing for an empty value, a quoted text for a string, the
// general number form otherwise.
void writeTaggedValue(CsvWriter& writer, const TaggedValue& value);

// `text` in the message form of a field: "\"abc\"" (or "an empty item").
std::string quoteForMessage(const CsvField& field);

} // namespace relperm
