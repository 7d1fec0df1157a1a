#pragma once
// A quantity x fitted against temperature, and what is read off the fit at
// any T with an uncertainty that carries every fitted parameter.  With
// tau = T - T_r (T_r only conditions the fit; no result depends on it):
//
//   polynomial  x = sum_k c_k tau^k                        p = c_0 ... c_d
//   fei         x = x0 exp[a0 tau + a1 (T^2 - T_r^2)/2 - a2 (1/T - 1/T_r)]
//                                                          p = x0, a0, a1, a2
//   einstein    x = x0 + A theta / (exp(theta/T) - 1)      p = x0, A, theta

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "formats/estimate.hpp"

namespace fit {

enum class ModelKind { polynomial, fei, einstein };

struct ModelFit {
    ModelKind kind = ModelKind::polynomial;
    double t_ref = 0;
    std::vector<double> p;
    std::vector<double> covariance;  // p.size() squared, row-major
    std::size_t n = 0;               // rows fitted
    bool weighted = false;           // weights 1/ESD^2, else equal
    double chi2 = 0;                 // weighted sum of squared residuals
    double reduced_chi2 = 0;         // chi2 / (n - p); NaN for n = p
    double aicc = 0;                 // n ln(chi2/n) + 2p + 2p(p+1)/(n-p-1); NaN for n < p + 2
};

// A fitted model, or why there is none (one line, without the quantity's name).
struct FitOutcome {
    std::optional<ModelFit> fit;
    std::string refusal;
};

// "poly1", "poly2", "poly3" (and "poly0" for a constant), "fei", "einstein".
std::string model_name(const ModelFit& fit);

// The parameters' names, in the order of p: c0 ... cd; x0, a0, a1, a2;
// x0, A, theta.
std::vector<std::string> parameter_names(const ModelFit& fit);

// The power of the quantity's unit and of the kelvin in each parameter's
// unit, in the order of p: c_k is x K^-k, fei's a0 K^-1, a1 K^-2, a2 K,
// Einstein's A x/K and theta K.
struct ParameterUnit {
    int x = 0;
    int kelvin = 0;
};
std::vector<ParameterUnit> parameter_units(const ModelFit& fit);

// r_kl = C_kl / sqrt(C_kk C_ll); NaN where either variance is 0.
double correlation(const ModelFit& fit, std::size_t k, std::size_t l);

double model_value(ModelKind kind, double t_ref, const std::vector<double>& p, double t);
// dx/dT.
double model_slope(ModelKind kind, double t_ref, const std::vector<double>& p, double t);

// Fills covariance, reduced_chi2 and aicc from `inverse_normal` = (J'WJ)^-1
// and chi2: with weights, C = (J'WJ)^-1 max(1, chi2/(n-p)), since reported
// ESDs are often too small and the scatter then sets the uncertainty;
// without, C = s^2 (J'J)^-1 with s^2 = chi2/(n-p).  Needs n > p.
void set_fit_statistics(ModelFit& fit, const std::vector<double>& inverse_normal);

// AICc of a fit of p parameters to n rows; NaN for n < p + 2, minus
// infinity for chi2 = 0 (exact data).
double aicc(double chi2, std::size_t n, std::size_t p);

// d_k = d f / d p_k at the fit's parameters, by central differences with a
// step of 1e-3 sqrt(C_kk) (a step relative to |p_k| means nothing for
// coefficients near 1e-7); 0 where C_kk is 0.
std::vector<double> parameter_gradient(const ModelFit& fit, const std::function<double(const std::vector<double>&)>& f);

// sqrt(g' C g).
double propagated_sigma(const ModelFit& fit, const std::vector<double>& g);

// x(T) and dx/dT with their uncertainties; (dx/dT)/x, the coefficient of
// expansion of a length or a volume, per K.
formats::Estimate value_at(const ModelFit& fit, double t);
formats::Estimate slope_at(const ModelFit& fit, double t);
formats::Estimate relative_slope_at(const ModelFit& fit, double t);

}  // namespace fit
