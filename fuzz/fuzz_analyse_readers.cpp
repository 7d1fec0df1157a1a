// celltrend-analyse's reading of a table in any of its layouts, then every
// subcommand's work on what was read: the three exports, the change of axes
// with its ESDs, the expansion with its summary, its table and its strain
// plot file.
//
// What must hold: no crash and no undefined behaviour; a refusal is one
// line naming the input; the rows come in file order; an export counts only
// rows with a temperature and a cell; every table line transform writes has
// celltrend's width.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "crystal/cell_transform.hpp"
#include "crystal/expansion.hpp"
#include "crystal/strain_plot.hpp"
#include "expansion_report.hpp"
#include "formats/cell.hpp"
#include "formats/series_export.hpp"
#include "formats/series_table.hpp"
#include "formats/series_table_writer.hpp"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

void exports(const formats::Series& series) {
    std::size_t cells = 0;
    for (const formats::SeriesRow& row : series.rows) cells += row.cell_read() ? 1 : 0;
    for (const formats::ExportText& out :
         {formats::export_strain_rows(series, std::nan("")), formats::export_strain_rows(series, 0.5),
          formats::export_eosfit(series, "monoclinic"), formats::export_csv(series)}) {
        check(out.rows <= cells);
        for (const std::string& w : out.warnings) check(w.find('\n') == std::string::npos);
    }
}

void transform(const formats::Series& series) {
    if (!series.has_cell_esd()) return;
    Eigen::Matrix3d m;
    m << 1, 0, 1, 0, 1, 0, -1, 0, 0;
    for (const formats::SeriesRow& row : series.rows) {
        const crystal::TransformedCell t = crystal::transform_cell(m, row.cell, row.esd);
        formats::SeriesRow out = row;
        out.cell = t.cell;
        out.esd = t.esd;
        out.volume = t.volume;
        out.volume_esd = t.volume_esd;
        check(formats::table_line(out).size() == 6 + 16 * 12);
    }
}

void expansion(const formats::Series& series) {
    std::vector<crystal::SeriesPoint> points;
    for (const formats::SeriesRow& row : series.rows) {
        if (!row.cell_read() || !formats::is_cell(row.cell)) continue;
        crystal::SeriesPoint p;
        p.t = row.t;
        p.cell = row.cell;
        if (series.has_cell_esd()) p.esd = row.esd;
        if (series.has_sigma_t() && row.sigma_t > 0) p.sigma_t = row.sigma_t;
        points.push_back(p);
    }
    if (points.size() < 2) return;
    celltrend_analyse::ExpansionReport report;
    report.file = series.name;
    report.title = series.title;
    for (const crystal::SeriesPoint& p : points) report.t.push_back(p.t);
    for (const bool lagrangian : {false, true}) {
        report.measure.kind = lagrangian ? crystal::StrainKind::lagrangian : crystal::StrainKind::eulerian;
        try {
            report.expansion = crystal::analyse_expansion(points, report.measure);
        } catch (const crystal::ExpansionError& e) {
            check(std::string(e.what()).find('\n') == std::string::npos);
            return;
        }
        check(report.expansion.middle < points.size());
        (void)celltrend_analyse::summary_text(report);
        (void)celltrend_analyse::tsv_text(report);
        (void)crystal::strain_plot_text(report.title, report.t, report.expansion, report.measure);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(bytes), size));
    formats::Series series;
    try {
        series = formats::read_series(in, "fuzz.xy");
    } catch (const formats::SeriesError& e) {
        const std::string what = e.what();
        check(what.starts_with("fuzz.xy") && what.find('\n') == std::string::npos);
        return 0;
    }
    for (std::size_t k = 1; k < series.rows.size(); ++k) check(series.rows[k - 1].line < series.rows[k].line);
    exports(series);
    transform(series);
    expansion(series);
    return 0;
}
