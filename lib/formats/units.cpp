#include "formats/units.hpp"

#include <algorithm>

namespace formats {

namespace {

struct UnitSpan {
    std::size_t open = std::string_view::npos, close = std::string_view::npos;
};

UnitSpan last_parentheses(std::string_view legend) {
    const auto close = legend.rfind(')');
    if (close == std::string_view::npos) return {};
    const auto open = legend.rfind('(', close);
    if (open == std::string_view::npos) return {};
    return {open, close};
}

}  // namespace

std::string unit_of(std::string_view legend) {
    const UnitSpan u = last_parentheses(legend);
    if (u.open == std::string_view::npos) return {};
    return std::string(legend.substr(u.open + 1, u.close - u.open - 1));
}

QuantityKind kind_of(std::string_view y_legend) {
    const std::string unit = unit_of(y_legend);
    if (unit == "A") return QuantityKind::length;
    if (unit == "A3") return QuantityKind::volume;
    return QuantityKind::other;
}

std::string unit_symbol(std::string_view unit) {
    if (unit == "A") return "Å";
    if (unit == "A3") return "Å³";
    if (unit == "deg." || unit == "deg") return "°";
    return std::string(unit);
}

std::string slope_unit(std::string_view y_unit, std::string_view x_unit) {
    if (x_unit.empty()) return y_unit.empty() ? "per unit of X" : std::string(y_unit) + " per unit of X";
    return std::string(y_unit) + "/" + std::string(x_unit);
}

std::string with_unit_symbols(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto open = text.find('(', pos);
        const auto close = open == std::string_view::npos ? open : text.find(')', open);
        if (close == std::string_view::npos) break;
        out.append(text.substr(pos, open + 1 - pos));
        out += unit_symbol(text.substr(open + 1, close - open - 1));
        pos = close;
    }
    out.append(text.substr(std::min(pos, text.size())));
    return out;
}

}  // namespace formats
