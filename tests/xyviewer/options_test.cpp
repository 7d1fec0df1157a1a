// The command line of xyviewer.

#include <gtest/gtest.h>

#include "options.hpp"

using namespace xyviewer;

TEST(Options, SizesInCentimetresMillimetresAndInches) {
    double w = 0, h = 0;
    ASSERT_TRUE(parse_size("8.5x6cm", w, h));
    EXPECT_DOUBLE_EQ(w, 85);
    EXPECT_DOUBLE_EQ(h, 60);
    ASSERT_TRUE(parse_size("3.5x2.5in", w, h));
    EXPECT_DOUBLE_EQ(w, 88.9);
    ASSERT_TRUE(parse_size("170x120mm", w, h));
    EXPECT_DOUBLE_EQ(h, 120);
    for (const char* bad : {"8.5x6", "8.5cm", "x6cm", "-8x6cm", "8x6 cm", "0x6cm", "nanxinfcm", "1x1cm", "900x6cm"})
        EXPECT_FALSE(parse_size(bad, w, h)) << bad;
}

TEST(Options, GnuStyleForms) {
    const Options o = parse_options(
        {"--size=8.5x6cm", "--dpi", "300", "-oout.png", "--normalise", "--no-fit", "a.pgf", "--", "-b.pgf"});
    EXPECT_EQ(o.output, "out.png");
    EXPECT_EQ(o.dpi, 300);
    EXPECT_TRUE(o.normalise);
    EXPECT_FALSE(o.fit);
    EXPECT_EQ(o.inputs, (std::vector<std::string>{"a.pgf", "-b.pgf"}));
    EXPECT_THROW(parse_options({"--dpi=0", "a.pgf"}), UsageError);
    EXPECT_THROW(parse_options({"--output"}), UsageError);
    EXPECT_THROW(parse_options({"--help=me"}), UsageError);
    try {  // a size in the right form but out of bounds says the bounds
        parse_options({"--size", "1x1cm", "a.pgf"});
        ADD_FAILURE() << "1x1cm accepted";
    } catch (const UsageError& e) {
        EXPECT_NE(std::string(e.what()).find("from 2x1.5cm to 200x200cm"), std::string::npos) << e.what();
    }
}

TEST(Options, ColumnsTitleAndNoTitle) {
    const Options o = parse_options({"--column", "a,b,V", "--title=b of CT-17", "T.xy"});
    EXPECT_EQ(o.columns, (std::vector<std::string>{"a", "b", "V"}));
    EXPECT_EQ(o.title, "b of CT-17");
    EXPECT_EQ(parse_options({"--no-title", "a.pgf"}).title, "");
    EXPECT_FALSE(parse_options({"a.pgf"}).title.has_value());
    EXPECT_THROW(parse_options({"--column", "a,", "T.xy"}), UsageError);
    EXPECT_THROW(parse_options({"--title", "x", "--no-title", "a.pgf"}), UsageError);
}
