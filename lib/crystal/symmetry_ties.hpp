#pragma once
// Which cell parameters of a series are one refined parameter and which are
// held by symmetry: read from the series itself, or imposed by a crystal
// system.  A tied group is one fitted quantity, so every uncertainty that
// combines its members carries their full correlation.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crystal/expansion_result.hpp"
#include "formats/cell_ties.hpp"

namespace crystal {

enum class CrystalSystem {
    automatic,  // the ties the input shows
    triclinic,
    monoclinic,  // unique axis b
    monoclinic_c,
    orthorhombic,
    tetragonal,
    trigonal,
    hexagonal,
    rhombohedral,
    cubic,
};

// The names read_crystal_system takes: for an option's allowed words, and
// as one text for a message.
inline constexpr std::string_view crystal_system_words[] = {"auto",         "triclinic",  "monoclinic", "monoclinic-c",
                                                            "orthorhombic", "tetragonal", "trigonal",   "hexagonal",
                                                            "rhombohedral", "cubic"};
inline constexpr const char* crystal_system_choices =
    "auto, triclinic, monoclinic, monoclinic-c, orthorhombic, tetragonal, trigonal, hexagonal, rhombohedral or cubic";

// "auto", "triclinic", ..., "monoclinic-c"; none for an unknown name.
std::optional<CrystalSystem> read_crystal_system(std::string_view name);
std::string crystal_system_name(CrystalSystem system);

// Two lengths whose values and ESDs (or the lack of one) are equal, as
// numbers, in every row are tied, and so are two angles that change with T;
// an angle the same in every row within 1e-6 degree is fixed.
formats::CellTies detected_ties(const std::vector<SeriesPoint>& points);

struct SeriesSymmetry {
    CrystalSystem system = CrystalSystem::automatic;  // as asked
    formats::CellTies ties;
    // "hexagonal (detected: a = b in every row; alpha, beta 90 and gamma 120
    // fixed)", for the summary.
    std::string description;
};

// The ties of `system` (detected for automatic), with the points made to
// obey them: an imposed tie over values that differ in a row takes there the
// weighted mean of the members (1/ESD^2 where each has an ESD > 0, else the
// plain mean) with the ESD of that mean; a fixed angle takes its exact
// value and ESD 0.  Throws ExpansionError naming the first row whose values
// contradict the system: tied values (or an angle and its fixed value) more
// than 5 sqrt(s1^2 + s2^2) apart with ESDs, more than 1e-3 relative or 0.05
// degree without.
SeriesSymmetry apply_symmetry(std::vector<SeriesPoint>& points, CrystalSystem system);

}  // namespace crystal
