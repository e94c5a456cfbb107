#pragma once
// Seeded synthetic decay data and the deck the product writes for it.
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace contin_test {

struct Component {
    double tau;
    double amp;
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
// sigma) of total intensity 1, integrated finely, plus noise. Its intensity-
// weighted mean decay time is exp(mu + sigma^2 / 2).
inline std::vector<double> LogNormalDecay(const std::vector<double>& t, double mu, double sigma, double noise,
                                          unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> n01(0.0, 1.0);
    const int m = 4000;
    const double lo = mu - 8 * sigma, hi = mu + 8 * sigma, h = (hi - lo) / m;
    std::vector<double> y;
    for (double tk : t) {
        double v = 0.0;
        for (int i = 0; i <= m; ++i) {
            double u = lo + i * h;
            double w = std::exp(-0.5 * (u - mu) * (u - mu) / (sigma * sigma)) / (sigma * std::sqrt(2 * M_PI));
            v += (i == 0 || i == m ? 0.5 : 1.0) * h * w * std::exp(-tk * std::exp(-u));
        }
        y.push_back(v + noise * n01(rng));
    }
    return y;
}

inline std::string Fixed5(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.5f", std::fabs(v) < 0.000005 ? 0.0 : v);
    return buf;
}

inline std::string Sci(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2E", v);
    return buf;
}

// The deck exactly as the product composes it (CR LF line ends).
inline std::string ProductDeck(const std::vector<double>& t, const std::vector<double>& y, double gmin, double gmax,
                               int ng) {
    std::vector<std::string> lines = {
        "nazwa.in",
        " LAST                    1.",
        " NINTT                   0.",
        " NLINF                   1.",
        " NORDER                  2.",
        " DOUSNQ                  1.",
        " RUSER    10             0.",
        " IUSER    10             4.",
        " RUSER    23             0.",
        " RUSER    22            -1.",
        " RUSER    21             1.",
        " GMNMX     1       " + Sci(gmin),
        " GMNMX     2       " + Sci(gmax),
        " LUSER     3            -1.",
        " IPLFIT    2             3.",
        " IFORMT",
        " (F30.10)",
        " IFORMY",
        " (F30.10)",
        " NG                   " + std::to_string(ng) + ".",
        " RUSER    16     488.0",
        " RUSER    17      90.0",
        " RUSER    18    293.16",
        " RUSER    15     1.332",
        " RUSER    19     1.006",
        " END",
        " NY     " + std::to_string(t.size()),
    };
    for (double v : t) lines.push_back(Fixed5(v));
    for (double v : y) lines.push_back(Fixed5(v));
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

}  // namespace contin_test
