// make_series: writes a synthetic temperature series for celltrend.
//
// For each temperature it writes one HTML report page the way a
// data-collection program would: a full page with a header table, the
// experiment details, indexing, statistics by resolution shell, frame scale
// factors (which also pad the page to the requested size) and, near the end,
// the results table whose eight rows celltrend reads, one row per line:
//
//   <TR><TH ALIGN='LEFT'>a (Angstrom)</TH><TD>7.51234 +/- 0.00021</TD></TR>
//
// The crystal is monoclinic (P 1 21/c 1, unique axis b).  The cell follows a
// smooth thermal expansion from 100 K with small deterministic noise, the
// volume is computed from the printed cell, and every value carries an ESD.
//
// Two buffer files are written next to the reports:
//   buffer_plain.txt   title, a free line, then "report TK" per line;
//   buffer_matrix.txt  the same lines followed by the matrix
//                         1 0 1 / 0 1 0 / -1 0 0
//                      i.e. new a = a + c, new b = b, new c = -a.  This is the
//                      change from the P 1 21/c 1 cell to the P 1 21/n 1 cell
//                      of the same lattice (the c glide becomes an n glide);
//                      its determinant is +1, so the volume is unchanged.
//
// Output depends only on the options: the same seed gives the same bytes.
// Standard library only.

#include <cerrno>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "formats/cell.hpp"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRefT = 100.0;  // reference temperature of the cell model, K

struct Options {
    int count = 16;
    double first = 100.0;
    double last = 400.0;
    double size_kb = 40.0;
    std::string out = ".";
    std::uint64_t seed = 1;
    long long lines = -1;  // data lines per buffer file; -1: one per report
    std::string prefix = "nreport_";
};

[[gnu::format(printf, 2, 3)]] void appendf(std::string& s, const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof buf) {
        s.append(buf, static_cast<std::size_t>(n));
        return;
    }
    std::vector<char> big(static_cast<std::size_t>(n) + 1);
    va_start(args, format);
    std::vsnprintf(big.data(), big.size(), format, args);
    va_end(args);
    s.append(big.data(), static_cast<std::size_t>(n));
}

// splitmix64: small, fast and identical on every platform, unlike the
// distributions of <random>.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }  // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int irange(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }
    double normal() {  // Box-Muller, one value per call
        double u1 = uniform();
        if (u1 < 1e-300) u1 = 1e-300;
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    std::uint64_t state_;
};

double round_to(double v, int decimals) {
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

using formats::Cell;
using formats::volume;

// The values printed in the results table of one report.
struct Results {
    Cell cell;            // rounded as printed
    formats::CellSu esd;  // rounded as printed
    double volume;        // from the printed cell
    double volume_esd;
    double mosaicity;
    double mosaicity_esd;
};

// Smooth model of the cell: linear expansion coefficients of tens of 1e-6/K
// that grow slowly with temperature; beta opens slightly on warming.
Cell model_cell(double t) {
    const double d = t - kRefT;
    Cell k{};
    k.a = 7.5012 * (1.0 + 28.0e-6 * d + 3.0e-8 * d * d);
    k.b = 10.1987 * (1.0 + 47.0e-6 * d + 5.0e-8 * d * d);
    k.c = 12.8043 * (1.0 + 12.0e-6 * d + 1.5e-8 * d * d);
    k.alpha = 90.0;
    k.beta = 101.482 + 6.0e-4 * d + 4.0e-7 * d * d;
    k.gamma = 90.0;
    return k;
}

Results make_results(double t, Rng& rng) {
    const Cell m = model_cell(t);
    // ESDs grow a little with temperature (weaker high-angle data).
    const double grow = 1.0 + 0.0025 * std::max(0.0, t - kRefT);
    Results r{};
    r.esd.a = round_to((1.6e-4 + 0.4e-4 * rng.uniform()) * grow, 5);
    r.esd.b = round_to((2.1e-4 + 0.5e-4 * rng.uniform()) * grow, 5);
    r.esd.c = round_to((2.6e-4 + 0.6e-4 * rng.uniform()) * grow, 5);
    r.esd.alpha = round_to((0.9e-3 + 0.4e-3 * rng.uniform()) * grow, 4);
    r.esd.beta = round_to((0.8e-3 + 0.4e-3 * rng.uniform()) * grow, 4);
    r.esd.gamma = round_to((0.9e-3 + 0.4e-3 * rng.uniform()) * grow, 4);
    r.cell.a = round_to(m.a + 0.5 * r.esd.a * rng.normal(), 5);
    r.cell.b = round_to(m.b + 0.5 * r.esd.b * rng.normal(), 5);
    r.cell.c = round_to(m.c + 0.5 * r.esd.c * rng.normal(), 5);
    r.cell.alpha = round_to(m.alpha + 0.5 * r.esd.alpha * rng.normal(), 4);
    r.cell.beta = round_to(m.beta + 0.5 * r.esd.beta * rng.normal(), 4);
    r.cell.gamma = round_to(m.gamma + 0.5 * r.esd.gamma * rng.normal(), 4);
    r.volume = round_to(volume(r.cell), 3);
    // Propagate the ESDs of a, b, c and beta (alpha and gamma near 90 add
    // almost nothing).
    const double rad = kPi / 180.0;
    const double cot_beta = std::cos(r.cell.beta * rad) / std::sin(r.cell.beta * rad);
    const double rel = std::sqrt(std::pow(r.esd.a / r.cell.a, 2) + std::pow(r.esd.b / r.cell.b, 2) +
                                 std::pow(r.esd.c / r.cell.c, 2) + std::pow(cot_beta * r.esd.beta * rad, 2));
    r.volume_esd = round_to(std::max(0.001, r.volume * rel), 3);
    r.mosaicity = round_to(0.34 + 0.00075 * std::max(0.0, t - kRefT) + 0.006 * rng.normal(), 3);
    if (r.mosaicity < 0.2) r.mosaicity = 0.2;
    r.mosaicity_esd = round_to(0.004 + 0.003 * rng.uniform(), 3);
    return r;
}

struct Point {
    double t;
    std::string name;
};

bool integral(double v) { return std::fabs(v - std::round(v)) < 1e-9; }

std::vector<Point> make_points(const Options& o) {
    std::vector<Point> pts(static_cast<std::size_t>(o.count));
    bool all_integral = true;
    for (int i = 0; i < o.count; ++i) {
        const double t = o.count == 1 ? o.first : o.first + (o.last - o.first) * i / (o.count - 1);
        pts[static_cast<std::size_t>(i)].t = round_to(t, 2);
        all_integral = all_integral && integral(pts[static_cast<std::size_t>(i)].t);
    }
    // Whole kelvins give "nreport_100K.html".  Otherwise two temperatures
    // could share a name, so the running number leads: "nreport_00042_103.52K.html".
    const int width = static_cast<int>(std::to_string(o.count).size());
    for (int i = 0; i < o.count; ++i) {
        Point& p = pts[static_cast<std::size_t>(i)];
        p.name = o.prefix;
        if (all_integral)
            appendf(p.name, "%.0fK.html", p.t);
        else
            appendf(p.name, "%0*d_%.2fK.html", width, i + 1, p.t);
    }
    return pts;
}

const char* const kStyle =
    "<STYLE TYPE='text/css'>\n"
    "BODY { font-family: Helvetica, Arial, sans-serif; font-size: 10pt; margin: 12px; }\n"
    "H1 { font-size: 16pt; color: #1F3F6F; }\n"
    "H2 { font-size: 12pt; color: #1F3F6F; border-bottom: 1px solid #9FAFCF; }\n"
    "TABLE { border-collapse: collapse; margin-bottom: 10px; }\n"
    "TH, TD { border: 1px solid #BFBFBF; padding: 2px 6px; }\n"
    "TH { background-color: #E8ECF4; }\n"
    "TD { text-align: right; }\n"
    ".warn { color: #A02020; }\n"
    ".note { font-size: 8pt; color: #606060; }\n"
    "</STYLE>\n";

void row(std::string& s, const char* label, const std::string& value) {
    appendf(s, "<TR><TH ALIGN='LEFT'>%s</TH><TD>%s</TD></TR>\n", label, value.c_str());
}

std::string f(const char* format, double v) {
    std::string s;
    appendf(s, format, v);
    return s;
}

// Everything before the frame table.
std::string page_head(const Options& o, const Point& p, int index, const Results& r, int frames, Rng& rng) {
    std::string s;
    s.reserve(16384);
    const int day = 3 + index / 24 % 25;
    const int hour = index % 24;
    const int minute = static_cast<int>((o.seed * 7 + static_cast<std::uint64_t>(index) * 13) % 60);

    s += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<HTML>\n<HEAD>\n";
    appendf(s, "<TITLE>NREPORT - CT-17 at %.2f K</TITLE>\n", p.t);
    s += "<META HTTP-EQUIV='Content-Type' CONTENT='text/html; charset=ISO-8859-1'>\n";
    s += kStyle;
    s += "</HEAD>\n<BODY>\n";
    appendf(s, "<H1>Data reduction report: CT-17, %.2f K</H1>\n", p.t);
    s += "<P CLASS='note'>Written automatically at the end of data reduction. All lengths in Angstrom, "
         "angles in degrees.</P>\n";

    s += "<H2>Header</H2>\n<TABLE>\n";
    row(s, "Program", "NREPORT reduction suite 4.12.3 (build 2291)");
    {
        std::string d;
        appendf(d, "2024-03-%02d %02d:%02d:%02d", day, hour, minute, (index * 37) % 60);
        row(s, "Date", d);
    }
    row(s, "Operator", "ctrend");
    row(s, "Sample", "CT-17");
    row(s, "Formula", "C12 H10 N2 O4");
    row(s, "Crystal system", "monoclinic");
    row(s, "Space group", "P 1 21/c 1 (No. 14)");
    {
        std::string d;
        appendf(d, "ct17_%05d", index + 1);
        row(s, "Run identifier", d);
    }
    {
        std::string d;
        appendf(d, "/data/ct17/T%.0f/frames", p.t);
        row(s, "Frame directory", d);
    }
    s += "</TABLE>\n";

    s += "<H2>Experiment details</H2>\n<TABLE>\n";
    row(s, "Radiation", "Mo K-alpha, graphite monochromator");
    row(s, "Wavelength (Angstrom)", "0.71073");
    row(s, "Generator", "50 kV, 1.00 mA");
    row(s, "Detector", "CCD 135 mm, binning 2x2");
    row(s, "Detector distance (mm)", f("%.2f", 50.0 + 0.02 * rng.normal()));
    row(s, "Temperature setpoint (K)", f("%.2f", p.t));
    {
        std::string d;
        appendf(d, "%.2f +/- %.2f", p.t + 0.05 * rng.normal(), 0.05 + 0.05 * rng.uniform());
        row(s, "Temperature measured (K)", d);
    }
    row(s, "Cooling device", "open-flow nitrogen, 5 L/min");
    row(s, "Crystal size (mm)", "0.21 x 0.15 x 0.08");
    row(s, "Crystal colour", "colourless");
    row(s, "Crystal shape", "block");
    row(s, "Exposure per frame (s)", f("%.1f", 10.0));
    row(s, "Oscillation width (&deg;)", "0.50");
    s += "</TABLE>\n";

    s += "<H3>Scans</H3>\n<TABLE>\n";
    s += "<TR><TH>Scan</TH><TH>Type</TH><TH>2-theta</TH><TH>omega start</TH><TH>omega end</TH>"
         "<TH>kappa</TH><TH>phi</TH><TH>Frames</TH></TR>\n";
    const int scans = 8;
    const int per_scan = (frames + scans - 1) / scans;  // the frame table numbers its scans alike
    for (int i = 0; i < scans; ++i) {
        const int n = std::max(0, std::min(per_scan, frames - i * per_scan));
        const double start = -60.0 + 5.0 * i;
        appendf(s,
                "<TR><TD>%d</TD><TD>omega</TD><TD>%7.2f</TD><TD>%7.2f</TD><TD>%7.2f</TD>"
                "<TD>%7.2f</TD><TD>%7.2f</TD><TD>%d</TD></TR>\n",
                i + 1, i % 2 ? -28.0 : 28.0, start, start + 0.5 * n, -77.0 + 20.0 * (i % 3), 45.0 * i, n);
    }
    s += "</TABLE>\n";

    // Indexing gives a preliminary cell.  Its rows do not carry the labels of
    // the final results table, and a reader must not take them for it.
    s += "<H2>Indexing</H2>\n<TABLE>\n";
    const int spots = rng.irange(1800, 2600);
    row(s, "Spots found", std::to_string(spots));
    row(s, "Spots indexed", f("%.1f %%", 92.0 + 6.0 * rng.uniform()));
    row(s, "Preliminary a (Angstrom)", f("%.3f", r.cell.a + 0.004 * rng.normal()));
    row(s, "Preliminary b (Angstrom)", f("%.3f", r.cell.b + 0.004 * rng.normal()));
    row(s, "Preliminary c (Angstrom)", f("%.3f", r.cell.c + 0.004 * rng.normal()));
    row(s, "Preliminary beta (&deg;)", f("%.2f", r.cell.beta + 0.02 * rng.normal()));
    row(s, "Lattice", "primitive monoclinic, Niggli form reduced");
    s += "</TABLE>\n";
    s += "<H3>Orientation matrix</H3>\n<TABLE>\n";
    for (int i = 0; i < 3; ++i)
        appendf(s, "<TR><TD>%10.7f</TD><TD>%10.7f</TD><TD>%10.7f</TD></TR>\n", rng.range(-0.14, 0.14),
                rng.range(-0.10, 0.10), rng.range(-0.08, 0.08));
    s += "</TABLE>\n";

    // Statistics by resolution shell.
    s += "<H2>Data statistics</H2>\n<TABLE>\n";
    s += "<TR><TH>d max</TH><TH>d min</TH><TH>Observed</TH><TH>Unique</TH><TH>Compl. (%)</TH>"
         "<TH>Redund.</TH><TH>I/sigma</TH><TH>R(int)</TH><TH>R(sigma)</TH><TH>CC(1/2)</TH></TR>\n";
    const double warm = std::max(0.0, p.t - kRefT) / 300.0;
    const int shells = 20;
    // Shells of equal reciprocal volume from 15 to 0.72 Angstrom.
    const double inv_lo = 1.0 / (15.0 * 15.0 * 15.0);
    const double inv_hi = 1.0 / (0.72 * 0.72 * 0.72);
    double dmax = 15.0;
    long total_obs = 0;
    long total_unique = 0;
    for (int i = 0; i < shells; ++i) {
        const double dlo = 1.0 / std::cbrt(inv_lo + (inv_hi - inv_lo) * (i + 1) / shells);
        const int unique = 140 + 22 * i + rng.irange(0, 25);
        const double redund = 4.6 - 0.08 * i + 0.1 * rng.uniform();
        const int observed = static_cast<int>(unique * redund);
        const double isig = std::max(2.0, (48.0 - 2.1 * i) * (1.0 - 0.35 * warm) + rng.normal());
        const double rint = std::min(0.45, (0.021 + 0.006 * i) * (1.0 + 0.5 * warm) + 0.002 * rng.normal());
        appendf(s,
                "<TR><TD>%6.2f</TD><TD>%6.2f</TD><TD>%6d</TD><TD>%5d</TD><TD>%6.1f</TD><TD>%5.2f</TD>"
                "<TD>%6.1f</TD><TD>%6.4f</TD><TD>%6.4f</TD><TD>%5.3f</TD></TR>\n",
                dmax, dlo, observed, unique, 99.9 - 0.05 * i - 0.3 * rng.uniform(), redund, isig, rint, rint * 0.6,
                0.999 - 0.004 * i - 0.002 * rng.uniform());
        total_obs += observed;
        total_unique += unique;
        dmax = dlo;
    }
    s += "</TABLE>\n<TABLE>\n";
    row(s, "Reflections measured", std::to_string(total_obs));
    row(s, "Unique reflections", std::to_string(total_unique));
    row(s, "Completeness to 0.72 Angstrom (%)", f("%.1f", 99.4 + 0.4 * rng.uniform()));
    row(s, "R(int)", f("%.4f", 0.031 * (1.0 + 0.4 * warm) + 0.002 * rng.normal()));
    row(s, "R(sigma)", f("%.4f", 0.019 * (1.0 + 0.4 * warm) + 0.001 * rng.normal()));
    row(s, "Mean I/sigma(I)", f("%.1f", 21.0 * (1.0 - 0.3 * warm) + 0.5 * rng.normal()));
    s += "</TABLE>\n";

    s += "<H2>Absorption correction</H2>\n<TABLE>\n";
    row(s, "Method", "multi-scan, spherical harmonics to order 8");
    row(s, "mu (mm-1)", "0.118");
    row(s, "T min / T max", f("%.4f", 0.962 + 0.01 * rng.uniform()) + " / 1.0000");
    s += "</TABLE>\n";
    return s;
}

// The results table and the end of the page.
std::string page_tail(const Point& p, const Results& r, int frames, int refined) {
    std::string s;
    s.reserve(4096);
    s += "<H2>Unit cell refinement</H2>\n";
    appendf(s, "<P>Final cell refined from %d reflections in %d frames, no constraints applied.</P>\n", refined,
            frames);
    s += "<TABLE BORDER='1'>\n";
    // One row per line; the value, "+/-", then the ESD.
    appendf(s, "<TR><TH ALIGN='LEFT'>a (Angstrom)</TH><TD>%.5f +/- %.5f</TD></TR>\n", r.cell.a, r.esd.a);
    appendf(s, "<TR><TH ALIGN='LEFT'>b (Angstrom)</TH><TD>%.5f +/- %.5f</TD></TR>\n", r.cell.b, r.esd.b);
    appendf(s, "<TR><TH ALIGN='LEFT'>c (Angstrom)</TH><TD>%.5f +/- %.5f</TD></TR>\n", r.cell.c, r.esd.c);
    appendf(s, "<TR><TH ALIGN='LEFT'>alpha (&deg;)</TH><TD>%.4f +/- %.4f</TD></TR>\n", r.cell.alpha, r.esd.alpha);
    appendf(s, "<TR><TH ALIGN='LEFT'>beta (&deg;)</TH><TD>%.4f +/- %.4f</TD></TR>\n", r.cell.beta, r.esd.beta);
    appendf(s, "<TR><TH ALIGN='LEFT'>gamma (&deg;)</TH><TD>%.4f +/- %.4f</TD></TR>\n", r.cell.gamma, r.esd.gamma);
    appendf(s, "<TR><TH ALIGN='LEFT'>Volume (A**3)</TH><TD>%.3f +/- %.3f</TD></TR>\n", r.volume, r.volume_esd);
    appendf(s, "<TR><TH ALIGN='LEFT'>Mosaicity (&deg;)</TH><TD>%.3f +/- %.3f</TD></TR>\n", r.mosaicity,
            r.mosaicity_esd);
    s += "</TABLE>\n";
    s += "<H2>Notes</H2>\n<UL>\n";
    s += "<LI>The cell ESDs are those of the least-squares refinement and may underestimate the true error.</LI>\n";
    s += "<LI>Mosaicity is the mean refined spot width, corrected for the beam divergence.</LI>\n";
    s += "</UL>\n";
    appendf(s, "<P CLASS='note'>End of report for %.2f K. NREPORT 4.12.3.</P>\n", p.t);
    s += "</BODY>\n</HTML>\n";
    return s;
}

std::string frame_row(int frame, int scan, Rng& rng, double& scale, long& refined) {
    scale = std::max(0.5, scale + 0.004 * rng.normal());
    const int refl = rng.irange(60, 140);
    refined += refl / 3;
    std::string s;
    appendf(s,
            "<TR><TD>%5d</TD><TD>%d</TD><TD>%7.4f</TD><TD>%6.3f</TD><TD>%5d</TD><TD>%6.4f</TD>"
            "<TD>%6.1f</TD></TR>\n",
            frame, scan, scale, 0.02 * rng.normal(), refl, 0.03 + 0.01 * rng.uniform(), 18.0 + 4.0 * rng.normal());
    return s;
}

std::string make_page(const Options& o, const Point& p, int index) {
    Rng rng(o.seed * 0x2545F4914F6CDD1DULL + static_cast<std::uint64_t>(index) * 0x9E3779B97F4A7C15ULL + 1);
    const Results r = make_results(p.t, rng);
    // Real pages differ a little in size; keep within 3 % of the target.
    const double target = o.size_kb * 1024.0 * (0.985 + 0.03 * rng.uniform());

    // The frame scale factors pad the page to the target size.  A real report
    // has one row per frame, and the scans table announces the same number of
    // frames, so the count is settled first from the size of the other parts.
    const std::string frames_top =
        "<H2>Frame scale factors</H2>\n<TABLE>\n"
        "<TR><TH>Frame</TH><TH>Scan</TH><TH>Scale</TH><TH>B</TH><TH>Reflections</TH>"
        "<TH>R(int)</TH><TH>I/sigma</TH></TR>\n";
    const std::string frames_end = "</TABLE>\n";
    Rng probe = rng;
    double probe_scale = 1.0;
    long probe_refined = 0;
    const double row_size = static_cast<double>(frame_row(1, 1, probe, probe_scale, probe_refined).size());
    probe = rng;
    const double fixed = static_cast<double>(page_head(o, p, index, r, 1000, probe).size() + frames_top.size() +
                                             frames_end.size() + page_tail(p, r, 1000, 10000).size());
    const int frames = std::max(8, static_cast<int>(std::lround((target - fixed) / row_size)));

    std::string page = page_head(o, p, index, r, frames, rng);
    page.reserve(page.size() + static_cast<std::size_t>(frames * row_size) + 4096);
    page += frames_top;
    double scale = 1.0;
    long refined = 0;
    const int per_scan = (frames + 7) / 8;
    for (int i = 0; i < frames; ++i) page += frame_row(i + 1, i / per_scan + 1, rng, scale, refined);
    page += frames_end;
    page += page_tail(p, r, frames, static_cast<int>(std::max(refined, 400L)));
    return page;
}

bool write_file(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) {
        std::cerr << "make_series: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

// Data lines cycle through the reports when more lines than reports are asked for.
bool write_buffer(const std::filesystem::path& path, const Options& o, const std::vector<Point>& pts, bool matrix) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string title;
    appendf(title, "CT-17 monoclinic P21/c, cell from %.0f K to %.0f K%s\n", o.first, o.last,
            matrix ? ", P21/n setting" : "");
    out << title;
    if (matrix)
        out << "report  TK  matrix: new a = a + c, new b = b, new c = -a\n";
    else
        out << "report  TK\n";
    std::size_t width = 0;
    for (const Point& p : pts) width = std::max(width, p.name.size());
    const long long lines = o.lines < 0 ? static_cast<long long>(pts.size()) : o.lines;
    std::string line;
    for (long long i = 0; i < lines; ++i) {
        const Point& p = pts[static_cast<std::size_t>(i % static_cast<long long>(pts.size()))];
        line.clear();
        appendf(line, "%-*s %8.2f", static_cast<int>(width), p.name.c_str(), p.t);
        if (matrix) line += "    1  0  1    0  1  0   -1  0  0";
        line += '\n';
        out << line;
    }
    out.close();
    if (!out) {
        std::cerr << "make_series: cannot write " << path.string() << "\n";
        return false;
    }
    return true;
}

void usage(std::ostream& os) {
    os << "usage: make_series [options]\n"
          "  --count N     number of reports (default 16)\n"
          "  --first T     first temperature in K (default 100)\n"
          "  --last T      last temperature in K (default 400)\n"
          "  --size KB     target size of each report in KB (default 40)\n"
          "  --out DIR     output directory, created if needed (default .)\n"
          "  --seed S      seed of the noise (default 1)\n"
          "  --lines M     data lines in each buffer file, cycling through the reports\n"
          "                (default: one line per report)\n"
          "  --prefix P    report name prefix (default nreport_)\n"
          "Writes the reports, buffer_plain.txt and buffer_matrix.txt into DIR.\n"
          "Report names in the buffer files are plain names: run celltrend in DIR.\n";
}

bool parse_number(const char* text, double& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtod(text, &end);
    return errno == 0 && end != text && *end == '\0' && std::isfinite(out);
}

bool parse_integer(const char* text, long long& out) {
    char* end = nullptr;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return errno == 0 && end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            usage(std::cout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::cerr << "make_series: missing value after " << arg << "\n";
            usage(std::cerr);
            return 2;
        }
        const char* value = argv[++i];
        double d = 0.0;
        long long n = 0;
        bool ok = true;
        if (arg == "--count") {
            ok = parse_integer(value, n) && n >= 1 && n <= 10'000'000;
            o.count = static_cast<int>(n);
        } else if (arg == "--first") {
            ok = parse_number(value, d) && d >= 0.0;
            o.first = d;
        } else if (arg == "--last") {
            ok = parse_number(value, d) && d >= 0.0;
            o.last = d;
        } else if (arg == "--size") {
            ok = parse_number(value, d) && d >= 0.0 && d <= 100'000.0;
            o.size_kb = d;
        } else if (arg == "--out") {
            o.out = value;
        } else if (arg == "--seed") {
            ok = parse_integer(value, n) && n >= 0;
            o.seed = static_cast<std::uint64_t>(n);
        } else if (arg == "--lines") {
            ok = parse_integer(value, n) && n >= 0;
            o.lines = n;
        } else if (arg == "--prefix") {
            o.prefix = value;
        } else {
            std::cerr << "make_series: unknown option " << arg << "\n";
            usage(std::cerr);
            return 2;
        }
        if (!ok) {
            std::cerr << "make_series: bad value for " << arg << ": " << value << "\n";
            return 2;
        }
    }

    const std::vector<Point> pts = make_points(o);
    if (pts.front().name.size() > 64) {
        std::cerr << "make_series: report names longer than 64 characters; use a shorter --prefix\n";
        return 2;
    }
    std::error_code ec;
    const std::filesystem::path dir(o.out);
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "make_series: cannot create " << o.out << ": " << ec.message() << "\n";
        return 1;
    }
    std::size_t bytes = 0;
    for (int i = 0; i < o.count; ++i) {
        const Point& p = pts[static_cast<std::size_t>(i)];
        const std::string page = make_page(o, p, i);
        bytes += page.size();
        if (!write_file(dir / p.name, page)) return 1;
    }
    if (!write_buffer(dir / "buffer_plain.txt", o, pts, false)) return 1;
    if (!write_buffer(dir / "buffer_matrix.txt", o, pts, true)) return 1;
    std::cout << "make_series: " << o.count << " reports (" << bytes / 1024 << " KB) and 2 buffer files in " << o.out
              << "\n";
    return 0;
}
