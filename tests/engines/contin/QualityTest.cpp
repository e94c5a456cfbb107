// Quality of the chosen solution on seeded synthetic data with known
// components: every true component found within 2 % in position and 0.02 in
// intensity, and little intensity in peaks that match nothing.
#include "ContinEngine.h"
#include "Synthetic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

using namespace contin_test;
using fluvena::contin::Solution;

struct Tolerance { double position = 0.02, intensity = 0.02; };  // relative, absolute

struct Case {
    const char* name;
    std::vector<Component> comps;  // empty: a log-normal of deviation sigma around 50
    double tMin, tMax, gMin, gMax;
    // The classic regularizer at 0.01 % and 0.1 % noise where it reaches no
    // better than 2 % and 0.02: it broadens the short component of a close
    // pair or of the triple, whose intensity-weighted mean then lies above
    // the true decay time; a broad log-normal gets a side lobe beyond its tail.
    Tolerance atTenthMilli{}, atMilli{};
    double sigma = 0.3;
    int points = 100;
    // The components, or the log-normal's mean decay time exp(mu + sigma^2 / 2).
    std::vector<Component> Truth() const {
        return comps.empty() ? std::vector<Component>{{50 * std::exp(sigma * sigma / 2), 1.0}} : comps;
    }
};

// Each true component is matched to the nearest peak in position not yet
// matched; the intensity of the peaks left over is spurious.
struct Score {
    bool allFound = true;
    double spurious = 0.0, worstPos = 0.0, worstInt = 0.0;
    std::string report;
};

Score Evaluate(const Solution& s, const std::vector<Component>& truth, Tolerance tol = {}) {
    Score sc;
    std::vector<char> used(s.peaks.size(), 0);
    for (const Component& tr : truth) {
        int best = -1;
        auto off = [&](size_t p) { return std::fabs(std::log(s.peaks[p].ratio[2] / tr.tau)); };
        for (size_t p = 0; p < s.peaks.size(); ++p)
            if (!used[p] && (best < 0 || off(p) < off(size_t(best)))) best = int(p);
        if (best < 0) {
            sc.allFound = false;
            continue;
        }
        used[size_t(best)] = 1;
        const double pos = std::fabs(s.peaks[size_t(best)].ratio[2] / tr.tau - 1);
        const double inten = std::fabs(s.peaks[size_t(best)].m[1] - tr.amp);
        sc.allFound = sc.allFound && pos <= tol.position && inten <= tol.intensity;
        sc.worstPos = std::max(sc.worstPos, pos);
        sc.worstInt = std::max(sc.worstInt, inten);
    }
    std::ostringstream os;
    for (size_t p = 0; p < s.peaks.size(); ++p) {
        if (!used[p]) sc.spurious += s.peaks[p].m[1];
        os << " [" << s.peaks[p].ratio[2] << " : " << s.peaks[p].m[1] << (used[p] ? "" : " spurious") << "]";
    }
    sc.report = os.str();
    return sc;
}

fluvena::contin::Result RunCase(const Case& c, double noise, unsigned seed, bool signal) {
    auto t = LogSpaced(c.tMin, c.tMax, c.points);
    auto y = c.comps.empty() ? LogNormalDecay(t, std::log(50.0), c.sigma, noise, seed) : Decays(t, c.comps, noise, seed);
    auto dr = fluvena::contin::ReadDeck(ProductDeck(t, y, c.gMin, c.gMax, 100, signal));
    EXPECT_TRUE(dr.ok) << dr.errorText;
    return fluvena::contin::Solve(dr.deck);
}

const Case kCases[] = {
    {"single", {{50, 1.0}}, 1, 1e4, 0.1, 1e3},
    {"two 10 & 200", {{10, 0.6}, {200, 0.4}}, 1, 1e4, 0.1, 1e3},
    {"two 20 & 100", {{20, 0.5}, {100, 0.5}}, 1, 1e4, 0.1, 1e3, {}, {0.05, 0.03}},
    {"three 2, 40, 900", {{2, 0.3}, {40, 0.4}, {900, 0.3}}, 0.1, 2e4, 0.1, 1e4, {}, {0.05, 0.03}},
    {"log-normal 0.3", {}, 1, 1e4, 0.1, 1e3},
    // The recorded log-normal data set's kind: broader, 80 points.
    {"log-normal 0.5", {}, 0.5, 5e3, 0.1, 1e3, {0.04, 0.02}, {0.04, 0.02}, 0.5, 80},
};

// At 0.01 % and 0.1 % noise the classic regularizer within what it reaches
// (above), the signal-weighted one within 2 % and 0.02 everywhere. At 1 %
// close pairs merge, which is what the data allow; the total intensity stays.
TEST(ContinQuality, ChosenSolutionFindsTheComponents) {
    for (bool signal : {false, true})
        for (const Case& c : kCases)
            for (const auto& [noise, seed] : {std::pair{1e-4, 1u}, std::pair{1e-3, 2u}, std::pair{1e-2, 3u}}) {
                if (signal && noise > 5e-3) continue;
                auto r = RunCase(c, noise, seed, signal);
                const Solution& s = r.solutions[size_t(r.chosen)];
                const Tolerance tol = signal ? Tolerance{} : noise > 5e-4 ? c.atMilli : c.atTenthMilli;
                const Score sc = Evaluate(s, c.Truth(), tol);
                SCOPED_TRACE(std::string(signal ? "signal " : "classic ") + c.name + " noise " + std::to_string(noise) +
                             ":" + sc.report);
                EXPECT_GE(r.solutions.size(), 10u);
                EXPECT_LE(r.solutions.size(), 12u);
                if (noise > 5e-3) {
                    EXPECT_NEAR(s.entire.m[1], 1.0, 0.1);
                    continue;
                }
                EXPECT_TRUE(sc.allFound);
                EXPECT_LT(sc.spurious, 0.05);
            }
}

// Survey over many seeds, run on demand (--gtest_also_run_disabled_tests):
// per case, noise and regularizer the seeds that pass (every component
// within 2 % and 0.02, spurious intensity below 0.05), the worst position
// and intensity errors and the worst spurious intensity. Seeds 100 ... 119
// unless SURVEY_FIRST and SURVEY_SEEDS say otherwise.
TEST(ContinQuality, DISABLED_Survey) {
    auto env = [](const char* name, int fallback) {
        return std::getenv(name) ? std::atoi(std::getenv(name)) : fallback;
    };
    const unsigned first = unsigned(env("SURVEY_FIRST", 100));
    const int seeds = env("SURVEY_SEEDS", 20);
    for (bool signal : {false, true})
        for (const Case& c : kCases)
            for (double noise : {1e-4, 1e-3, 1e-2}) {
                Score worst;
                int found = 0;
                for (unsigned seed = first; seed < first + unsigned(seeds); ++seed) {
                    auto r = RunCase(c, noise, seed, signal);
                    const Score sc = Evaluate(r.solutions[size_t(r.chosen)], c.Truth());
                    worst.worstPos = std::max(worst.worstPos, sc.worstPos);
                    worst.worstInt = std::max(worst.worstInt, sc.worstInt);
                    worst.spurious = std::max(worst.spurious, sc.spurious);
                    found += sc.allFound && sc.spurious < 0.05;
                }
                std::printf("%-8s %-18s noise %.0e: pass %2d/%d  worst position %5.2f %%  intensity %.3f  spurious %.3f\n",
                            signal ? "signal" : "classic", c.name, noise, found, seeds, 100 * worst.worstPos,
                            worst.worstInt, worst.spurious);
            }
}

}  // namespace
