#pragma once
// A temperature series of cells, read from any of the three layouts the
// analysis accepts, recognised from the content and not from the name:
//   - celltrend's all-parameters table: '!' header lines, then fixed columns
//     (F6.2, 14F12.5, 2F12.3): TK, value and ESD of a, b, c, alpha, beta,
//     gamma, volume, then mosaicity and its ESD;
//   - celltrend's transformed table: the same header, then (F6.2, 7F12.5,
//     2F12.3): TK, a, b, c, alpha, beta, gamma, volume, mosaicity, its ESD;
//   - the rows of the field's strain calculators, "T sigmaT a b c alpha beta
//     gamma" separated by blanks or tabs, '#' starting a comment anywhere,
//     values with or without their ESD in parentheses (strain_row.hpp);
//   - celltrend-analyse's own CSV, by its header row (series_csv.hpp).
// Fixed columns are cut by position, since a field of asterisks or a NaN can
// touch its neighbour.

#include <cmath>
#include <istream>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/cell.hpp"

namespace formats {

enum class SeriesLayout { celltrend_table, celltrend_transformed_table, strain_rows, csv, eos_data };

// What the first column of a series is: its temperature (K), or for a
// crystal in a pressure cell its pressure (GPa).  The rows and the CSV are
// the same but for that column's name; SeriesRow::t and sigma_t hold it.
enum class SeriesVariable { temperature, pressure };

// The columns a file carries besides T and the cell.
struct SeriesColumns {
    bool sigma_t = false;
    bool cell_esd = false;
    bool volume = false;
    bool volume_esd = false;
    bool mosaicity = false;  // with its ESD
    bool pressure = false;   // with its ESD (CSV only)
};

// One data line.  A field that cannot be read (asterisks, NaN, Inf, or
// missing) is NaN here; `complete` is false when any field the layout
// carries is NaN.
struct SeriesRow {
    int line = 0;        // 1-based line number in the file
    double t = 0;        // T, or P in a pressure series
    double sigma_t = 0;  // NaN where the layout carries none
    Cell cell;
    CellSu esd;         // all NaN where the layout carries none
    double volume = 0;  // NaN where the layout carries none
    double volume_esd = 0;
    double mosaicity = 0;
    double mosaicity_esd = 0;
    double pressure = std::numeric_limits<double>::quiet_NaN();  // GPa
    double pressure_esd = std::numeric_limits<double>::quiet_NaN();
    bool complete = true;

    // T and the six cell parameters are numbers: what any analysis needs,
    // whatever the volume and mosaicity fields hold.
    bool cell_read() const {
        for (double x : {t, cell.a, cell.b, cell.c, cell.alpha, cell.beta, cell.gamma})
            if (std::isnan(x)) return false;
        return true;
    }
};

struct Series {
    std::string name;  // the file name as given, for messages
    SeriesLayout layout = SeriesLayout::celltrend_table;
    SeriesVariable variable = SeriesVariable::temperature;
    std::vector<std::string> header;  // the comment lines before the data, as read
    std::string title;                // celltrend's title (first header line, without "! ")
    std::vector<SeriesRow> rows;      // every data line, in file order
    SeriesColumns carried;
    std::vector<std::string> notes;  // what the reader passed over, one line each, "NAME:LINE: what"

    bool has_cell_esd() const { return carried.cell_esd; }
    bool has_sigma_t() const { return carried.sigma_t; }
};

// A file that cannot be read or is in none of the layouts; what() is one
// line, "NAME: why" or "NAME:LINE: why".
struct SeriesError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// `variable` pressure reads rows "P sigmaP a b c ..." and the CSV's P_GPa
// and sigma_P_GPa in place of T_K and sigma_T_K; celltrend's tables are of
// temperature only.
Series read_series(std::istream& in, const std::string& name, SeriesVariable variable = SeriesVariable::temperature);
Series read_series(const std::string& path, SeriesVariable variable = SeriesVariable::temperature);

// "T sigmaT a b c alpha beta gamma" or "P sigmaP a b c alpha beta gamma".
std::string strain_row_form(SeriesVariable variable);

}  // namespace formats
