// The column count of a buffer-file line.
//
// What must hold, for any bytes: no crash; the count is 0 exactly when the
// line is all blanks (as far as the count looks), and never more than the
// number of non-blank characters plus one.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "column_count.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

constexpr std::size_t looked_at = 256000;  // the count considers no more

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(bytes), size);
    const int count = celltrend::column_count(line);
    const std::string_view seen = line.substr(0, std::min(line.size(), looked_at));
    const auto non_blank = std::count_if(seen.begin(), seen.end(), [](char c) { return c != ' '; });
    check(count >= 0);
    check(count <= non_blank + 1);
    check((count == 0) == (non_blank == 0));
    return 0;
}
