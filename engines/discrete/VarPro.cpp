// Variable projection with Levenberg-Marquardt for sums of exponentials
// (the problem is stated in VarPro.h).
#include "discrete/VarPro.h"

#include "common/Nnls.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace fluvena::discrete::detail {

void Basis(const Problem& p, const VectorXd& th, MatrixXd& e) {
    e.resize(p.n, th.size());
    for (Eigen::Index j = 0; j < th.size(); ++j) {
        const double lam = std::exp(th(j));
        e.col(j) = (p.t.array() * -lam).min(700.0).exp();
    }
}

double Chi2(const Problem& p, const Params& q, MatrixXd& e, VectorXd& r) {
    Basis(p, q.th, e);
    r.noalias() = e * q.a;
    r = ((p.y - r).array() - q.b) * p.sw.array();
    const double c = r.squaredNorm();
    return std::isfinite(c) ? c : std::numeric_limits<double>::infinity();
}

namespace {

// A^T A for a tall A: column by column dot products, cheaper than a
// general matrix product at these sizes.
void Gram(const MatrixXd& a, MatrixXd& out) {
    out.resize(a.cols(), a.cols());
    for (Eigen::Index j = 0; j < a.cols(); ++j)
        for (Eigen::Index i = j; i < a.cols(); ++i) out(i, j) = out(j, i) = a.col(i).dot(a.col(j));
}

// The linear part of the problem for fixed rates: the best amplitudes (non-
// negative under NONEG) and baseline. This is the variable projection of
// Golub and Pereyra (SIAM J. Numer. Anal. 10, 1973, 413): the least-squares
// problem becomes one in the rates alone.
struct LinearFit {
    VectorXd a;                // amplitudes
    double b = 0;              // baseline
    VectorXd r;                // weighted residuals
    double chi2 = 0;
    std::vector<int> freeSet;  // the NNLS free set, a warm start for nearby rates
};

class Projection {
public:
    explicit Projection(const Problem& p) : p_(p) {
        rhs_ = p.sw.cwiseProduct(p.y);
        if (p.base) {
            u_ = p.sw / p.sw.norm();
            rhs_ -= u_ * u_.dot(rhs_);  // the baseline is free: project it out first
        }
    }

    // Fills fit for the log-rates th; e receives the decays exp(-lambda t).
    // Columns of rates equal to those of near (decays nearE) are copied.
    double Solve(const VectorXd& th, MatrixXd& e, LinearFit& fit, const VectorXd* near = nullptr,
                 const MatrixXd* nearE = nullptr) {
        if (near) {
            e.resize(p_.n, th.size());
            for (Eigen::Index j = 0; j < th.size(); ++j) {
                if (th(j) == (*near)(j)) e.col(j) = nearE->col(j);
                else e.col(j) = (p_.t.array() * -std::exp(th(j))).min(700.0).exp();
            }
        } else {
            Basis(p_, th, e);
        }
        const Eigen::Index m = th.size();
        Columns(e);
        // The amplitudes in units of their column norms; the normal equations
        // serve while they are well conditioned (their error grows with the
        // square of the condition number), a pivoted QR otherwise.
        Gram(x_, gram_);
        columnGram_ = gram_;
        columnGramCurrent_ = true;
        scale_.resize(m);
        for (Eigen::Index j = 0; j < m; ++j) scale_(j) = gram_(j, j) > 0 ? 1.0 / std::sqrt(gram_(j, j)) : 0.0;
        gram_ = scale_.asDiagonal() * gram_ * scale_.asDiagonal();
        for (Eigen::Index j = 0; j < m; ++j)
            if (scale_(j) == 0) gram_(j, j) = 1;  // a column of zeros: its amplitude stays 0
        llt_.compute(gram_);
        bool normal = llt_.info() == Eigen::Success;
        if (normal) {
            tri_ = llt_.matrixU();
            normal = tri_.diagonal().minCoeff() >= 1e-3;
        }
        if (normal) {
            qtb_.noalias() = x_.transpose() * rhs_;
            qtb_.array() *= scale_.array();
            tri_.transpose().triangularView<Eigen::Lower>().solveInPlace(qtb_);
            cols_.resize(static_cast<std::size_t>(m));
            std::iota(cols_.begin(), cols_.end(), Eigen::Index{0});
        } else {
            qr_.compute(x_);
            const Eigen::Index k = qr_.rank();
            tri_ = qr_.matrixR().topLeftCorner(k, k).triangularView<Eigen::Upper>();
            qtb_ = (qr_.householderQ().adjoint() * rhs_).head(k);
            cols_.clear();
            for (Eigen::Index i = 0; i < k; ++i) cols_.push_back(qr_.colsPermutation().indices()(i));
            scale_.setOnes();
        }
        const Eigen::Index k = static_cast<Eigen::Index>(cols_.size());
        z_ = qtb_;
        tri_.triangularView<Eigen::Upper>().solveInPlace(z_);
        if (p_.nonneg && k > 0 && !(z_.minCoeff() >= 0)) {
            const engine::NnlsResult nn = engine::SolveNnls(tri_, qtb_, fit.freeSet);
            z_ = nn.x;
            fit.freeSet = nn.passive;
        }
        fit.a.setZero(m);
        for (Eigen::Index i = 0; i < k; ++i) {
            const Eigen::Index j = cols_[static_cast<std::size_t>(i)];
            fit.a(j) = std::isfinite(z_(i)) ? z_(i) * scale_(j) : 0.0;
        }
        fit.r.noalias() = e * fit.a;
        fit.r = (p_.y - fit.r).cwiseProduct(p_.sw);
        fit.b = p_.base ? p_.sw.dot(fit.r) / p_.sw.squaredNorm() : 0.0;
        if (p_.base) fit.r -= fit.b * p_.sw;
        fit.chi2 = fit.r.squaredNorm();
        if (!std::isfinite(fit.chi2)) fit.chi2 = std::numeric_limits<double>::infinity();
        return fit.chi2;
    }

    // J^T J for the Jacobian J = P D of the residuals in the log-rates, P the
    // projection off the fitted columns (amplitudes not held at zero, and the
    // baseline): D^T D less the part of D those columns explain, through
    // their normal equations. d is overwritten.
    void NormalMatrix(const MatrixXd& e, const VectorXd& a, MatrixXd& d, MatrixXd& jtj) {
        if (p_.base) {
            along_.noalias() = d.transpose() * u_;
            d.noalias() -= u_ * along_.transpose();
        }
        Gram(d, jtj);
        // The fitted columns are usually those of the last Solve, whose
        // decays (swapped into place, not copied) are e.
        if (e.data() != columnsOf_ || e.rows() != x_.rows() || e.cols() != x_.cols()) Columns(e);
        use_.clear();
        for (Eigen::Index j = 0; j < a.size(); ++j)
            if (a(j) != 0) use_.push_back(j);
        if (use_.empty()) return;
        const Eigen::Index k = static_cast<Eigen::Index>(use_.size());
        if (columnGramCurrent_) {
            // The dot products of these columns are among those the last
            // Solve formed (a dot product does not depend on where its
            // vectors are stored).
            gsub_.resize(k, k);
            for (Eigen::Index j = 0; j < k; ++j)
                for (Eigen::Index i = 0; i < k; ++i)
                    gsub_(i, j) = columnGram_(use_[static_cast<std::size_t>(i)], use_[static_cast<std::size_t>(j)]);
        } else {
            sub_.resize(p_.n, k);
            for (Eigen::Index i = 0; i < k; ++i) sub_.col(i) = x_.col(use_[static_cast<std::size_t>(i)]);
            Gram(sub_, gsub_);
        }
        ldlt_.compute(gsub_);
        coef_.resize(k, d.cols());
        for (Eigen::Index j = 0; j < d.cols(); ++j)
            for (Eigen::Index i = 0; i < k; ++i) coef_(i, j) = x_.col(use_[static_cast<std::size_t>(i)]).dot(d.col(j));
        sol_ = coef_;
        ldlt_.solveInPlace(sol_);
        jtj.noalias() -= coef_.transpose() * sol_;
    }

private:
    // The weighted decays with the baseline projected out.
    void Columns(const MatrixXd& e) {
        x_ = p_.sw.asDiagonal() * e;
        columnGramCurrent_ = false;
        if (p_.base) {
            along_.noalias() = x_.transpose() * u_;
            x_.noalias() -= u_ * along_.transpose();
        }
        columnsOf_ = e.data();
    }

    const Problem& p_;
    VectorXd rhs_, u_, qtb_, z_, scale_, along_;  // along_: the columns' components along u_
    MatrixXd x_, gram_, tri_, sub_, gsub_, coef_, sol_;
    Eigen::LLT<MatrixXd> llt_;
    Eigen::LDLT<MatrixXd> ldlt_;
    Eigen::ColPivHouseholderQR<MatrixXd> qr_;
    std::vector<Eigen::Index> cols_, use_;
    const double* columnsOf_ = nullptr;  // the decays x_ was computed from
    MatrixXd columnGram_;                 // the dot products of the columns of x_, when current
    bool columnGramCurrent_ = false;
};

Iteration Record(const VectorXd& th, const LinearFit& fit, double damping) {
    Iteration it;
    it.chi2 = fit.chi2;
    it.damping = damping;
    it.baseline = fit.b;
    for (Eigen::Index j = 0; j < th.size(); ++j) {
        it.alpha.push_back(fit.a(j));
        it.lambda.push_back(std::exp(th(j)));
    }
    return it;
}

// The iteration's state: log-rates with their linear fit, decays and chi^2,
// Nielsen's damping mu and its raise factor, and scratch space reused from
// step to step.
struct LmState {
    VectorXd th;
    LinearFit fit, trial;
    MatrixXd e, et, jac, jtj, lhs;
    double chi2 = 0, mu = 1e-3, raise = 2;
    VectorXd g, d, delta, step, tt, gk, jd;
    VectorXd swt;  // sqrt(w) t, the factor of every derivative column
    Eigen::LDLT<MatrixXd> ldlt;
    std::vector<Eigen::Index> moving;
};

// The linear model at th: the gradient g = -J^T r, J^T J and its diagonal d
// (floored at 1e-12 of its largest), and the rates free to move. The
// residuals' derivatives in the log-rates before projection are
// D_j = a_j lambda_j sqrt(w) t exp(-lambda_j t); the residuals are
// orthogonal to the fitted columns, so J^T r = D^T r.
void Linearise(const Problem& p, Projection& proj, LmState& s) {
    const Eigen::Index m = s.th.size();
    for (Eigen::Index j = 0; j < m; ++j)
        s.jac.col(j) = (s.fit.a(j) * std::exp(s.th(j))) * s.swt.cwiseProduct(s.e.col(j));
    s.g.noalias() = -(s.jac.transpose() * s.fit.r);
    proj.NormalMatrix(s.e, s.fit.a, s.jac, s.jtj);
    s.d = s.jtj.diagonal();
    const double dmax = std::max(s.d.maxCoeff(), 1e-300);
    s.moving.clear();
    for (Eigen::Index j = 0; j < m; ++j) {
        s.d(j) = std::max(s.d(j), 1e-12 * dmax);
        const bool held = s.fit.a(j) == 0 || (s.th(j) <= p.thLo && s.g(j) <= 0) || (s.th(j) >= p.thHi && s.g(j) >= 0);
        if (!held) s.moving.push_back(j);
    }
    const Eigen::Index k = static_cast<Eigen::Index>(s.moving.size());
    s.gk.resize(k);
    for (Eigen::Index a = 0; a < k; ++a) s.gk(a) = s.g(s.moving[static_cast<std::size_t>(a)]);
}

// One damped step over the moving rates: (J^T J + mu diag d) delta = g,
// delta at most 1.5 in ln(rate), the rates clamped to their bounds; mu is
// raised until chi^2 falls and relaxed the more, the better the linear model
// predicted the decrease. False when no step lowers chi^2 (a minimum within
// rounding); else relDecrease and maxThStep describe the step taken.
bool DampedStep(Projection& proj, const Problem& p, LmState& s, double& relDecrease, double& maxThStep) {
    const Eigen::Index m = s.th.size();
    const Eigen::Index k = static_cast<Eigen::Index>(s.moving.size());
    for (int attempt = 0; k > 0 && attempt < 30 && s.mu < 1e14; ++attempt) {
        s.lhs.resize(k, k);
        for (Eigen::Index a = 0; a < k; ++a) {
            for (Eigen::Index b = 0; b < k; ++b)
                s.lhs(a, b) = s.jtj(s.moving[static_cast<std::size_t>(a)], s.moving[static_cast<std::size_t>(b)]);
            s.lhs(a, a) += s.mu * s.d(s.moving[static_cast<std::size_t>(a)]);
        }
        s.ldlt.compute(s.lhs);
        s.step = s.gk;
        s.ldlt.solveInPlace(s.step);
        if (s.ldlt.info() != Eigen::Success || !s.step.allFinite()) {
            s.mu *= 10;
            continue;
        }
        s.delta.setZero();
        for (Eigen::Index a = 0; a < k; ++a) s.delta(s.moving[static_cast<std::size_t>(a)]) = s.step(a);
        const double thStep = s.delta.cwiseAbs().maxCoeff();
        if (thStep > 1.5) s.delta *= 1.5 / thStep;
        for (Eigen::Index j = 0; j < m; ++j) s.tt(j) = std::clamp(s.th(j) + s.delta(j), p.thLo, p.thHi);
        s.delta = s.tt - s.th;
        s.jd.noalias() = s.jtj * s.delta;
        const double predicted = 2 * s.delta.dot(s.g) - s.delta.dot(s.jd);
        // A step whose predicted gain is lost in rounding: the minimum.
        if (!(predicted > 1e-14 * s.chi2)) return false;
        s.trial.freeSet = s.fit.freeSet;
        const double c = proj.Solve(s.tt, s.et, s.trial, &s.th, &s.e);
        if (c < s.chi2) {
            const double gain = predicted > 0 ? (s.chi2 - c) / predicted : 0.0;
            s.mu = std::max(s.mu * std::max(1.0 / 3, 1 - std::pow(2 * gain - 1, 3)), 1e-12);
            s.raise = 2;
            relDecrease = (s.chi2 - c) / std::max(s.chi2, 1e-300);
            maxThStep = s.delta.cwiseAbs().maxCoeff();
            s.chi2 = c;
            s.th.swap(s.tt);
            std::swap(s.fit, s.trial);
            s.e.swap(s.et);
            return true;
        }
        s.mu *= s.raise;
        s.raise *= 2;
    }
    return false;
}

}  // namespace

// Levenberg-Marquardt in the log-rates alone, the amplitudes and baseline
// projected out (Kaufman's Jacobian, BIT 15, 1975, 49), with Nielsen's
// damping (IMM-REP-1999-05, Technical University of Denmark). A rate whose
// amplitude is held at zero, or that sits at a bound of the range and is
// pushed outward, is held where it is for the step. abandonAbove: a start
// still this far above the best fit found so far after some iterations is
// leading elsewhere and is dropped.
LmOutcome Levenberg(const Problem& p, VectorXd th, double abandonAbove) {
    const Eigen::Index m = th.size();
    Projection proj(p);
    LmState s;
    s.th = std::move(th);
    s.jac.resize(p.n, m);
    s.jtj.resize(m, m);
    s.g.resize(m);
    s.d.resize(m);
    s.delta.resize(m);
    s.tt.resize(m);
    s.swt = p.sw.cwiseProduct(p.t);
    LmOutcome out;
    s.chi2 = proj.Solve(s.th, s.e, s.fit);
    out.history.push_back(Record(s.th, s.fit, 0.0));
    for (int it = 0; it < p.maxIterations; ++it) {
        Linearise(p, proj, s);
        double relDecrease = 0, maxThStep = 0;
        const bool improved = DampedStep(proj, p, s, relDecrease, maxThStep);
        out.iterations = it + 1;
        if (!improved) {  // no step lowers chi^2 any more: a minimum within rounding
            out.converged = true;
            break;
        }
        out.history.push_back(Record(s.th, s.fit, s.mu));
        if (relDecrease < 1e-12 || (relDecrease < 1e-9 && maxThStep < 1e-5) || s.chi2 < 1e-28) {
            out.converged = true;
            break;
        }
        if (it >= 15 && s.chi2 > abandonAbove) break;
        // Five steps along a flat valley that together lower chi^2 by less
        // than a millionth change nothing that matters to the F-tests: stop.
        const std::size_t h = out.history.size();
        if (h > 5 && out.history[h - 6].chi2 - s.chi2 <= 1e-6 * s.chi2) {
            out.converged = true;
            break;
        }
    }
    out.q.a = s.fit.a;
    out.q.b = s.fit.b;
    out.q.th = s.th;
    out.chi2 = s.chi2;
    return out;
}

}  // namespace fluvena::discrete::detail
