#include "formats/measured_number.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace formats;

namespace {

struct Case {
    std::string text;
    double value;
    double su;  // NaN: none given
};

}  // namespace

TEST(ReadMeasured, ReadsTheUncertaintyInUnitsOfTheLastDigit) {
    const double none = std::nan("");
    const Case cases[] = {
        {"10.2728(6)", 10.2728, 0.0006},
        {"7.50122(18)", 7.50122, 0.00018},
        {"1.2E1(3)", 12, 3},
        {"1.2e-3(15)", 0.0012, 0.0015},
        {"1.25E+2(4)", 125, 4},
        {"100(1)", 100, 1},
        {"1230(20)", 1230, 20},
        {"-173.15(50)", -173.15, 0.5},
        {"+0.5(1)", 0.5, 0.1},
        {".5(1)", 0.5, 0.1},
        {"5.(2)", 5, 2},
        {"90", 90, none},
        {"  101.482(9)\t", 101.482, 0.009},
        {"959.95", 959.95, none},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Estimate m;
        ASSERT_EQ(read_measured(c.text, m), Measured::number);
        EXPECT_DOUBLE_EQ(m.value, c.value);
        if (std::isnan(c.su)) {
            EXPECT_FALSE(m.has_sigma());
        } else {
            ASSERT_TRUE(m.has_sigma());
            EXPECT_DOUBLE_EQ(m.sigma, c.su);
        }
    }
}

TEST(ReadMeasured, TellsMissingFromInvalid) {
    Estimate m;
    EXPECT_EQ(read_measured("?", m), Measured::missing);
    EXPECT_EQ(read_measured(" . ", m), Measured::missing);
    for (const char* bad : {"", "abc", "10.27(6", "10.27()", "10.27(6)x", "10.27 (6)", "(6)", "1e(2)", "1.2.3",
                            "10.27(-6)", "--1", "1e999", "NaN(2)", "****"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(read_measured(bad, m), Measured::invalid);
    }
}
