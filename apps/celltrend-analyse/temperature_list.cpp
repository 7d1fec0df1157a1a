#include "temperature_list.hpp"

#include <cmath>

#include "formats/number_field.hpp"

namespace celltrend_analyse {

namespace {

bool read_number(const std::string& field, double& x) {
    return formats::read_field(field, x) == formats::Field::number && std::isfinite(x);
}

std::vector<std::string> split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t next = text.find(at, start);
        parts.push_back(text.substr(start, next == std::string::npos ? std::string::npos : next - start));
        if (next == std::string::npos) return parts;
        start = next + 1;
    }
}

}  // namespace

TemperatureList read_temperature_list(const std::string& text, std::string& why) {
    TemperatureList list;
    std::size_t from_grids = 0;
    const std::string where = "--at '" + text + "': ";
    for (const std::string& field : split(text, ',')) {
        if (field == "rows") {
            list.rows = true;
            continue;
        }
        const std::vector<std::string> parts = split(field, ':');
        if (parts.size() == 3) {
            double start = 0, stop = 0, step = 0;
            if (!read_number(parts[0], start) || !read_number(parts[1], stop) || !read_number(parts[2], step)) {
                why = where + "'" + field + "' is not a grid START:STOP:STEP";
                return {};
            }
            if (!(step > 0) || !(stop >= start)) {
                why = where + "'" + field + "' needs STEP above 0 and STOP not below START";
                return {};
            }
            if (!(start > 0)) {
                why = where + "temperatures are in kelvin, above 0";
                return {};
            }
            const double steps = std::floor((stop - start) / step + 1e-9);
            if (steps + 1 > double(max_grid_temperatures - from_grids)) {
                why = where + "more than 100000 temperatures";
                return {};
            }
            for (std::size_t k = 0; k <= std::size_t(steps); ++k) list.values.push_back(start + double(k) * step);
            from_grids += std::size_t(steps) + 1;
            continue;
        }
        double t = 0;
        if (parts.size() != 1 || !read_number(field, t)) {
            why = where + "'" + field + "' is not a temperature";
            return {};
        }
        if (!(t > 0)) {
            why = where + "temperatures are in kelvin, above 0";
            return {};
        }
        list.values.push_back(t);
    }
    return list;
}

std::optional<TemperatureRange> read_temperature_range(const std::string& text, std::string& why) {
    const std::vector<std::string> parts = split(text, ':');
    const std::string where = "--range '" + text + "': ";
    if (parts.size() != 2) {
        why = where + "TMIN:TMAX, either side may be empty";
        return std::nullopt;
    }
    TemperatureRange range;
    for (int i = 0; i < 2; ++i) {
        if (parts[std::size_t(i)].empty()) continue;
        double t = 0;
        if (!read_number(parts[std::size_t(i)], t)) {
            why = where + "'" + parts[std::size_t(i)] + "' is not a temperature";
            return std::nullopt;
        }
        (i == 0 ? range.low : range.high) = t;
    }
    if (range.low && range.high && !(*range.low < *range.high)) {
        why = where + "TMIN must be below TMAX";
        return std::nullopt;
    }
    return range;
}

std::vector<std::vector<std::size_t>> temperature_legs(const std::vector<double>& t) {
    std::vector<std::vector<std::size_t>> legs;
    if (t.empty()) return legs;
    legs.push_back({0});
    int direction = 0;  // of the current leg: +1 rising, -1 falling, 0 not yet known
    for (std::size_t k = 1; k < t.size(); ++k) {
        const int step = t[k] > t[k - 1] ? 1 : t[k] < t[k - 1] ? -1 : 0;
        if (step != 0 && direction != 0 && step != direction) {
            legs.push_back({k - 1});  // the turning row starts the next leg too
            direction = 0;
        }
        if (step != 0) direction = step;
        legs.back().push_back(k);
    }
    return legs;
}

}  // namespace celltrend_analyse
