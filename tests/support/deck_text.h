// Reading back what relperm printed: its lines, and the rows of a simulator keyword.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace relperm::testing {

// The lines of `text`, without their line ends (LF or CR LF).
inline std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        out.push_back(line);
    }
    return out;
}

// The numbers of a keyword's rows, from the keyword's name to its closing slash.
inline std::vector<std::vector<double>> keywordRows(const std::string& text,
                                                    const std::string& keyword) {
    std::vector<std::vector<double>> rows;
    bool inside = false;
    for (const std::string& line : lines(text)) {
        if (line == keyword) {
            inside = true;
        } else if (inside && line == "/") {
            break;
        } else if (inside && line.rfind("--", 0) != 0) {
            std::istringstream in(line);
            std::vector<double> row;
            for (double v; in >> v;)
                row.push_back(v);
            rows.push_back(row);
        }
    }
    return rows;
}

// The tables of a keyword of many regions: each region's rows, up to its slash.
inline std::vector<std::vector<std::vector<double>>> keywordTables(const std::string& text,
                                                                   const std::string& keyword) {
    std::vector<std::vector<std::vector<double>>> tables;
    bool inside = false;
    for (const std::string& line : lines(text)) {
        if (line == keyword) {
            inside = true;
            tables.emplace_back();
        } else if (inside && line.empty()) {
            break;
        } else if (inside && line == "/") {
            tables.emplace_back();
        } else if (inside && line.rfind("--", 0) != 0) {
            std::istringstream in(line);
            std::vector<double> row;
            for (double v; in >> v;)
                row.push_back(v);
            tables.back().push_back(row);
        }
    }
    if (!tables.empty() && tables.back().empty())
        tables.pop_back();
    return tables;
}

} // namespace relperm::testing
