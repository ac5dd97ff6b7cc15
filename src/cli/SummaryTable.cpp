#include "cli/SummaryTable.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tessarin::cli {

std::vector<Cell>& Table::addRow() {
    rows.emplace_back(columns.size());
    return rows.back();
}

std::size_t Table::column(const std::string& name) const {
    return static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) - columns.begin());
}

std::string numberText(double value) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, r.ptr);
}

std::string fixedText(double value, int decimals) {
    if (!std::isfinite(value)) return {};
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string s(buffer, r.ptr);
    if (s.front() == '-' && s.find_first_not_of("0.", 1) == std::string::npos) s.erase(0, 1);
    return s;
}

std::string cellText(const Cell& cell) {
    if (const auto* s = std::get_if<std::string>(&cell)) return *s;
    if (const auto* i = std::get_if<std::int64_t>(&cell)) return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&cell)) return numberText(*d);
    return {};
}

namespace {

void putCsvField(std::string& out, const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

void putCsvLine(std::string& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) out += ',';
        putCsvField(out, fields[i]);
    }
    out += "\r\n";
}

std::string printable(const std::string& s) {
    std::string out = s;
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7f) c = '?';
    }
    return out;
}

// Columns on a terminal: UTF-8 continuation bytes take no column.
std::size_t displayWidth(const std::string& s) {
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

}  // namespace

std::string toCsv(const Table& table) {
    std::string out;
    putCsvLine(out, table.columns);
    std::vector<std::string> fields;
    for (const auto& row : table.rows) {
        fields.clear();
        for (const Cell& cell : row) fields.push_back(cellText(cell));
        putCsvLine(out, fields);
    }
    return out;
}

nlohmann::ordered_json toJson(const Table& table) {
    auto rows = nlohmann::ordered_json::array();
    for (const auto& row : table.rows) {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < table.columns.size(); ++i) {
            const Cell& cell = row[i];
            auto& value = object[table.columns[i]];
            if (const auto* s = std::get_if<std::string>(&cell)) {
                value = *s;
            } else if (const auto* n = std::get_if<std::int64_t>(&cell)) {
                value = *n;
            } else if (const auto* d = std::get_if<double>(&cell); d && std::isfinite(*d)) {
                value = *d;
            }
        }
        rows.push_back(std::move(object));
    }
    return rows;
}

void printAligned(std::ostream& out, const std::vector<std::string>& columns,
                  const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths(columns.size());
    const auto widen = [&](const std::vector<std::string>& fields) {
        for (std::size_t i = 0; i < fields.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], displayWidth(printable(fields[i])));
    };
    widen(columns);
    for (const auto& row : rows) widen(row);
    const auto line = [&](const std::vector<std::string>& fields) {
        std::string text;
        for (std::size_t i = 0; i < fields.size() && i < widths.size(); ++i) {
            const std::string field = printable(fields[i]);
            text += field;
            if (i + 1 < fields.size()) text.append(widths[i] - displayWidth(field) + 2, ' ');
        }
        while (!text.empty() && text.back() == ' ') text.pop_back();
        out << text << '\n';
    };
    line(columns);
    for (const auto& row : rows) line(row);
}

}  // namespace tessarin::cli
