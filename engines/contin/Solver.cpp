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

// The coarse steps: kCoarseSteps values of ALPHA/S(1) evenly spaced in
// ln(alpha) from kFirstRatio to the top.
std::vector<double> CoarseSteps(const Problem& P) {
    std::vector<double> coarse;
    const double top = CoarseTop(P);
    for (int k = 0; k < kCoarseSteps; ++k)
        coarse.push_back(std::exp(std::log(kFirstRatio) +
                                  k * (std::log(top) - std::log(kFirstRatio)) / (kCoarseSteps - 1)));
    return coarse;
}

// The solutions of one scan in the order computed, each with its ALPHA/S(1)
// and PROB1 TO REJECT against the first (the reference) solution. Each
// solution starts from the free set of the one before.
class Scan {
public:
    Scan(const Problem& P, double targetProb1) : P_(P), target_(targetProb1) {}

    // The constrained solution at one ALPHA/S(1).
    void Add(double ratio) {
        raws_.push_back(SolveAlpha(P_, ratio * P_.s1, warm_));
        if (raws_.size() == 1) {
            V0_ = raws_[0].V;
            ndf0_ = raws_[0].ndf;
        }
        ratios_.push_back(ratio);
        probs_.push_back(raws_.size() == 1 ? 0.0 : Prob1(raws_.back().V, V0_, ndf0_, P_.ny));
    }

    int Size() const { return static_cast<int>(raws_.size()); }

    // One step of the refinement of ln(alpha) toward the target PROB1,
    // between the nearest solutions on either side of it: interpolation of
    // logit(PROB1) where both ends lie on the rise (kept a tenth of the
    // interval from either end), halving where one end is flat (PROB1 0 or
    // 1 says little about where the rise is). False when there is no such
    // pair, the pair is closer than 0.001 in ln(alpha), or the new solution
    // meets the target to 0.001.
    bool Refine() {
        int lo = -1, hi = -1;
        for (size_t i = 0; i < probs_.size(); ++i) {
            if (probs_[i] <= target_ && (lo < 0 || ratios_[i] > ratios_[static_cast<size_t>(lo)])) lo = static_cast<int>(i);
        }
        for (size_t i = 0; i < probs_.size(); ++i) {
            if (probs_[i] > target_ && (lo < 0 || ratios_[i] > ratios_[static_cast<size_t>(lo)]) &&
                (hi < 0 || ratios_[i] < ratios_[static_cast<size_t>(hi)]))
                hi = static_cast<int>(i);
        }
        if (lo < 0 || hi < 0) return false;
        const double ul = std::log(ratios_[static_cast<size_t>(lo)]), uh = std::log(ratios_[static_cast<size_t>(hi)]);
        if (uh - ul < 1e-3) return false;
        const double pl = probs_[static_cast<size_t>(lo)], ph = probs_[static_cast<size_t>(hi)];
        double u = 0.5 * (ul + uh);
        if (pl > 0.01 && ph < 0.99) {
            auto logit = [](double p) { return std::log(p / (1.0 - p)); };
            const double fl = logit(pl), fh = logit(ph), ft = logit(target_);
            if (fh > fl) u = ul + (ft - fl) * (uh - ul) / (fh - fl);
            const double margin = 0.1 * (uh - ul);
            u = std::clamp(u, ul + margin, uh - margin);
        }
        Add(std::exp(u));
        return std::fabs(probs_.back() - target_) > 1e-3;
    }

    // One more solution where it shows most of how the distribution changes
    // with the smoothing: at the geometric mean of the two neighbours in
    // alpha whose PROB1 differ most; where PROB1 does not rise at all (data
    // the constraints leave nothing to fit), in the widest gap in alpha.
    // False when there is no gap to fill.
    bool Spread() {
        std::vector<size_t> order(ratios_.size());
        for (size_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return ratios_[a] < ratios_[b]; });
        double widest = 0.0, widestGap = 0.0;
        double mid = 0.0, gapMid = 0.0;
        for (size_t k = 1; k < order.size(); ++k) {
            const size_t a = order[k - 1], b = order[k];
            const double rise = std::fabs(probs_[b] - probs_[a]), gap = std::log(ratios_[b] / ratios_[a]);
            if (rise > widest && gap > 1e-3) {
                widest = rise;
                mid = std::sqrt(ratios_[a] * ratios_[b]);
            }
            if (gap > widestGap) {
                widestGap = gap;
                gapMid = std::sqrt(ratios_[a] * ratios_[b]);
            }
        }
        if (!(widest > 1e-3)) mid = gapMid;
        if (!(mid > 0.0)) return false;
        Add(mid);
        return true;
    }

    // The solutions with their statistics, the first marked as the
    // reference; the chosen one has PROB1 nearest the target.
    void Finish(Result& res) const {
        int best = 0;
        for (size_t i = 0; i < raws_.size(); ++i) {
            res.solutions.push_back(detail::Finish(P_, raws_[i], res.g, res.c, P_.s1, V0_, ndf0_));
            res.solutions.back().reference = (i == 0);
            if (std::fabs(res.solutions[i].prob1 - target_) <
                std::fabs(res.solutions[static_cast<size_t>(best)].prob1 - target_))
                best = static_cast<int>(i);
        }
        res.chosen = best;
    }

private:
    const Problem& P_;
    const double target_;
    std::vector<Raw> raws_;
    std::vector<int> warm_;
    std::vector<double> ratios_, probs_;
    double V0_ = 0.0, ndf0_ = 0.0;
};

// At most this many solutions come from the refinement; when the target
// was met in fewer than kMinSolutions, more are spread over the rise of
// PROB1, so that the solutions a user browses show how the distribution
// changes with the smoothing.
constexpr int kMaxSolutions = 12;
constexpr int kMinSolutions = 10;

// The whole analysis: the reference solution, then either the given ALPHA/S(1)
// values or the coarse steps and the refinement toward targetProb1.
Result Run(const Deck& deck, double targetProb1, const std::vector<double>* given, double referenceRatio) {
    targetProb1 = std::isfinite(targetProb1) ? std::clamp(targetProb1, 0.01, 0.99) : 0.5;
    Result res;
    const Problem P = Prepare(deck, res.g, res.c);
    res.singularValues.assign(P.psi.data(), P.psi.data() + P.psi.size());

    // The reference solution is the first coarse step whose constrained
    // problem the reference's method solves.
    std::vector<double> coarse = CoarseSteps(P);
    size_t first = 0;
    if (referenceRatio > 0.0) {
        coarse.insert(coarse.begin(), referenceRatio);
    } else if (P.nonneg) {
        while (first + 1 < coarse.size() && !ReferenceSolvable(P, coarse[first] * P.s1)) {
            res.skippedRatios.push_back(coarse[first]);
            ++first;
        }
    }

    Scan scan(P, targetProb1);
    if (given) {
        scan.Add(coarse[first]);
        for (double ratio : *given)
            if (ratio > 0.0 && std::isfinite(ratio)) scan.Add(ratio);
    } else {
        for (size_t k = first; k < coarse.size(); ++k) scan.Add(coarse[k]);
        while (scan.Size() < kMaxSolutions && scan.Refine()) {
        }
        while (scan.Size() < kMinSolutions && scan.Spread()) {
        }
    }
    scan.Finish(res);
    return res;
}

}  // namespace

Result Solve(const Deck& deck, double targetProb1) { return Run(deck, targetProb1, nullptr, 0.0); }

Result SolveAt(const Deck& deck, const std::vector<double>& ratios, double referenceRatio) {
    return Run(deck, 0.5, &ratios, referenceRatio);
}

}  // namespace fluvena::contin

