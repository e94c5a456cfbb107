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

struct Tolerance {
    double position = 0.02;   // relative
    double intensity = 0.02;  // absolute
};

struct Case {
    const char* name;
    std::vector<Component> comps;  // empty: a log-normal of deviation sigma around 50
    double tMin, tMax, gMin, gMax;
    // What the chosen solution is held to at 0.01 % and 0.1 % noise. Where
    // it is looser than 2 % and 0.02, the method itself gives no better:
    // the regularizer broadens the short component of a close pair or of
    // the triple, and the intensity-weighted mean of a broadened peak lies
    // above the true decay time; a broad log-normal gets a small side lobe
    // beyond its tail that takes its share of the first moment with it.
    // DISABLED_Survey shows the spread over 20 seeds.
    Tolerance atTenthMilli{}, atMilli{};
    double sigma = 0.3;
    int points = 100;
    // The peaks to find: the components, or the log-normal's intensity-
    // weighted mean decay time exp(mu + sigma^2 / 2).
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

fluvena::contin::Result RunCase(const Case& c, double noise, unsigned seed, bool signal = false) {
    auto t = LogSpaced(c.tMin, c.tMax, c.points);
    auto y = c.comps.empty() ? LogNormalDecay(t, std::log(50.0), c.sigma, noise, seed) : Decays(t, c.comps, noise, seed);
    std::string deck = ProductDeck(t, y, c.gMin, c.gMax, 100);
    if (signal) deck.insert(deck.find(" END"), " SIGREG                  1.\r\n");
    auto dr = fluvena::contin::ReadDeck(deck);
    EXPECT_TRUE(dr.ok) << dr.errorText;
    return fluvena::contin::Solve(dr.deck);
}

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"single", {{50, 1.0}}, 1, 1e4, 0.1, 1e3},
        {"two 10 & 200", {{10, 0.6}, {200, 0.4}}, 1, 1e4, 0.1, 1e3},
        {"two 20 & 100", {{20, 0.5}, {100, 0.5}}, 1, 1e4, 0.1, 1e3, {}, {0.05, 0.03}},
        {"three 2, 40, 900", {{2, 0.3}, {40, 0.4}, {900, 0.3}}, 0.1, 2e4, 0.1, 1e4, {}, {0.05, 0.03}},
        {"log-normal 0.3", {}, 1, 1e4, 0.1, 1e3},
        // The recorded log-normal data set's kind: broader, 80 points.
        {"log-normal 0.5", {}, 0.5, 5e3, 0.1, 1e3, {0.04, 0.02}, {0.04, 0.02}, 0.5, 80},
    };
    return cases;
}

// The classic regularizer within what it reaches (above); the signal-
// weighted one within 2 % and 0.02 everywhere.
TEST(ContinQuality, ChosenSolutionFindsTheComponentsAtLowNoise) {
    for (bool signal : {false, true})
        for (const Case& c : Cases())
            for (double noise : {1e-4, 1e-3}) {
                const unsigned seed = noise < 5e-4 ? 1u : 2u;
                auto r = RunCase(c, noise, seed, signal);
                const Solution& s = r.solutions[size_t(r.chosen)];
                const Tolerance tol = signal ? Tolerance{} : noise > 5e-4 ? c.atMilli : c.atTenthMilli;
                Score sc = Evaluate(s, c.Truth(), tol);
                SCOPED_TRACE(std::string(signal ? "signal " : "classic ") + c.name + " noise " + std::to_string(noise) +
                             ":" + sc.report);
                EXPECT_TRUE(sc.allFound);
                EXPECT_LT(sc.spurious, 0.05);
                EXPECT_GE(r.solutions.size(), 10u);
                EXPECT_LE(r.solutions.size(), 12u);
            }
}

// At 1 % noise close pairs merge, which is what the data allow; the total
// intensity stays.
TEST(ContinQuality, HighNoiseKeepsTheTotalIntensity) {
    for (const Case& c : Cases()) {
        auto r = RunCase(c, 1e-2, 3);
        EXPECT_NEAR(r.solutions[size_t(r.chosen)].entire.m[1], 1.0, 0.1) << c.name;
    }
}

// Survey over many seeds, run on demand (--gtest_also_run_disabled_tests):
// per case, noise and regularizer the seeds that pass (every component
// within 2 % and 0.02, spurious intensity below 0.05), the worst position
// and intensity errors and the worst spurious intensity. Seeds 100 ... 119
// unless SURVEY_FIRST and SURVEY_SEEDS say otherwise.
TEST(ContinQuality, DISABLED_Survey) {
    const char* firstText = std::getenv("SURVEY_FIRST");
    const char* countText = std::getenv("SURVEY_SEEDS");
    const unsigned first = firstText ? unsigned(std::atoi(firstText)) : 100u;
    const int seeds = countText ? std::atoi(countText) : 20;
    for (bool signal : {false, true})
        for (const Case& c : Cases())
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
