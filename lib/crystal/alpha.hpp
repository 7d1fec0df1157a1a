#pragma once
// Expansion as a function of temperature.  Each of a, b, c, V and the
// angles alpha, beta, gamma gets its own fit against T (weights 1/ESD^2
// where every row has an ESD for it); from the fits, at any temperature T*:
// the coefficient of a, b, c and V, the rates of the angles, and the
// thermal expansion tensor with its principal coefficients, each with an
// uncertainty carrying every fitted parameter.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <Eigen/Dense>

#include "crystal/expansion_result.hpp"
#include "crystal/principal_axis.hpp"
#include "fit/misfit.hpp"
#include "fit/temperature_model.hpp"
#include "formats/cell_ties.hpp"

namespace crystal {

enum class AlphaModel { automatic, poly1, poly2, poly3, fei, einstein };

// The fitted quantities, in this order.
enum CellQuantity { q_a, q_b, q_c, q_volume, q_alpha, q_beta, q_gamma };
inline constexpr std::array<std::string_view, 7> cell_quantity_names{"a", "b", "c", "V", "alpha", "beta", "gamma"};

struct QuantityFit {
    std::optional<fit::ModelFit> fit;  // none: `refusal` says why
    std::string refusal;
    bool fixed = false;  // an angle the same in every row within 1e-6 degree: a constant, rate 0 with sigma 0
    int tied_to = -1;    // the quantity whose fit this one shares (one refined parameter), or -1
    // Whether the fit misses its rows (misfit.hpp), with the temperatures of
    // the two largest residuals and of the rows either side of the best
    // break; none for a fixed, tied or refused quantity.
    std::optional<fit::Misfit> misfit;
    std::array<double, 2> largest_t{};
    std::array<double, 2> break_t{};
};

struct AlphaFits {
    AlphaModel model = AlphaModel::automatic;
    std::size_t rows = 0;
    double t_min = 0;
    double t_max = 0;
    double middle_t = 0;  // the temperature of the middle row in T order, ceil(N/2) - 1
    std::array<QuantityFit, 7> quantities;
    formats::CellTies ties;  // of a, b, c, alpha, beta, gamma
};

// The row's measured value of the quantity and its ESD (NaN where the row
// has none); the volume's from the six parameters and their ESDs, a tied
// group counted once and a fixed angle not at all.
formats::Estimate measured_quantity(const SeriesPoint& point, CellQuantity q, const formats::CellTies& ties = {});

// The seven fits of a series.  Lengths take `model` (auto: per quantity the
// polynomial degree of lowest AICc); angles a polynomial, of the model's
// degree for poly1..3 and of degree 2 for fei and einstein (lower when there
// are too few rows).  A tied group (whose members the points hold equal) is
// one fit, shared by every member.  The cells must be valid.  Throws
// ExpansionError for fewer than two rows or every row at one temperature.
AlphaFits fit_cell_series(const std::vector<SeriesPoint>& points, AlphaModel model, const formats::CellTies& ties = {});

// The tensor at T*, in the Cartesian frame of cartesian_matrix (c along Z,
// a* along X) of the fitted cell at T*.
struct AlphaTensor {
    Eigen::Matrix3d cell = Eigen::Matrix3d::Identity();  // the cell at T*, axes as columns
    Eigen::Matrix3d alpha = Eigen::Matrix3d::Zero();     // 1e-6 K^-1
    // Covariance of the components (11, 22, 33, 23, 13, 12), (1e-6 K^-1)^2.
    Eigen::Matrix<double, 6, 6> covariance = Eigen::Matrix<double, 6, 6>::Zero();
    std::array<PrincipalAxis, 3> principal;  // X1 < X2 < X3, [u v w] along the cell at T*
    formats::Estimate trace;                 // d ln V/dT of the cell fits
};

struct AlphaAt {
    double t = 0;
    bool extrapolated = false;  // outside the measured range
    // alpha of a, b, c and V in 1e-6 K^-1; none where that fit was refused.
    std::array<std::optional<formats::Estimate>, 4> lengths;
    // d angle/dT of alpha, beta, gamma in 1e-6 degree/K.
    std::array<std::optional<formats::Estimate>, 3> angle_rates;
    // None when a fit of the cell was refused, or when the fitted cell at T
    // is no unit cell (`no_tensor` then says so).
    std::optional<AlphaTensor> tensor;
    std::string no_tensor;
};

AlphaAt alpha_at(const AlphaFits& fits, double t);

// alpha_at at each temperature, for a curve of alpha(T) +- sigma.
std::vector<AlphaAt> alpha_on_grid(const AlphaFits& fits, const std::vector<double>& temperatures);

// The value of the symmetric tensor along the Cartesian unit vector n,
// n' alpha n, in the tensor's unit.
double alpha_along(const Eigen::Matrix3d& alpha, const Eigen::Vector3d& n);

// The same with its uncertainty, in 1e-6 K^-1.
formats::Estimate alpha_along(const AlphaTensor& tensor, const Eigen::Vector3d& n);

// Along the crystal direction [u v w] of the cell at T*.
formats::Estimate alpha_along_axis(const AlphaTensor& tensor, const Eigen::Vector3d& uvw);

}  // namespace crystal
