// celltrend-analyse collect on the files a folder of refinements holds, as
// a user would run it: the example CIFs with the README's own lines, then
// one table of folders, each with what collect must write and say.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "formats/series_table.hpp"
#include "support/analyse_output.hpp"
#include "support/analyse_run.hpp"

using namespace celltrend::testing;

namespace {

// The lines of the README's code block that follows `heading`, which start
// with "celltrend-analyse ".
std::vector<std::string> readme_commands(const std::string& heading) {
    std::ifstream in(std::filesystem::path(CELLTREND_SOURCE_DIR) / "README.md");
    std::string line;
    bool section = false, block = false;
    std::vector<std::string> commands;
    while (std::getline(in, line)) {
        if (line == heading) section = true;
        if (!section) continue;
        if (line.starts_with("```")) {
            if (block) break;
            block = true;
            continue;
        }
        if (block && line.starts_with("celltrend-analyse ")) commands.push_back(line.substr(18));
    }
    return commands;
}

std::string cif(const std::string& block, const std::string& cell, const std::string& more) {
    return "data_" + block + "\n" + cell + more;
}

// A hexagonal refinement's cell: a = b one parameter, the angles fixed.
const std::string hexagonal =
    "_cell_length_a 4.9134(2)\n_cell_length_b 4.9134(2)\n_cell_length_c 5.4052(3)\n"
    "_cell_angle_alpha 90\n_cell_angle_beta 90\n_cell_angle_gamma 120\n";
const std::string at_100 = "_cell_measurement_temperature 100(2)\n";
const std::string res_100 =
    "TITL quartz\nCELL 0.71073 4.9134 4.9134 5.4052 90 90 120\nZERR 3 0.0002 0.0002 0.0003 0 0 0\n"
    "TEMP -173.15\n";

}  // namespace

// The README's lines run as written in a copy of examples/cif, and the
// table holds the example reports' cells exactly.
TEST(CollectInputs, ExampleFilesRunAsTheReadmeSays) {
    RunDir dir;
    const std::filesystem::path examples = std::filesystem::path(CELLTREND_SOURCE_DIR) / "examples";
    for (const auto& entry : std::filesystem::directory_iterator(examples / "cif"))
        std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
    const std::vector<std::string> commands = readme_commands("### Starting from CIF or SHELX files");
    ASSERT_EQ(commands.size(), 3u);
    for (const std::string& command : commands) {
        const AnalyseResult r = run_analyse(dir, command);
        EXPECT_EQ(r.status, 0) << command << "\n" << r.err;
        if (command.starts_with("collect")) {
            EXPECT_EQ(r.err, "") << command;
        }
        // The .res files and the mmCIF give no sigmaT: 0, not given.
        if (command.starts_with("expansion")) {
            EXPECT_EQ(without_misfit_lines(r.err),
                      "celltrend-analyse expansion: series.csv: warning: 3 of 16 rows give no sigmaT (0); equal "
                      "weights for all (--sigma-t K gives those rows K)\n");
        }
        if (command.starts_with("alpha")) {
            EXPECT_EQ(r.err, "") << command;
        }
    }
    ASSERT_EQ(make_example_table(dir, "buffer_plain.txt"), 0);
    const formats::Series table = formats::read_series((dir.path() / "TK_parameters_HTML.xy").string());
    const formats::Series collected = formats::read_series((dir.path() / "series.csv").string());
    ASSERT_EQ(collected.rows.size(), 16u);
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
        EXPECT_EQ(collected.rows[i].t, table.rows[i].t);
        EXPECT_EQ(collected.rows[i].cell.values(), table.rows[i].cell.values()) << table.rows[i].t;
        EXPECT_EQ(collected.rows[i].esd.values(), table.rows[i].esd.values()) << table.rows[i].t;
    }
    // 100 K: the CIF's own _cell_volume 959.95(4); 380 K (.res): computed.
    EXPECT_EQ(collected.rows[0].volume, 959.95);
    EXPECT_EQ(collected.rows[0].volume_esd, 0.04);
    EXPECT_EQ(collected.rows[0].sigma_t, 2);
    EXPECT_EQ(collected.rows[14].sigma_t, 0);  // TEMP gives none
    EXPECT_NEAR(collected.rows[14].volume, table.rows[14].volume, table.rows[14].volume_esd);
}

// Each folder: the files, the command, its status, what standard error must
// say and what the output must hold (CSV unless the args say otherwise).
TEST(CollectInputs, FoldersOfRefinements) {
    struct File {
        std::string name;
        std::string text;
    };
    struct Case {
        std::string what;
        std::vector<File> files;
        std::string args;
        int status;
        std::vector<std::string> err;  // each somewhere on standard error
        std::vector<std::string> out;  // each somewhere on standard output
    };
    const std::string csv_header_end = ",V_A3,sigma_V_A3\r\n";
    const std::vector<Case> cases = {
        {"the .res of an .ins/.res pair",
         {{"q.ins", "TITL quartz\nCELL 0.71073 4.9 4.9 5.4 90 90 120\nTEMP -173.15\n"}, {"q.res", res_100}},
         "q.ins q.res",
         0,
         {"q.ins and q.res are one refinement; q.res taken\n"},
         {"\r\n100,0,4.9134,"}},
        {"a stray CSV among the operands",
         {{"old.csv", "T_K,a_A\r\n"}, {"q.res", res_100}},
         "old.csv q.res",
         0,
         {"old.csv: neither a CIF (.cif, .mmcif) nor a SHELX file (.ins, .res) by its name; passed over\n"},
         {"\r\n100,0,4.9134,"}},
        {"extensions in capitals",
         {{"Q.RES", res_100}, {"H.CIF", cif("h", hexagonal, "_cell_measurement_temperature 200(2)\n")}},
         "Q.RES H.CIF",
         0,
         {},
         {"\r\n100,0,4.9134,", "\r\n200,2,4.9134,"}},
        {"the block's own _cell_volume and s.u.",
         {{"v.cif", cif("v", hexagonal, at_100 + "_cell_volume 113.01(1)\n")}},
         "v.cif",
         0,
         {},
         {",113.01,0.01\r\n"}},
        {"a = b one parameter in the volume's ESD",
         {{"h.cif", cif("h", hexagonal, at_100)}},
         "h.cif",
         0,
         {},
         {",113.007,0.011\r\n"}},
        {"a given volume more than 3 s.u. from the cell's, kept",
         {{"v.cif", cif("v", hexagonal, at_100 + "_cell_volume 113.50(2)\n")}},
         "v.cif",
         0,
         {"v.cif data_v: _cell_volume 113.5 and the cell's 113.007 differ by more than 3 s.u.; the given volume is "
          "kept\n"},
         {",113.5,0.02\r\n"}},
        {"the pressure in GPa",
         {{"p.cif", cif("p", hexagonal, at_100 + "_diffrn_ambient_pressure 101.3(5)\n")}},
         "p.cif",
         0,
         {},
         {",sigma_V_A3,P_GPa,sigma_P_GPa\r\n", ",0.0001013,0.0000005\r\n"}},
        {"a CIF and the .res it came from: one row",
         {{"q.res", res_100}, {"h.cif", cif("h", hexagonal, at_100)}},
         "q.res h.cif",
         0,
         {"h.cif data_h: the temperature and cell of q.res; one row\n"},
         {csv_header_end + "100,0,"}},
        {"one file named twice",
         {{"q.res", res_100}},
         "q.res ./q.res",
         0,
         {"./q.res: the same file as q.res; read once\n"},
         {csv_header_end + "100,0,4.9134,0.0002,4.9134,0.0002,5.4052,0.0003,90,0,90,0,120,0,113.007,0.011\r\n"}},
        {"a reader's note: no TEMP",
         {{"q.res", "TITL q\nCELL 0.71 5 6 7 90 90 90\n"}},
         "q.res",
         0,
         {"q.res: no TEMP; SHELX's default of 20 degrees Celsius (293.15 K) taken\n",
          "q.res: no ZERR; the cell is taken without ESDs\n"},
         {"\r\n293.15,0,5,0,6,0,7,0,90,0,90,0,90,0,210,0\r\n"}},
        {"TITL with '!' kept whole",
         {{"q.res", "TITL CT-17 ! second crystal\n" + res_100.substr(res_100.find("CELL"))}},
         "--format eosfit q.res",
         0,
         {},
         {"Title CT-17 ! second crystal\n"}},
        {"TITL ending in '=' continues nothing",
         {{"q.res", "TITL CT-17 a=b=\n" + res_100.substr(res_100.find("CELL"))}},
         "--format pascal q.res",
         0,
         {},
         {"\n100 0 4.9134 4.9134 5.4052 90 90 120\n"}},
        {"a TEMP of 306 decimals",
         {{"q.res", "CELL 0.71 5 6 7 90 90 90\nTEMP 1." + std::string(305, '0') + "5\n"}},
         "--format pascal q.res",
         0,
         {},
         {"\n274.15 0 5 6 7 90 90 90\n"}},
        {"two CELL lines",
         {{"q.res", res_100 + "CELL 0.71 5 6 7 90 90 90\n"}},
         "--format pascal q.res",
         0,
         {"q.res:5: CELL given again (first at line 2); the first is used\n"},
         {"\n100 0 4.9134 4.9134 5.4052 90 90 120\n"}},
        {"a CIF with a byte-order mark",
         {{"b.cif", "\xEF\xBB\xBF" + cif("b", hexagonal, at_100)}},
         "b.cif",
         0,
         {},
         {"\r\n100,2,4.9134,"}},
        {"a dotted and a CIF 1.1 name that differ",
         {{"d.cif", cif("d", hexagonal, at_100 + "_cell.length_c 5.5\n")}},
         "d.cif",
         0,
         {"d.cif data_d: _cell_length_c 5.4052(3) and _cell.length_c 5.5 differ; _cell_length_c is used\n"},
         {",5.4052,0.0003,"}},
        {"an su item of -1 over the _esd item",
         {{"s.cif", cif("s",
                        "_cell.length_a 5\n_cell.length_a_su -1\n_cell.length_a_esd 0.002\n_cell.length_b 6\n"
                        "_cell.length_c 7\n_cell.angle_alpha 90\n_cell.angle_beta 90\n_cell.angle_gamma 90\n",
                        at_100)}},
         "s.cif",
         0,
         {"s.cif data_s: _cell.length_a_su -1 is no s.u.; passed over\n"},
         {"\r\n100,2,5,0.002,6,0,"}},
        {"a volume beyond a double's range",
         {{"h.cif", cif("h",
                        "_cell_length_a 1e200\n_cell_length_b 1e200\n_cell_length_c 1e200\n_cell_angle_alpha 90\n"
                        "_cell_angle_beta 90\n_cell_angle_gamma 90\n",
                        at_100)}},
         "h.cif",
         1,
         {"h.cif data_h: the volume of the cell leaves the range of a double; left out\n"},
         {}},
        {"a zero length",
         {{"z.cif", cif("z", "_cell_length_a 0\n" + hexagonal.substr(hexagonal.find("_cell_length_b")), at_100)}},
         "z.cif",
         1,
         {"z.cif data_z: _cell_length_a not positive (0); cell left out\n"},
         {}},
        {"an angle of 270 degrees",
         {{"a.cif", cif("a",
                        "_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n_cell_angle_alpha 270\n"
                        "_cell_angle_beta 90\n_cell_angle_gamma 90\n",
                        at_100)}},
         "a.cif",
         1,
         {"a.cif data_a: the angles 270, 90, 90 close no cell"},
         {}},
        {"three angles of 120 degrees",
         {{"a.cif", cif("a",
                        "_cell_length_a 5\n_cell_length_b 6\n_cell_length_c 7\n_cell_angle_alpha 120\n"
                        "_cell_angle_beta 120\n_cell_angle_gamma 120\n",
                        at_100)}},
         "a.cif",
         1,
         {"a.cif data_a: the angles 120, 120, 120 close no cell"},
         {}},
        {"a temperature in degrees Celsius",
         {{"c.cif", cif("c", hexagonal, "_cell_measurement_temperature -173\n")}},
         "c.cif",
         1,
         {"c.cif data_c: _cell_measurement_temperature -173 is no temperature in kelvin (it looks like degrees "
          "Celsius); left out\n"},
         {}},
        {"a temperature that cannot be read",
         {{"k.cif", cif("k", hexagonal, "_cell_measurement_temperature 100(2)K\n")}},
         "k.cif",
         1,
         {"k.cif data_k: _cell_measurement_temperature no number (100(2)K); left out\n"},
         {}},
        {"a loop of cells",
         {{"l.cif",
           "data_l\nloop_\n_cell_length_a\n_cell_length_b\n_cell_length_c\n_cell_angle_alpha\n"
           "_cell_angle_beta\n_cell_angle_gamma\n5 6 7 90 90 90\n5.1 6 7 90 90 90\n" +
               at_100}},
         "l.cif",
         1,
         {"l.cif data_l: _cell_length_a is a loop of 2 values: one cell per block is read; cell left out\n"},
         {}},
        {"a CIF that gemmi cannot parse, named with its line",
         {{"q.res", res_100}, {"broken.cif", "data_c\n_cell_length_a\n"}},
         "q.res broken.cif -o out.csv",
         1,
         {"broken.cif: not a CIF: broken.cif:"},
         {}},
        {"a CIF 2.0 list", {{"c2.cif", "data_c\n_cell_length_a [5 6]\n"}}, "c2.cif", 1, {"CIF 2.0 is not read"}, {}},
        {"UTF-16",
         {{"u.cif", std::string("\xFF\xFE"
                                "d\0a\0t\0a\0_\0x\0",
                                14)}},
         "u.cif",
         1,
         {"u.cif: UTF-16"},
         {}},
        {"a device named as a .res", {}, "zero.res", 1, {"zero.res: is a device, not a regular file\n"}, {}},
        {"a FIFO named as a .cif", {}, "fifo.cif", 1, {"fifo.cif: is a FIFO, not a regular file\n"}, {}},
    };
    for (const Case& c : cases) {
        RunDir dir;
        for (const File& f : c.files) dir.write(f.name, f.text);
        std::filesystem::create_symlink("/dev/zero", dir.path() / "zero.res");
        ASSERT_EQ(::mkfifo((dir.path() / "fifo.cif").c_str(), 0600), 0);
        if (c.what.starts_with("the .res of"))  // the .ins older, as after a refinement
            std::filesystem::last_write_time(
                dir.path() / "q.ins", std::filesystem::last_write_time(dir.path() / "q.res") - std::chrono::hours(1));
        const AnalyseResult r = run_analyse(dir, "collect " + c.args);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        for (const std::string& e : c.err) EXPECT_NE(r.err.find(e), std::string::npos) << c.what << "\n" << r.err;
        for (const std::string& o : c.out) EXPECT_NE(r.out.find(o), std::string::npos) << c.what << "\n" << r.out;
        if (c.status == 1) {
            EXPECT_EQ(r.out, "") << c.what;
            EXPECT_FALSE(dir.exists("out.csv")) << c.what;
        }
    }
}

// An .ins newer than its .res (edited, not yet refined): the .res is still
// read, and the line says so.
TEST(CollectInputs, InsNewerThanItsRes) {
    RunDir dir;
    dir.write("q.res", res_100);
    dir.write("q.ins", "TITL quartz\nCELL 0.71073 4.9 4.9 5.4 90 90 120\nTEMP -173.15\n");
    std::filesystem::last_write_time(dir.path() / "q.res",
                                     std::filesystem::last_write_time(dir.path() / "q.ins") - std::chrono::hours(1));
    const AnalyseResult r = run_analyse(dir, "collect --format pascal q.res q.ins");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "celltrend-analyse collect: q.ins and q.res are one refinement; q.res taken (the .ins is newer: a "
              "refinement not yet run on it?)\n");
    EXPECT_NE(r.out.find("\n100 0 4.9134 4.9134 5.4052 90 90 120\n"), std::string::npos) << r.out;
}
