// The readers of the files people bring: numbers with an uncertainty in
// parentheses, CIFs (through gemmi), SHELX instruction files, and the series
// tables with ESDs in parentheses or as celltrend-analyse's CSV.
//
// What must hold, for any bytes: no crash and no exception but the readers'
// own; an uncertainty is never negative; every cell found has positive
// lengths and angles and ESDs of 0 or more.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "cellfiles/cif_cells.hpp"
#include "cellfiles/shelx_cells.hpp"
#include "formats/measured_number.hpp"
#include "formats/series_table.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void check_cells(const cellfiles::FoundCells& found) {
    for (const cellfiles::FoundCell& c : found.cells) {
        for (double v : {c.cell.a, c.cell.b, c.cell.c, c.cell.alpha, c.cell.beta, c.cell.gamma}) check(v > 0);
        for (double e : {c.esd.a, c.esd.b, c.esd.c, c.esd.alpha, c.esd.beta, c.esd.gamma, c.sigma_t}) check(e >= 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);

    formats::Estimate m;
    if (formats::read_measured(std::string_view(text).substr(0, 64), m) == formats::Measured::number) {
        check(std::isfinite(m.value));
        check(!m.has_sigma() || m.sigma >= 0);
    }
    try {
        check_cells(cellfiles::read_cif_text(text, "fuzz.cif"));
    } catch (const cellfiles::CellFileError&) {
    }
    try {
        std::istringstream in(text);
        check_cells(cellfiles::read_shelx_cells(in, "fuzz.res"));
    } catch (const cellfiles::CellFileError&) {
    }
    try {
        std::istringstream in(text);
        const formats::Series s = formats::read_series(in, "fuzz.txt");
        for (const formats::SeriesRow& row : s.rows) check(row.line > 0);
    } catch (const formats::SeriesError&) {
    }
    return 0;
}
