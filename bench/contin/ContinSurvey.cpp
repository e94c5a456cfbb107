// Seeded survey of the CONTIN engine's chosen solution on synthetic decays,
// run on demand:
//   contin_survey [SEEDS [FIRST]]      seeds FIRST ... FIRST + SEEDS - 1 (100 ... 119)
// One line per regularizer, case and noise: the seeds that pass (every
// component within 2 % in position and 0.02 in intensity, spurious intensity
// below 0.05), the worst position and intensity errors and the worst
// spurious intensity. The cases and their scoring are those of the engine's
// quality test.
#include "Synthetic.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace contin_test;
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
                std::printf("%-8s %-18s noise %.0e: pass %2d/%d  worst position %5.2f %%  intensity %.3f  spurious %.3f\n",
                            signal ? "signal" : "classic", c.name, noise, found, seeds, 100 * worst.worstPos,
                            worst.worstInt, worst.spurious);
            }
}
