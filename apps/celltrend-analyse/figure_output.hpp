#pragma once
// What every subcommand that draws needs: the figure's format checked on
// the command line, the analysis' Eigen vectors and matrices handed to the
// figure library as plain arrays, and the figure written like any result.

#include <Eigen/Dense>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "figures/expansion_tensor.hpp"
#include "figures/page.hpp"

namespace analyse {

inline figures::Vector3 to_array(const Eigen::Vector3d& v) { return {v(0), v(1), v(2)}; }

inline figures::Matrix3 to_array(const Eigen::Matrix3d& m) {
    return {{{m(0, 0), m(0, 1), m(0, 2)}, {m(1, 0), m(1, 1), m(1, 2)}, {m(2, 0), m(2, 1), m(2, 2)}}};
}

// The format of a figure named on the command line by `option` (e.g.
// "--surface"); a one-line reason in `why` when it has none (standard output
// holds the summary, and the extension says the format).
std::optional<figures::Format> figure_format(const std::string& option, const std::string& path, std::string& why);

// Whether `text` names a plane of a section (section_plane's forms: X1X3,
// a,c, [1 0 1],[0 1 0]), checked before the tensor is known; empty when it
// does, else why not.
std::string plane_problem(const std::string& text);

// Draws the figure in the format of `path` and writes it as write_result
// does (complete or not there, never over the input).  False after one
// line "PROGRAM: why" on standard error.
bool write_figure(const std::string& path, const std::string& input, std::string_view program,
                  const std::function<std::string(figures::Format)>& draw);

}  // namespace analyse
