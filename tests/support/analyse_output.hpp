#pragma once
// Reading what celltrend-analyse printed: its tab-separated tables, the
// digits of their numbers, and the golden files they are compared with.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace celltrend::testing {

// A file of tests/celltrend-analyse/golden, whole.
inline std::string golden(const std::string& name) {
    std::ifstream in(std::string(CELLTREND_SOURCE_DIR) + "/tests/celltrend-analyse/golden/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Standard error without expansion's lines on straight lines that miss a
// curving series (the example series curves).
inline std::string without_misfit_lines(const std::string& err) {
    std::istringstream in(err);
    std::string kept;
    for (std::string line; std::getline(in, line);)
        if (line.find(": the straight line misses ") == std::string::npos) kept += line + "\n";
    return kept;
}

// Each line's fields, split at every tab.
inline std::vector<std::vector<std::string>> tsv_rows(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0, tab;
        while ((tab = line.find('\t', start)) != std::string::npos) {
            fields.push_back(line.substr(start, tab - start));
            start = tab + 1;
        }
        fields.push_back(line.substr(start));
        rows.push_back(fields);
    }
    return rows;
}

// The significant digits of a printed number ("0.001230" has four).
inline std::size_t significant_digits(const std::string& number) {
    std::string mantissa = number.substr(0, number.find_first_of("eE"));
    std::erase_if(mantissa, [](char c) { return c < '0' || c > '9'; });
    return mantissa.size() - std::min(mantissa.size(), mantissa.find_first_not_of('0'));
}

}  // namespace celltrend::testing
