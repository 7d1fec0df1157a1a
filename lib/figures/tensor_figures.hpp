#pragma once
// The figures of the expansion tensor α at one temperature:
//   - the representation surface, r(n) · n with r(n) = nᵀ α n over every
//     unit vector n, drawn at |r| and coloured by the sign and size of r on a
//     diverging scale centred at 0 (positive blue, negative red), as filled
//     patches in an oblique view (or one asked for) sorted far to near,
//     each patch hiding what lies behind it, with the crystal axes
//     a, b, c as labelled arrows and a colour bar in 10⁻⁶ K⁻¹;
//   - a section of it by a plane: the polar curve r(ψ), n = e1 cos ψ +
//     e2 sin ψ, drawn at |r| in blue or red by sign, dashed lines along the
//     directions where r changes sign, and the crystal axes that lie in the
//     plane as labelled arrows.
// Each is drawn as large as its page holds it, at one scale across and up,
// so that no band of the page stays blank.  The bytes of the file, as
// plplot_output.hpp's draw_file gives them.

#include <string>

#include "figures/expansion_tensor.hpp"
#include "figures/page.hpp"

namespace figures {

// The patches of the surface: rings from pole to pole times sectors round.
inline constexpr int surface_rings = 30;
inline constexpr int surface_sectors = 60;

// The page of these figures when the caller has no other: a square-ish
// one-column figure.
inline constexpr Page tensor_page{85, 75, 300};

// Where the surface is seen from: the direction towards the reader at
// `azimuth_deg` from X (a*) towards Y in the XY plane and `elevation_deg`
// above it (c along Z).  The default looks down on the a*-b quadrant,
// oblique enough that no crystal axis of a common cell points at the
// reader.
struct SurfaceView {
    double azimuth_deg = 35;
    double elevation_deg = 22;
};

// Throws PlotError for a tensor that is zero (there is no surface) or not
// finite, or an elevation not strictly between -90 and 90.  `title` goes
// above the figure; empty for none.
std::string surface_file(const ExpansionTensor& tensor, const std::string& title, Format format, const Page& page,
                         const SurfaceView& view = {});

// The page of a surface as wide as `page`, and as tall as the surface, its
// arrows and their labels need at that width (from half to one and a half
// times the width): for a caller who asked for no size, so that no band of
// the page stays blank.  A page of a given size is filled along one side,
// the drawing centred along the other.
Page surface_page(const ExpansionTensor& tensor, const std::string& title, const SurfaceView& view,
                  Page page = tensor_page);

std::string section_file(const ExpansionTensor& tensor, const SectionPlane& plane, const std::string& title,
                         Format format, const Page& page);

}  // namespace figures
