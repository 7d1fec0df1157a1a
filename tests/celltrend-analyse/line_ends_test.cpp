// A table saved by a Windows editor, with CR LF line ends and perhaps a
// byte-order mark, is the same table: every subcommand reads it to the same
// rows and prints exactly what it prints for the plain file.

#include <gtest/gtest.h>

#include <string>

#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

std::string with_crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::string bom = "\xEF\xBB\xBF";

}  // namespace

TEST(LineEnds, CrLfAndByteOrderMarkReadAsThePlainTable) {
    RunDir plain;
    ASSERT_EQ(make_example_table(plain, "buffer_plain.txt"), 0);
    const std::string table = plain.read("TK_parameters_HTML.xy");
    // The same rows as the strain calculators take them.
    const AnalyseResult rows = run_analyse(plain, "export -f pascal TK_parameters_HTML.xy");
    ASSERT_EQ(rows.status, 0) << rows.err;
    plain.write("rows.txt", rows.out);

    const std::string commands[] = {
        "expansion --tsv TK_parameters_HTML.xy",
        "expansion --strains strains.pgf TK_parameters_HTML.xy",
        "expansion rows.txt",
        "transform -m '1 0 1 0 1 0 -1 0 0' TK_parameters_HTML.xy",
        "export -f pascal TK_parameters_HTML.xy",
        "export -f eosfit TK_parameters_HTML.xy",
        "export -f csv TK_parameters_HTML.xy",
        "export -f csv -",  // the table on standard input
    };
    struct Variant {
        std::string name, table, rows;
    };
    const Variant variants[] = {
        {"CR LF", with_crlf(table), with_crlf(rows.out)},
        {"byte-order mark", bom + table, bom + rows.out},
        {"both", bom + with_crlf(table), bom + with_crlf(rows.out)},
    };
    for (const Variant& v : variants) {
        RunDir dir;
        dir.write("TK_parameters_HTML.xy", v.table);
        dir.write("rows.txt", v.rows);
        for (const std::string& command : commands) {
            SCOPED_TRACE(v.name + ": " + command);
            const bool piped = command.ends_with(" -");
            const AnalyseResult expected = run_analyse(plain, command, piped ? table : "");
            ASSERT_EQ(expected.status, 0) << expected.err;
            const AnalyseResult got = run_analyse(dir, command, piped ? v.table : "");
            EXPECT_EQ(got.status, 0);
            EXPECT_EQ(got.err, expected.err);
            EXPECT_EQ(got.out, expected.out);
            if (command.find("--strains") != std::string::npos) {
                EXPECT_EQ(dir.read("strains.pgf"), plain.read("strains.pgf"));
            }
        }
    }
}
