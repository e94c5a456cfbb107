#pragma once
// Synthetic g2 - 1 of a log-normal size distribution on a correlator's lag
// grid, for the cumulant survey and benchmark.
#include "physics/Sizes.h"

#include <cmath>
#include <random>
#include <vector>

namespace cumulants_bench {

// The first `count` lag times in s of a multiple-tau correlator like the
// ALV-7004: 16 lags 25 ns apart, then blocks of 8 whose spacing doubles from
// block to block (192 lags reach 1.68 s, 200 reach 3.36 s).
inline std::vector<double> CorrelatorLags(std::size_t count)
{
    std::vector<double> t;
    double step = 25e-9, now = 0.0;
    while (t.size() < count) {
        if (t.size() >= 16 && (t.size() - 16) % 8 == 0) step *= 2.0;
        t.push_back(now += step);
    }
    return t;
}

// Intensity weights w_i on rates Gamma_i, with the truths the fit is held to:
// Gamma_mean = sum w_i Gamma_i, mu2 = sum w_i (Gamma_i - Gamma_mean)^2.
struct Population {
    std::vector<double> rate, weight;
    double gammaMean = 0.0, mu2 = 0.0;
    double Pdi() const { return mu2 / (gammaMean * gammaMean); }
};

// An intensity-weighted log-normal in the radius (and so in the rate, which
// is proportional to 1/R) with the given median rate; for a log-normal the
// PDI is exp(s^2) - 1, so s = sqrt(ln(1 + pdi)). 201 nodes over +-5 s.
inline Population LogNormal(double medianRate, double pdi)
{
    Population p;
    const double s = std::sqrt(std::log1p(pdi));
    double sum = 0.0;
    for (int k = -100; k <= 100; ++k) {
        const double z = 5.0 * k / 100.0;
        p.rate.push_back(medianRate * std::exp(s * z));
        p.weight.push_back(std::exp(-0.5 * z * z));
        sum += p.weight.back();
    }
    for (double& w : p.weight) w /= sum;
    for (std::size_t i = 0; i < p.rate.size(); ++i) p.gammaMean += p.weight[i] * p.rate[i];
    for (std::size_t i = 0; i < p.rate.size(); ++i) p.mu2 += p.weight[i] * (p.rate[i] - p.gammaMean) * (p.rate[i] - p.gammaMean);
    return p;
}

// g2 - 1 = beta g1^2 + Gaussian noise of the given deviation.
inline std::vector<double> G2Minus1(const std::vector<double>& t, const Population& p, double beta, double noise, unsigned seed)
{
    std::mt19937_64 rng(seed);
    std::normal_distribution<double> gauss(0.0, noise);
    std::vector<double> y;
    for (double ti : t) {
        double g1 = 0.0;
        for (std::size_t i = 0; i < p.rate.size(); ++i) g1 += p.weight[i] * std::exp(-p.rate[i] * ti);
        y.push_back(beta * g1 * g1 + gauss(rng));
    }
    return y;
}

// The median rate of spheres of the given radius in water at 298.15 K seen
// at 90 degrees with 632.8 nm light (Gamma is proportional to 1/R).
inline double RateOfRadius(double radiusNm)
{
    fluvena::SampleParameters sp;
    sp.wavelengthNm = 632.8;
    sp.temperatureK = 298.15;
    sp.viscosityCp = fluvena::physics::WaterViscosityCp(298.15).value();
    return fluvena::physics::SizeFromRate(1.0, 0.0, sp)->radiusNm / radiusNm;
}

}  // namespace cumulants_bench
