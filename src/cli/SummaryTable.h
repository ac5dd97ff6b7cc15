#pragma once

// Rows of named cells, written as an aligned text table, as CSV (RFC 4180) or as JSON
// objects. Numbers are written with '.' as the decimal point whatever the locale.

#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

namespace tessarin::cli {

// An empty cell (no value: a figure the game does not hold, a game not read), a text,
// an integer or a real.
using Cell = std::variant<std::monostate, std::string, std::int64_t, double>;

struct Table {
    std::vector<std::string> columns;
    std::vector<std::vector<Cell>> rows;  // each as long as `columns`

    // Appends an empty row and returns it.
    std::vector<Cell>& addRow();
    // The index of a column by name; the column must exist.
    std::size_t column(const std::string& name) const;
};

// A real as the shortest text that reads back as the same value ("0.25", "3", "1e-07").
std::string numberText(double value);
// A real rounded to `decimals` places ("0.250" for 3).
std::string fixedText(double value, int decimals);
std::string cellText(const Cell& cell);

// One header line and one line per row, CRLF line ends; fields with a comma, a quote,
// a CR or an LF are quoted, and quotes inside doubled.
std::string toCsv(const Table& table);
// One JSON object per row, keys in column order; an empty cell is null.
nlohmann::ordered_json toJson(const Table& table);

// An aligned text table for a terminal: bytes that are not printable (control
// characters, which could move the cursor) are shown as '?'.
void printAligned(std::ostream& out, const std::vector<std::string>& columns,
                  const std::vector<std::vector<std::string>>& rows);

}  // namespace tessarin::cli
