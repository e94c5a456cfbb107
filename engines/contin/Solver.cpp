// The alpha scan of constrained regularization (S. W. Provencher, Comput.
// Phys. Commun. 27 (1982) 213-227): the reference solution, coarse steps in
// ln(alpha) and the refinement toward PROB1 TO REJECT = 0.5.
#include "StandardForm.h"

#include <algorithm>
#include <cmath>

namespace fluvena::contin {

using namespace detail;

namespace {

// The first ALPHA/S(1) of the scan (the reference program's figure for the
// precision of its arithmetic) and the highest top of the coarse steps; six
// solutions spaced evenly in ln(alpha) cover the range. The top comes down
// in half-decades (at most kCoarseTopSteps of them) until the unconstrained
// problem keeps kTopDof degrees of freedom beyond the unregularized ones.
// In the nine reference listings that count is 1.49 to 1.88 at the top the
// reference chose (10^-5.5 in seven, 10^-6 and 10^-6.5 in two) and 0.99 to
// 1.24 a half-decade above it; kTopDof lies between.
constexpr double kFirstRatio = 1.49e-15;
constexpr double kCoarseTop = 3.1622776601683795e-6;  // 10^-5.5
constexpr int kCoarseSteps = 6;
constexpr int kCoarseTopSteps = 12;
constexpr double kTopDof = 1.37;

// The top of the coarse scan: the largest ALPHA/S(1) of the half-decades
// 10^-5.5, 10^-6, ... at which the unconstrained problem keeps at least
// kTopDof degrees of freedom, sum s_i^2 / (s_i^2 + alpha^2) over the
// singular values of the standard form, beyond its unregularized variables.
double CoarseTop(const Problem& P) {
    const double unregularized = P.baseline ? 1.0 : 0.0;
    double top = kCoarseTop;
    for (int k = 0; k < kCoarseTopSteps; ++k, top /= std::sqrt(10.0)) {
        const double alpha2 = (top * P.s1) * (top * P.s1);
        double ndf = 0.0;
        for (Eigen::Index i = 0; i < P.psi.size(); ++i) {
            const double s2 = P.psi(i) * P.psi(i);
            if (s2 > 0.0) ndf += s2 / (s2 + alpha2);
        }
        if (ndf - unregularized >= kTopDof) break;
    }
    return top;
}

// The whole analysis: the reference solution, then either the given ALPHA/S(1)
// values or the coarse steps and the refinement toward targetProb1.
Result Run(const Deck& deck, double targetProb1, const std::vector<double>* given, double referenceRatio) {
    targetProb1 = std::isfinite(targetProb1) ? std::clamp(targetProb1, 0.01, 0.99) : 0.5;
    Result res;
    const Problem P = Prepare(deck, res.g, res.c);
    res.singularValues.assign(P.psi.data(), P.psi.data() + P.psi.size());
    const double s1 = P.s1;

    // The coarse steps; the reference solution is the first whose
    // constrained problem the reference's method solves.
    std::vector<double> coarse;
    const double top = CoarseTop(P);
    for (int k = 0; k < kCoarseSteps; ++k)
        coarse.push_back(std::exp(std::log(kFirstRatio) +
                                  k * (std::log(top) - std::log(kFirstRatio)) / (kCoarseSteps - 1)));
    size_t first = 0;
    if (referenceRatio > 0.0) {
        coarse.insert(coarse.begin(), referenceRatio);
    } else if (P.nonneg) {
        while (first + 1 < coarse.size() && !ReferenceSolvable(P, coarse[first] * s1)) {
            res.skippedRatios.push_back(coarse[first]);
            ++first;
        }
    }

    std::vector<Raw> raws;
    std::vector<int> warm;
    std::vector<double> ratios, probs;
    double V0 = 0.0, ndf0 = 0.0;
    auto scan = [&](double ratio) {
        raws.push_back(SolveAlpha(P, ratio * s1, warm));
        if (raws.size() == 1) {
            V0 = raws[0].V;
            ndf0 = raws[0].ndf;
        }
        ratios.push_back(ratio);
        probs.push_back(raws.size() == 1 ? 0.0 : Prob1(raws.back().V, V0, ndf0, P.ny));
    };
    if (given) {
        scan(coarse[first]);
        for (double ratio : *given)
            if (ratio > 0.0 && std::isfinite(ratio)) scan(ratio);
    } else {
        for (size_t k = first; k < coarse.size(); ++k) scan(coarse[k]);
    }

    // Refinement of ln(alpha) toward the target PROB1 between the nearest
    // solutions on either side of it: interpolation of logit(PROB1) where
    // both ends lie on the rise, halving where one end is flat (PROB1 0 or 1
    // says little about where the rise is).
    const int kMaxSolutions = 12;
    auto refine = [&]() {
        int lo = -1, hi = -1;
        for (size_t i = 0; i < probs.size(); ++i) {
            if (probs[i] <= targetProb1 && (lo < 0 || ratios[i] > ratios[static_cast<size_t>(lo)])) lo = static_cast<int>(i);
        }
        for (size_t i = 0; i < probs.size(); ++i) {
            if (probs[i] > targetProb1 && (lo < 0 || ratios[i] > ratios[static_cast<size_t>(lo)]) &&
                (hi < 0 || ratios[i] < ratios[static_cast<size_t>(hi)]))
                hi = static_cast<int>(i);
        }
        if (lo < 0 || hi < 0) return false;
        const double ul = std::log(ratios[static_cast<size_t>(lo)]), uh = std::log(ratios[static_cast<size_t>(hi)]);
        if (uh - ul < 1e-3) return false;
        const double pl = probs[static_cast<size_t>(lo)], ph = probs[static_cast<size_t>(hi)];
        double u = 0.5 * (ul + uh);
        if (pl > 0.01 && ph < 0.99) {
            auto logit = [](double p) { return std::log(p / (1.0 - p)); };
            const double fl = logit(pl), fh = logit(ph), ft = logit(targetProb1);
            if (fh > fl) u = ul + (ft - fl) * (uh - ul) / (fh - fl);
            const double margin = 0.1 * (uh - ul);
            u = std::clamp(u, ul + margin, uh - margin);
        }
        scan(std::exp(u));
        return std::fabs(probs.back() - targetProb1) > 1e-3;
    };
    while (!given && static_cast<int>(raws.size()) < kMaxSolutions && refine()) {
    }
    // When the target was met in few steps, spread more solutions over the
    // rise of PROB1 (each between the two neighbours in alpha whose PROB1
    // differ most), so that the solutions a user browses show how the
    // distribution changes with the smoothing; where PROB1 does not rise
    // at all (data the constraints leave nothing to fit), into the widest
    // gap in alpha.
    const int kMinSolutions = 10;
    while (!given && static_cast<int>(raws.size()) < kMinSolutions) {
        std::vector<size_t> order(ratios.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ratios[a] < ratios[b]; });
        double widest = 0.0, widestGap = 0.0;
        double mid = 0.0, gapMid = 0.0;
        for (size_t k = 1; k < order.size(); ++k) {
            const size_t a = order[k - 1], b = order[k];
            const double rise = std::fabs(probs[b] - probs[a]), gap = std::log(ratios[b] / ratios[a]);
            if (rise > widest && gap > 1e-3) {
                widest = rise;
                mid = std::sqrt(ratios[a] * ratios[b]);
            }
            if (gap > widestGap) {
                widestGap = gap;
                gapMid = std::sqrt(ratios[a] * ratios[b]);
            }
        }
        if (!(widest > 1e-3)) mid = gapMid;
        if (!(mid > 0.0)) break;
        scan(mid);
    }

    int best = 0;
    for (size_t i = 0; i < raws.size(); ++i) {
        res.solutions.push_back(Finish(P, raws[i], res.g, res.c, s1, V0, ndf0));
        res.solutions.back().reference = (i == 0);
        if (std::fabs(res.solutions[i].prob1 - targetProb1) <
            std::fabs(res.solutions[static_cast<size_t>(best)].prob1 - targetProb1))
            best = static_cast<int>(i);
    }
    res.chosen = best;
    return res;
}

}  // namespace

Result Solve(const Deck& deck, double targetProb1) { return Run(deck, targetProb1, nullptr, 0.0); }

Result SolveAt(const Deck& deck, const std::vector<double>& ratios, double referenceRatio) {
    return Run(deck, 0.5, &ratios, referenceRatio);
}

}  // namespace fluvena::contin

