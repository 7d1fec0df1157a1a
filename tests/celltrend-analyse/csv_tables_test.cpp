// CSV tables as spreadsheets and data-frame libraries write them, read by
// the subcommands as the same series; rows that are no measurement named and
// left out.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

const std::vector<std::string> header{
    "T_K",       "sigma_T_K",       "a_A",      "sigma_a_A",      "b_A",       "sigma_b_A",      "c_A", "sigma_c_A",
    "alpha_deg", "sigma_alpha_deg", "beta_deg", "sigma_beta_deg", "gamma_deg", "sigma_gamma_deg"};
const std::vector<std::vector<std::string>> rows{
    {"100", "1", "7.50122", "0.00018", "10.19875", "0.00022", "12.80417", "0.00031", "90", "0", "101.4821", "0.0009",
     "90", "0"},
    {"150", "1", "7.5116", "0.0002", "10.2216", "0.0003", "12.8119", "0.0003", "90", "0", "101.5167", "0.0011", "90",
     "0"},
    {"200", "1", "7.5226", "0.0002", "10.2478", "0.0003", "12.8198", "0.0003", "90", "0", "101.5531", "0.0010", "90",
     "0"},
    {"250", "1", "7.5350", "0.0003", "10.2741", "0.0003", "12.8280", "0.0004", "90", "0", "101.5917", "0.0012", "90",
     "0"},
};

// The table with `field(column, text)` giving each field's text, `skip` a
// column left out, `end` after each record.
template <typename Field>
std::string table(Field field, const std::string& end = "\r\n", const std::string& skip = "") {
    std::string text;
    const auto record = [&](const std::vector<std::string>& fields, bool is_header) {
        std::string line;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (header[i] == skip) continue;
            line += (line.empty() ? "" : ",") + field(header[i], fields[i], is_header);
        }
        text += line + end;
    };
    record(header, true);
    for (const auto& r : rows) record(r, false);
    return text;
}

std::string plain(const std::string&, const std::string& text, bool) { return text; }

}  // namespace

// Each form is read as the same series: export writes it back byte for byte
// as it writes the plain table.
TEST(CsvTables, SpreadsheetAndDataFrameFormsReadAsOneSeries) {
    RunDir dir;
    dir.write("plain.csv", table(plain));
    const AnalyseResult plain_export = run_analyse(dir, "export --format csv plain.csv");
    ASSERT_EQ(plain_export.status, 0) << plain_export.err;
    struct Form {
        std::string what;
        std::string text;
    };
    std::string index = table([](const std::string&, const std::string& t, bool) { return t; });
    {
        // pandas' to_csv: an unnamed index column first.
        std::string framed;
        std::size_t start = 0;
        for (int n = -1; start < index.size(); ++n) {
            const std::size_t end = index.find("\r\n", start) + 2;
            framed += (n < 0 ? std::string() : std::to_string(n)) + "," + index.substr(start, end - start);
            start = end;
        }
        index = framed;
    }
    const std::vector<Form> forms = {
        {"blanks around the header's names",
         table([](const std::string&, const std::string& t, bool h) { return h ? " " + t + " " : t; })},
        {"LF line ends", table(plain, "\n")},
        {"trailing blank lines", table(plain) + "\r\n\r\n"},
        {"every field quoted", table([](const std::string&, const std::string& t, bool) { return "\"" + t + "\""; })},
        {"a comment column with commas and doubled quotes",
         table([](const std::string& c, const std::string& t, bool h) {
             return c == "T_K" ? (h ? "note," + t : "\"crystal \"\"B\"\", cooled\"," + t) : t;
         })},
        {"a byte-order mark", "\xEF\xBB\xBF" + table(plain)},
        {"a data frame's index", index},
    };
    for (const Form& f : forms) {
        dir.write("form.csv", f.text);
        const AnalyseResult r = run_analyse(dir, "export --format csv form.csv");
        EXPECT_EQ(r.status, 0) << f.what << "\n" << r.err;
        EXPECT_EQ(r.err, "") << f.what;
        EXPECT_EQ(r.out, plain_export.out) << f.what;
    }
}

// Five of the six ESD columns carry no ESDs, and the user is told; the fits
// are those of the table without ESDs.
TEST(CsvTables, FiveOfTheSixEsdColumnsAreSaidToBeUnused) {
    RunDir dir;
    dir.write("five.csv", table(plain, "\r\n", "sigma_gamma_deg"));
    // The table without any ESD column.
    std::string without;
    {
        const std::vector<std::string> keep{"T_K", "sigma_T_K", "a_A",      "b_A",
                                            "c_A", "alpha_deg", "beta_deg", "gamma_deg"};
        const auto fields = [&](const std::vector<std::string>& f) {
            std::string line;
            for (std::size_t i = 0; i < f.size(); ++i)
                if (std::find(keep.begin(), keep.end(), header[i]) != keep.end())
                    line += (line.empty() ? "" : ",") + f[i];
            return line + "\r\n";
        };
        without = fields(header);
        for (const auto& r : rows) without += fields(r);
    }
    dir.write("without.csv", without);
    for (const std::string command : {"alpha --model poly1", "expansion --tsv"}) {
        const AnalyseResult five = run_analyse(dir, command + " five.csv");
        const AnalyseResult plain_run = run_analyse(dir, command + " without.csv");
        EXPECT_EQ(five.status, 0) << five.err;
        EXPECT_NE(five.err.find(": five.csv:1: note: 5 of the six cell ESD columns; the ESDs are not used"),
                  std::string::npos)
            << five.err;
        std::string expected = plain_run.out;
        for (std::size_t at; (at = expected.find("without.csv")) != std::string::npos;)
            expected.replace(at, 11, "five.csv");
        EXPECT_EQ(five.out, expected) << command;
    }
}

// A row at or below 0 K (a temperature in degrees Celsius by mistake) or
// with a negative ESD is no measurement: named and left out, the rest used.
TEST(CsvTables, RowsThatAreNoMeasurementAreLeftOut) {
    RunDir dir;
    const std::string good = table(plain);
    dir.write("good.csv", good);
    struct Case {
        std::string row;
        std::string warning;
    };
    const Case cases[] = {
        {"-173,1,7.5,0.0002,10.2,0.0003,12.8,0.0003,90,0,101.5,0.001,90,0",
         "bad.csv:6: warning: T -173 is no temperature in kelvin (it looks like degrees Celsius); skipped"},
        {"0,1,7.5,0.0002,10.2,0.0003,12.8,0.0003,90,0,101.5,0.001,90,0",
         "bad.csv:6: warning: T 0 is no temperature in kelvin (it looks like degrees Celsius); skipped"},
        {"300,1,7.5,-0.0002,10.2,0.0003,12.8,0.0003,90,0,101.5,0.001,90,0",
         "bad.csv:6: warning: a negative cell ESD; skipped"},
        {"300,1,7.5,0.0002,10.2,0.0003,12.8,0.0003,270,0,101.5,0.001,90,0", "bad.csv:6: not a unit cell"},
    };
    for (const Case& c : cases) {
        dir.write("bad.csv", good + c.row + "\r\n");
        for (const std::string command : {"alpha --model poly1", "expansion --tsv"}) {
            const AnalyseResult bad = run_analyse(dir, command + " bad.csv");
            EXPECT_NE(bad.err.find(c.warning), std::string::npos) << command << " " << c.row << "\n" << bad.err;
            if (c.warning.find("skipped") == std::string::npos) {
                EXPECT_EQ(bad.status, 1) << c.row;
                continue;
            }
            EXPECT_EQ(bad.status, 0) << c.row;
            std::string expected = run_analyse(dir, command + " good.csv").out;
            for (std::size_t at; (at = expected.find("good.csv")) != std::string::npos;)
                expected.replace(at, 8, "bad.csv");
            EXPECT_EQ(bad.out, expected) << command << " " << c.row;
        }
    }
}
