// Seeded survey of the CONTIN engine's chosen solution on synthetic decays,
// run on demand:
//   contin_survey [SEEDS [FIRST]]      seeds FIRST ... FIRST + SEEDS - 1 (100 ... 119)
// One line per regularizer, case and noise: the seeds that pass (every
// component within 2 % in position and 0.02 in intensity, spurious intensity
// below 0.05), the worst position and intensity errors and the worst
// spurious intensity. The cases and their scoring are those of the engine's
// quality test.
//
// Then two mixtures of log-normal modes, where the question is what the
// smoothing does to their shape:
// - overlap: two log-normals (deviation 0.3 in ln tau) of mean decay times 30
//   and 90, half the intensity each. Pass: two peaks of at least 0.15, one on
//   each side of 52 (their geometric mean), rather than one merged peak.
// - tail: a narrow peak (one decay time, 20, intensity 0.6) and a broad tail
//   (a log-normal of deviation 0.8 and mean decay time 400, intensity 0.4).
//   Pass: the peak nearest 20 within 2 % and 0.02, the other peaks together
//   within 0.02 of the tail's intensity.
#include "Synthetic.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

using namespace contin_test;
using fluvena::contin::Moments;
using fluvena::contin::Solution;

struct Mode {
    double meanTau, sigma, intensity;  // sigma 0: a single decay time
};

struct Mixture {
    const char* name;
    std::vector<Mode> modes;
    double tMin, tMax;
    int points;
    double gMin, gMax;
    double (*score)(const Solution&, bool& pass);  // returns the worst position error
};

std::vector<double> MixtureData(const Mixture& m, const std::vector<double>& t, double noise, unsigned seed) {
    std::vector<double> y(t.size(), 0.0);
    for (const Mode& mode : m.modes) {
        // The intensity-weighted mean of a log-normal is exp(mu + sigma^2 / 2).
        const std::vector<double> part =
            mode.sigma > 0 ? LogNormalDecay(t, std::log(mode.meanTau) - mode.sigma * mode.sigma / 2, mode.sigma, 0, 0)
                           : Decays(t, {{mode.meanTau, 1.0}}, 0, 0);
        for (size_t k = 0; k < t.size(); ++k) y[k] += mode.intensity * part[k];
    }
    std::mt19937 rng(seed);
    std::normal_distribution<double> n01(0.0, 1.0);
    for (double& v : y) v += noise * n01(rng);
    return y;
}

double ScoreOverlap(const Solution& s, bool& pass) {
    const Moments* low = nullptr;
    const Moments* high = nullptr;
    for (const auto& p : s.peaks) {
        if (p.m[1] < 0.15) continue;
        const Moments*& side = p.ratio[2] < 52 ? low : high;
        if (!side || p.m[1] > side->m[1]) side = &p;
    }
    pass = low && high;
    if (!pass) return 1.0;
    return std::max(std::fabs(low->ratio[2] / 30 - 1), std::fabs(high->ratio[2] / 90 - 1));
}

double ScoreTail(const Solution& s, bool& pass) {
    const Moments* narrow = nullptr;
    double rest = 0;
    for (const auto& p : s.peaks)
        if (!narrow || std::fabs(std::log(p.ratio[2] / 20)) < std::fabs(std::log(narrow->ratio[2] / 20))) narrow = &p;
    pass = false;
    if (!narrow) return 1.0;
    for (const auto& p : s.peaks)
        if (&p != narrow) rest += p.m[1];
    const double pos = std::fabs(narrow->ratio[2] / 20 - 1);
    pass = pos <= 0.02 && std::fabs(narrow->m[1] - 0.6) <= 0.02 && std::fabs(rest - 0.4) <= 0.02;
    return pos;
}

const Mixture kMixtures[] = {
    {"overlap 30 & 90", {{30, 0.3, 0.5}, {90, 0.3, 0.5}}, 1, 1e4, 100, 0.1, 1e3, ScoreOverlap},
    {"overlap, 80 points", {{30, 0.3, 0.5}, {90, 0.3, 0.5}}, 0.5, 5e3, 80, 0.1, 1e3, ScoreOverlap},
    {"narrow 20 + tail 0.8", {{20, 0, 0.6}, {400, 0.8, 0.4}}, 0.5, 2e4, 80, 0.1, 1e4, ScoreTail},
};

}  // namespace

int main(int argc, char** argv) {
    const int seeds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    const unsigned first = argc > 2 ? unsigned(std::atoi(argv[2])) : 100u;
    for (bool signal : {false, true})
        for (const QualityCase& c : kQualityCases)
            for (double noise : {1e-4, 1e-3, 1e-2}) {
                Score worst;
                int found = 0;
                for (unsigned seed = first; seed < first + unsigned(seeds); ++seed) {
                    const fluvena::contin::Result r = RunCase(c, noise, seed, signal);
                    if (r.solutions.empty()) return 2;
                    const Score sc = Evaluate(r.solutions[size_t(r.chosen)], c.Truth());
                    worst.worstPos = std::max(worst.worstPos, sc.worstPos);
                    worst.worstInt = std::max(worst.worstInt, sc.worstInt);
                    worst.spurious = std::max(worst.spurious, sc.spurious);
                    found += sc.allFound && sc.spurious < 0.05;
                }
                std::printf("%-8s %-20s noise %.0e: pass %2d/%d  worst position %5.2f %%  intensity %.3f  spurious %.3f\n",
                            signal ? "signal" : "classic", c.name, noise, found, seeds, 100 * worst.worstPos,
                            worst.worstInt, worst.spurious);
            }
    for (bool signal : {false, true})
        for (const Mixture& m : kMixtures)
            for (double noise : {1e-4, 1e-3}) {
                int passed = 0;
                double worstPos = 0;
                for (unsigned seed = first; seed < first + unsigned(seeds); ++seed) {
                    const auto t = LogSpaced(m.tMin, m.tMax, m.points);
                    const auto dr = fluvena::contin::ReadDeck(
                        ProductDeck(t, MixtureData(m, t, noise, seed), m.gMin, m.gMax, 100, signal));
                    if (!dr.ok) return 2;
                    const fluvena::contin::Result r = fluvena::contin::Solve(dr.deck);
                    bool pass = false;
                    worstPos = std::max(worstPos, m.score(r.solutions[size_t(r.chosen)], pass));
                    passed += pass;
                }
                std::printf("%-8s %-20s noise %.0e: pass %2d/%d  worst position %5.2f %%\n",
                            signal ? "signal" : "classic", m.name, noise, passed, seeds, 100 * worstPos);
            }
}
