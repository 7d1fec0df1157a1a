#include "cellfiles/cell_file_text.hpp"

#include <gtest/gtest.h>

#include <string>

#include "cellfiles/found_cell.hpp"
#include "support/run_dir.hpp"

using namespace cellfiles;
using namespace formats;

namespace {

std::string error_of(const std::string& path, std::size_t limit) {
    try {
        read_cell_file(path, limit);
    } catch (const CellFileError& e) {
        return e.what();
    }
    return "(no error)";
}

}  // namespace

// One input holds at most the bound: a file beyond it is refused whole,
// never read into memory; one at the bound is read as it is.
TEST(CellFileText, AFileBeyondTheBoundIsRefused) {
    celltrend::testing::RunDir dir;
    const std::string text(3u << 20, 'x');
    dir.write("big.cif", text);
    const std::string path = (dir.path() / "big.cif").string();
    EXPECT_EQ(read_cell_file(path, 3u << 20), text);
    EXPECT_EQ(error_of(path, 2u << 20), path + ": larger than 2 MB, more than a refinement's file holds; not read");
    EXPECT_EQ(error_of((dir.path() / "missing.cif").string(), 1u << 20),
              (dir.path() / "missing.cif").string() + ": cannot open: No such file or directory");
    EXPECT_EQ(error_of(dir.path().string(), 1u << 20), dir.path().string() + ": is a directory");
}
