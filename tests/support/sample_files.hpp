#pragma once
// Plot files as celltrend writes them: twelve header lines, data lines of
// F6.2 then F20.5 (then F20.5 for the ESD) with no separator, and the end
// line.  Each is spelt out character for character, so that the reader is
// tested on the layout itself and not on a copy of its own assumptions.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace xyviewer_test {

// a of a plain run: 46-character data lines with the ESD.
inline constexpr std::string_view plain_cell_a =
    "# MAIN LEGEND TEXT: NiO film, cooling run\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : a unit cell parameter (A)\n"
    "#   TK              a(A)            ESD_a(A)\n"
    "# NUMBER OF PATTERNS: 1\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : a(A)=f(T)\n"
    "#  NUMBER OF POINTS :        3\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y SIGY\n"
    "100.00             7.50000             0.00100\n"
    "200.00             7.51000             0.00200\n"
    "300.00             7.52500             0.00100\n"
    "# END OF FILE\n";

// The volume of a transformed run: 26-character lines without ESD.
inline constexpr std::string_view transformed_volume =
    "# MAIN LEGEND TEXT: NiO film, new axes\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : Unit cell volume (A3)\n"
    "#   TK        volume(A3)\n"
    "# NUMBER OF PATTERNS: 1\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : volume(A3)=f(T)\n"
    "#  NUMBER OF POINTS :        4\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y\n"
    "120.00          1683.41260\n"
    "160.00          1684.29780\n"
    "200.00          1685.18300\n"
    "240.00          1686.06820\n"
    "# END OF FILE\n";

// Mosaicity keeps its ESD in a transformed run too.
inline constexpr std::string_view mosaicity =
    "# MAIN LEGEND TEXT: NiO film, new axes\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : Crystal mosaicity (deg.)\n"
    "#   TK    mosaicity(deg)  ESD_mosaicity(deg)\n"
    "# NUMBER OF PATTERNS: 1\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : mosaicity(deg)=f(T)\n"
    "#  NUMBER OF POINTS :        3\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y SIGY\n"
    " 90.00             0.41200             0.00300\n"
    "180.00             0.43800             0.00400\n"
    "270.00             0.47100             0.00300\n"
    "# END OF FILE\n";

// Two temperatures were dropped by the driver: NUMBER OF POINTS says 14.
// Values wider than their fields touch their neighbours; a temperature of
// 1000 K or more is six asterisks.
inline constexpr std::string_view wide_and_short =
    "# MAIN LEGEND TEXT: wide values\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : Unit cell volume (A3)\n"
    "#   TK        volume(A3)      ESD_volume(A3)\n"
    "# NUMBER OF PATTERNS: 1\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : volume(A3)=f(T)\n"
    "#  NUMBER OF POINTS :       14\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y SIGY\n"
    "100.0012345678901234.50000             0.50000\n"
    "-12.50-1234567890123.12345 1234567890123.12345\n"
    "******          1700.00000             0.10000\n"
    "# END OF FILE\n";

// Invalid results print as NaN or Inf from the left edge of the field.
inline constexpr std::string_view not_a_number_fields =
    "# MAIN LEGEND TEXT: NaN fields\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : b unit cell parameter (A)\n"
    "#   TK              b(A)            ESD_b(A)\n"
    "# NUMBER OF PATTERNS: 1\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : b(A)=f(T)\n"
    "#  NUMBER OF POINTS :        4\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y SIGY\n"
    "100.00             9.10000             0.00200\n"
    "150.00-NaN                             0.00200\n"
    "200.00             9.12000-NaN                \n"
    "250.00             9.13000Inf                 \n"
    "# END OF FILE\n";

// Principal strains of a thermal-expansion analysis: three patterns in one
// file, each with its own header block and no SIGY column.
inline constexpr std::string_view principal_strains =
    "# MAIN LEGEND TEXT: principal strains\n"
    "# X LEGEND TEXT   : Temperature (K)\n"
    "# Y LEGEND TEXT   : Principal strain (%)\n"
    "#   TK        strain(%)\n"
    "# NUMBER OF PATTERNS: 3\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 1\n"
    "#             TITLE : X1\n"
    "#  NUMBER OF POINTS :        3\n"
    "#            MARKER : 1\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y\n"
    "100.00             0.00000\n"
    "200.00             0.36000\n"
    "300.00             0.72000\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 2\n"
    "#             TITLE : X2\n"
    "#  NUMBER OF POINTS :        3\n"
    "#            MARKER : 2\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y\n"
    "100.00             0.00000\n"
    "200.00             0.16000\n"
    "300.00             0.32000\n"
    "#--------------------------------------------------\n"
    "# >>>>>>>> PATTERN #: 3\n"
    "#             TITLE : X3\n"
    "#  NUMBER OF POINTS :        3\n"
    "#            MARKER : 3\n"
    "#              SIZE : 2\n"
    "#   DATA: X Y\n"
    "100.00             0.00000\n"
    "200.00            -0.02000\n"
    "300.00            -0.04000\n"
    "# END OF FILE\n";

inline void write_file(const std::filesystem::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace xyviewer_test
