// Inputs that used to lose or bend data without a word, end to end: the
// console keeps its texts byte for byte, and what the user should learn
// beyond them comes as one line on standard error.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_dir.hpp"

namespace celltrend::testing {
namespace {

const std::string start = banner() + buffer_prompt + all_question;
const std::string created_plain = "\n \n   >>> The TK_parameters_HTML.xy file has been created \n";

std::string buffer(const std::vector<std::string>& data_lines) {
    std::string s = "Input series\nsecond line\n";
    for (const auto& l : data_lines) s += l + "\n";
    return s;
}

// The table without its five header lines.
std::string table_body(const RunDir& d) {
    std::string t = d.read("TK_parameters_HTML.xy");
    for (int i = 0; i < 5 && !t.empty(); ++i) t.erase(0, t.find('\n') + 1);
    return t;
}

// A value spelt NaN or Inf is no number: in a report it is reported as any
// unreadable value and left at 0 (a cell a of NaN drops the temperature); as
// a temperature it cannot be read in its form and ends the data.
TEST(SpeltOutSpecialValues, NeverReachATable) {
    RunDir d;
    ReportValues v;
    v.b = "NaN";
    v.esd_alpha = v.esd_beta = v.esd_gamma = "Infinity";
    d.write("spelt.html", report(v));
    ReportValues no_cell;
    no_cell.a = "nan";
    d.write("nan_a.html", report(no_cell));
    d.write("r.html", report());
    d.write("series.txt", buffer({"spelt.html 100", "nan_a.html 110", "r.html 120", "r.html Inf", "r.html 140"}));
    const RunResult r = d.run("series.txt\ny\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start +
                         "\n T = 100.00 K:  Value not found for: cell_b"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_alpha"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_beta"
                         "\n T = 100.00 K:   Standart deviation not found for: cell_gamma"
                         "\n T = 110.00 K:  Value not found for: cell_a" +
                         created_plain);
    const std::string body = table_body(d);
    EXPECT_EQ(body.find("NaN"), std::string::npos) << body;
    EXPECT_EQ(body.find("Inf"), std::string::npos) << body;
    ASSERT_EQ(body.size(), 2 * body.find('\n') + 2) << "two lines, 100 K and 120 K:\n" << body;
    EXPECT_EQ(body.substr(0, 42), "100.00     7.50000     0.00020     0.00000");
    EXPECT_EQ(body.substr(body.find('\n') + 1, 6), "120.00");
}

// An answer line of ten million characters is read in part, with a notice:
// its first value still counts, and the run goes on.
TEST(ConsoleLines, OverlongAnswerIsReadInPartAndSaidOnStandardError) {
    RunDir d;
    d.write("r.html", report());
    d.write("series.txt", buffer({"r.html 100"}));
    const RunResult r = d.run("series.txt\n" + std::string(10'000'000, 'y') + "\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, start + created_plain);
    EXPECT_EQ(r.err,
              "celltrend: standard input, line 2: a line of 10000000 characters; only its first 65536 are read\n");
}

}  // namespace
}  // namespace celltrend::testing
