#include "formats/series_export.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/example_tables.hpp"

using namespace formats;

namespace {

// celltrend's plain and transformed tables of the example series.
struct ExampleTables {
    Series plain;
    Series transformed;
};

const ExampleTables& example_tables() {
    static const ExampleTables tables{read_series(celltrend::testing::example_table()),
                                      read_series(celltrend::testing::example_table(true))};
    return tables;
}

// A plain table whose line 7 has asterisks for TK, line 8 a NaN volume ESD
// and line 9 a NaN mosaicity.
Series damaged_table() {
    const std::string text =
        "! damaged\n! d\n!\n"
        "!   TK        a(A)      ESD(A)        b(A)      ESD(A)        c(A)      ESD(A)  alpha(deg)    ESD(deg)   "
        "beta(deg)    ESD(deg)  gamma(deg)    ESD(deg)  volume(A3)     ESD(A3)  mosa.(deg)    ESD(deg) \n"
        "!----\n"
        "100.00     7.50000     0.00020    10.25000     0.00030    12.75000     0.00040    90.00000     0.00100"
        "   101.50000     0.00200    90.00000     0.00300   960.50000     0.05000       0.450       0.010\n"
        "******     7.50000     0.00020    10.25000     0.00030    12.75000     0.00040    90.00000     0.00100"
        "   101.50000     0.00200    90.00000     0.00300   960.50000     0.05000       0.450       0.010\n"
        "120.00     7.51000     0.00020    10.26000     0.00030    12.76000     0.00040    90.00000     0.00100"
        "   101.50000     0.00200    90.00000     0.00300   961.50000 NaN               0.450       0.010\n"
        "140.00     7.52000     0.00020    10.27000     0.00030    12.77000     0.00040    90.00000     0.00100"
        "   101.50000     0.00200    90.00000     0.00300   962.50000     0.05000 NaN               0.010\n";
    std::istringstream in(text);
    return read_series(in, "damaged.xy");
}

double number(const std::string& s) {
    double v = std::nan("");
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(res.ec == std::errc() && res.ptr == s.data() + s.size()) << "'" << s << "'";
    return v;
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == sep)
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

std::vector<std::string> words(const std::string& s) {
    std::istringstream in(s);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

// The value of a row by its EosFit7 column name.
double eosfit_value(const SeriesRow& r, const std::string& name) {
    const std::map<std::string, double> v{{"T", r.t},
                                          {"A", r.cell.a},
                                          {"SIGA", r.esd.a},
                                          {"B", r.cell.b},
                                          {"SIGB", r.esd.b},
                                          {"C", r.cell.c},
                                          {"SIGC", r.esd.c},
                                          {"ALPHA", r.cell.alpha},
                                          {"SIGAL", r.esd.alpha},
                                          {"BETA", r.cell.beta},
                                          {"SIGBE", r.esd.beta},
                                          {"GAMMA", r.cell.gamma},
                                          {"SIGGA", r.esd.gamma},
                                          {"V", r.volume},
                                          {"SIGV", r.volume_esd}};
    return v.at(name);
}

struct EosfitFile {
    std::map<std::string, std::string> keywords;  // Title, TScale, System
    std::vector<std::string> format;              // the column names
    std::vector<std::vector<double>> rows;
};

// Reads the keyword file as EosFit7 does: '#' lines are comments, keyword
// lines until Format, then data lines to the end.
EosfitFile read_eosfit(const std::string& text) {
    EosfitFile f;
    bool data = false;
    for (const std::string& line : split(text, '\n')) {
        if (line.empty() || line.starts_with('#')) {
            EXPECT_FALSE(data && !line.empty()) << "comment among the data: " << line;
            continue;
        }
        if (data) {
            std::vector<double> row;
            for (const std::string& w : words(line)) row.push_back(number(w));
            f.rows.push_back(row);
            continue;
        }
        const auto blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        if (key == "Format") {
            f.format = words(line.substr(blank));
            data = true;
        } else {
            f.keywords[key] = line.substr(blank + 1);
        }
    }
    return f;
}

}  // namespace

TEST(SeriesExport, StrainRowsReadBackAsTheSourceCells) {
    const Series& source = example_tables().plain;
    const ExportText out = export_strain_rows(source, std::nan(""));
    EXPECT_TRUE(out.warnings.empty());
    EXPECT_NE(out.text.find("# From " + source.name), std::string::npos);
    EXPECT_NE(out.text.find("sigmaT = 1 K"), std::string::npos);
    std::istringstream in(out.text);
    const Series back = read_series(in, "pascal.txt");
    ASSERT_EQ(back.layout, SeriesLayout::strain_rows);
    ASSERT_EQ(back.rows.size(), source.rows.size());
    for (std::size_t i = 0; i < back.rows.size(); ++i) {
        const SeriesRow &b = back.rows[i], &s = source.rows[i];
        EXPECT_EQ(b.t, s.t);
        EXPECT_EQ(b.sigma_t, 1.0);
        EXPECT_EQ(b.cell.a, s.cell.a);
        EXPECT_EQ(b.cell.b, s.cell.b);
        EXPECT_EQ(b.cell.c, s.cell.c);
        EXPECT_EQ(b.cell.alpha, s.cell.alpha);
        EXPECT_EQ(b.cell.beta, s.cell.beta);
        EXPECT_EQ(b.cell.gamma, s.cell.gamma);
    }
}

TEST(SeriesExport, StrainRowsTakeTheGivenSigmaTOrTheSourcesOwn) {
    const ExportText given = export_strain_rows(example_tables().transformed, 0.25);
    std::istringstream in(given.text);
    const Series back = read_series(in, "pascal.txt");
    ASSERT_EQ(back.rows.size(), 16u);
    for (const SeriesRow& r : back.rows) EXPECT_EQ(r.sigma_t, 0.25);
    EXPECT_EQ(back.rows[0].cell.a, example_tables().transformed.rows[0].cell.a);

    // Rows that carry their own sigmaT keep it unless one is given.
    std::istringstream rows_in("100 0.5 7.5 10 12 90 101 90\n120 0.7 7.6 10 12 90 101 90\n");
    const Series rows = read_series(rows_in, "rows.txt");
    std::istringstream own_in(export_strain_rows(rows, std::nan("")).text);
    const Series own = read_series(own_in, "again.txt");
    ASSERT_EQ(own.rows.size(), 2u);
    EXPECT_EQ(own.rows[0].sigma_t, 0.5);
    EXPECT_EQ(own.rows[1].sigma_t, 0.7);
}

TEST(SeriesExport, EosfitFileReadsBackAsTheSource) {
    const Series& source = example_tables().plain;
    const ExportText out = export_eosfit(source, "monoclinic");
    EXPECT_TRUE(out.warnings.empty());
    const EosfitFile f = read_eosfit(out.text);
    EXPECT_EQ(f.keywords.at("Title"), source.title);
    EXPECT_EQ(f.keywords.at("TScale"), "K");
    EXPECT_EQ(f.keywords.at("System"), "monoclinic");
    const std::vector<std::string> format{"T",     "A",    "SIGA",  "B",     "SIGB",  "C", "SIGC", "ALPHA",
                                          "SIGAL", "BETA", "SIGBE", "GAMMA", "SIGGA", "V", "SIGV"};
    EXPECT_EQ(f.format, format);
    ASSERT_EQ(f.rows.size(), source.rows.size());
    for (std::size_t i = 0; i < f.rows.size(); ++i) {
        ASSERT_EQ(f.rows[i].size(), format.size());
        for (std::size_t k = 0; k < format.size(); ++k)
            EXPECT_EQ(f.rows[i][k], eosfit_value(source.rows[i], format[k])) << format[k] << " row " << i;
    }
}

TEST(SeriesExport, EosfitLeavesOutTheEsdsATransformedTableLacks) {
    const Series& source = example_tables().transformed;
    const EosfitFile f = read_eosfit(export_eosfit(source, "").text);
    EXPECT_EQ(f.keywords.count("System"), 0u);
    EXPECT_EQ(f.format, (std::vector<std::string>{"T", "A", "B", "C", "ALPHA", "BETA", "GAMMA", "V"}));
    ASSERT_EQ(f.rows.size(), source.rows.size());
    for (std::size_t i = 0; i < f.rows.size(); ++i)
        for (std::size_t k = 0; k < f.format.size(); ++k)
            EXPECT_EQ(f.rows[i][k], eosfit_value(source.rows[i], f.format[k]));
}

TEST(SeriesExport, CsvReadsBackAsTheSource) {
    const Series& source = example_tables().plain;
    const ExportText out = export_csv(source);
    EXPECT_TRUE(out.warnings.empty());
    ASSERT_TRUE(out.text.ends_with("\r\n"));
    std::vector<std::string> records = split(out.text, '\n');
    records.pop_back();  // after the last CR LF
    ASSERT_EQ(records.size(), source.rows.size() + 1);
    for (std::string& r : records) {
        ASSERT_TRUE(r.ends_with('\r'));
        r.pop_back();
    }
    EXPECT_EQ(records[0],
              "T_K,a_A,sigma_a_A,b_A,sigma_b_A,c_A,sigma_c_A,alpha_deg,sigma_alpha_deg,beta_deg,sigma_beta_deg,"
              "gamma_deg,sigma_gamma_deg,V_A3,sigma_V_A3,mosaicity_deg,sigma_mosaicity_deg");
    for (std::size_t i = 0; i < source.rows.size(); ++i) {
        const SeriesRow& s = source.rows[i];
        const std::vector<double> expected{s.t,         s.cell.a,       s.esd.a,      s.cell.b,    s.esd.b,
                                           s.cell.c,    s.esd.c,        s.cell.alpha, s.esd.alpha, s.cell.beta,
                                           s.esd.beta,  s.cell.gamma,   s.esd.gamma,  s.volume,    s.volume_esd,
                                           s.mosaicity, s.mosaicity_esd};
        const std::vector<std::string> fields = split(records[i + 1], ',');
        ASSERT_EQ(fields.size(), expected.size());
        for (std::size_t k = 0; k < fields.size(); ++k) EXPECT_EQ(number(fields[k]), expected[k]) << i << " " << k;
    }
    EXPECT_EQ(split(export_csv(example_tables().transformed).text, '\r').front(),
              "T_K,a_A,b_A,c_A,alpha_deg,beta_deg,gamma_deg,V_A3,mosaicity_deg,sigma_mosaicity_deg");
}

TEST(SeriesExport, UnreadableFieldsAreNamedLeftOutOrLeftEmpty) {
    const Series source = damaged_table();
    ASSERT_EQ(source.rows.size(), 4u);

    // Strain rows need T and the cell: only the asterisks of line 7 matter.
    const ExportText pascal = export_strain_rows(source, std::nan(""));
    ASSERT_EQ(pascal.warnings.size(), 1u);
    EXPECT_EQ(pascal.warnings[0], "damaged.xy:7: asterisks or NaN in T; row left out");
    std::istringstream pascal_in(pascal.text);
    const Series pascal_back = read_series(pascal_in, "p");
    ASSERT_EQ(pascal_back.rows.size(), 3u);
    EXPECT_EQ(pascal_back.rows[1].t, 120.0);

    // EosFit7 takes the volume ESD too, not the mosaicity.
    const ExportText eosfit = export_eosfit(source, "");
    ASSERT_EQ(eosfit.warnings.size(), 2u);
    EXPECT_EQ(eosfit.warnings[0], "damaged.xy:7: asterisks or NaN in T; row left out");
    EXPECT_EQ(eosfit.warnings[1], "damaged.xy:8: asterisks or NaN in SIGV; row left out");
    const EosfitFile f = read_eosfit(eosfit.text);
    ASSERT_EQ(f.rows.size(), 2u);
    EXPECT_EQ(f.rows[0][0], 100.0);
    EXPECT_EQ(f.rows[1][0], 140.0);

    // CSV keeps every row, with empty fields.
    const ExportText csv = export_csv(source);
    ASSERT_EQ(csv.warnings.size(), 3u);
    EXPECT_EQ(csv.warnings[2], "damaged.xy:9: asterisks or NaN in mosaicity_deg; left empty");
    const std::vector<std::string> records = split(csv.text, '\n');
    ASSERT_EQ(records.size(), 6u);  // header, four rows, nothing after the last CR LF
    EXPECT_TRUE(records[2].starts_with(",7.5,0.0002,"));
    EXPECT_TRUE(records[3].ends_with(",961.5,,0.45,0.01\r"));
    EXPECT_TRUE(records[4].ends_with(",962.5,0.05,,0.01\r"));
}
