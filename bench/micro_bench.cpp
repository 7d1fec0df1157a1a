// Micro-benchmarks of the routines every temperature passes through: the
// report scan, the line reads under it, the column count and the fields.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "column_count.hpp"
#include "list_input.hpp"
#include "record_format.hpp"
#include "report_scanner.hpp"
#include "text_files.hpp"

namespace {

using namespace celltrend;

// A report of about 40 KB with its results table at the end.
std::string report_path() {
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "celltrend-bench-report.html";
        std::ofstream out(p, std::ios::binary);
        out << "<HTML><BODY>\n";
        for (int i = 0; i < 500; ++i)
            out << "<TR><TD>shell " << i << "</TD><TD>2.15</TD><TD>1234</TD><TD>98.7</TD><TD>0.045</TD></TR>\n";
        const char* rows[][2] = {{"a (Angstrom)", "7.51234 +/- 0.00021"}, {"b (Angstrom)", "10.2 +/- 0.0003"},
                                 {"c (Angstrom)", "12.8 +/- 0.0004"},     {"alpha (&deg;)", "90.0 +/- 0.001"},
                                 {"beta (&deg;)", "101.5 +/- 0.002"},     {"gamma (&deg;)", "90.0 +/- 0.001"},
                                 {"Volume (A**3)", "960.5 +/- 0.05"},     {"Mosaicity (&deg;)", "0.45 +/- 0.01"}};
        for (auto& r : rows) out << "<TR><TH ALIGN='LEFT'>" << r[0] << "</TH><TD>" << r[1] << "</TD></TR>\n";
        out << "</BODY></HTML>\n";
        return p.string();
    }();
    return path;
}

void BM_ScanReport(benchmark::State& state) {
    InputFile report;
    std::array<bool, quantity_count> wanted;
    wanted.fill(true);
    for (auto _ : state) {
        std::string why;
        report.open(report_path(), why);
        benchmark::DoNotOptimize(scan_report(report, wanted));
        report.close();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(std::filesystem::file_size(report_path())));
}
BENCHMARK(BM_ScanReport);

void BM_LineReads(benchmark::State& state) {
    InputFile report;
    for (auto _ : state) {
        std::string why;
        report.open(report_path(), why);
        std::string_view line;
        while (report.next_line(line, 256) == ReadStatus::ok) benchmark::DoNotOptimize(line.data());
        report.close();
    }
}
BENCHMARK(BM_LineReads);

void BM_ColumnCount(benchmark::State& state) {
    const std::string line = "nreport_295K.html 295.0 1 0 1 0 1 0 -1 0 0" + std::string(214, ' ');
    for (auto _ : state) benchmark::DoNotOptimize(column_count(line));
}
BENCHMARK(BM_ColumnCount);

void BM_DataLineRead(benchmark::State& state) {
    const std::string line = "nreport_295K.html 295.0 1 0 1 0 1 0 -1 0 0";
    Text<64> name;
    float v[10];
    const ListItem items[] = {name.span(), &v[0], &v[1], &v[2], &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9]};
    for (auto _ : state) benchmark::DoNotOptimize(list_read(line, items));
}
BENCHMARK(BM_DataLineRead);

void BM_FixedField(benchmark::State& state) {
    float x = 960.54321f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(format_fixed(x, 12, 5));
        x += 0.001f;
    }
}
BENCHMARK(BM_FixedField);

void BM_TableLine(benchmark::State& state) {
    const float v = 10.123f;
    for (auto _ : state)
        benchmark::DoNotOptimize(
            format_record("(F6.2,14F12.5,2F12.3)", {v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v, v}));
}
BENCHMARK(BM_TableLine);

}  // namespace
