#include "column_count.hpp"

#include <algorithm>
#include <cstddef>

#include "fixed_text.hpp"

namespace celltrend {

int column_count(std::string_view line) {
    std::string_view rest = line.substr(0, std::min(line.size(), column_count_limit));
    const std::size_t first = rest.find_first_not_of(' ');
    if (first == std::string_view::npos) return 0;
    rest = trim_right(rest.substr(first));

    // A report name may hold blanks when it is quoted, so everything up to the
    // closing quote belongs to the first column.  Dropping the text up to the
    // opening quote means a word glued to the closing quote stays part of the
    // name, and a lone quote leaves only the words after it to be counted.
    std::size_t scan_start = 0;
    if (const std::size_t open = rest.find('"'); open != std::string_view::npos) {
        rest.remove_prefix(open + 1);
        const std::size_t close = rest.find('"');
        scan_start = close == std::string_view::npos ? 0 : close + 1;
    }

    int count = 1;  // the first column, whatever it holds
    for (std::size_t k = std::max<std::size_t>(scan_start, 1); k < rest.size(); ++k)
        if (rest[k] != ' ' && rest[k - 1] == ' ') ++count;
    return count;
}

}  // namespace celltrend
