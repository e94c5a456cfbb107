#pragma once
// Seeded synthetic decay data and the deck the product writes for it, shared
// by the CONTIN engine's tests and its benchmark.
#include "contin/ContinDeck.h"
#include "base/MemoText.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace contin_test {

struct Component {
    double tau, amp;
};

inline std::vector<double> LogSpaced(double a, double b, int n) {
    std::vector<double> v(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) v[static_cast<size_t>(i)] = a * std::pow(b / a, double(i) / (n - 1));
    return v;
}

// Sum of exponentials plus Gaussian noise of the given standard deviation.
inline std::vector<double> Decays(const std::vector<double>& t, const std::vector<Component>& comps, double noise,
                                  unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> n01(0.0, 1.0);
    std::vector<double> y;
    for (double tk : t) {
        double v = 0.0;
        for (const auto& c : comps) v += c.amp * std::exp(-tk / c.tau);
        y.push_back(v + noise * n01(rng));
    }
    return y;
}

// A log-normal distribution of decay times (in ln tau: mean mu, deviation
// sigma) of total intensity 1, integrated finely by the trapezoidal rule,
// plus noise. Its intensity-weighted mean decay time is exp(mu + sigma^2 / 2).
inline std::vector<double> LogNormalDecay(const std::vector<double>& t, double mu, double sigma, double noise,
                                          unsigned seed) {
    const int m = 4000;
    const double lo = mu - 8 * sigma, h = 16 * sigma / m;
    std::vector<Component> comps;
    for (int i = 0; i <= m; ++i) {
        const double u = lo + i * h;
        const double w = std::exp(-0.5 * (u - mu) * (u - mu) / (sigma * sigma)) / (sigma * std::sqrt(2 * M_PI));
        comps.push_back({std::exp(u), (i == 0 || i == m ? 0.5 : 1.0) * h * w});
    }
    return Decays(t, comps, noise, seed);
}

// The deck the product writes for these points: its own deck builder, with
// the grid and the regularizer as chosen in the window.
inline std::string ProductDeck(const std::vector<double>& t, const std::vector<double>& y, double gmin, double gmax,
                               int ng, bool signal = false) {
    return fluvena::FileText(fluvena::BuildContinDeck(fluvena::ContinRequest{gmin, gmax, ng, signal}, t, y));
}

// The deck with cards added just before END (a later card overrides).
inline std::string WithCards(std::string deck, const std::string& cards) {
    return deck.insert(deck.find(" END\r\n"), cards);
}

}  // namespace contin_test
