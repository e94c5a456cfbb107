#include "common/Nnls.h"

#include <algorithm>
#include <cmath>
#include <type_traits>
#include <utility>

namespace fluvena::engine {
namespace {

// Least squares on the columns of r listed in set; z gets the solution with
// zeros elsewhere. Every set is factorized afresh with column pivoting, so a
// column that depends on the others gets a zero. The work space is kept
// between calls.
class FreshSolver {
public:
    FreshSolver(const Eigen::MatrixXd& r, const Eigen::VectorXd& c) : r_(r), c_(c) {}
    void Solve(const std::vector<int>& set, Eigen::VectorXd& z) {
        const Eigen::Index k = static_cast<Eigen::Index>(set.size());
        sub_.resize(r_.rows(), k);
        for (Eigen::Index i = 0; i < k; ++i) sub_.col(i) = r_.col(set[static_cast<std::size_t>(i)]);
        qr_.compute(sub_);
        part_ = qr_.solve(c_);
        z.setZero(r_.cols());
        for (Eigen::Index i = 0; i < k; ++i) z(set[static_cast<std::size_t>(i)]) = part_(i);
    }

private:
    const Eigen::MatrixXd& r_;
    const Eigen::VectorXd& c_;
    Eigen::MatrixXd sub_;
    Eigen::VectorXd part_;
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr_;
};

// The same, with the factorization updated from one set to the next
// rather than computed afresh (Lawson and Hanson, chapter 24): the work
// matrix holds Q^T [r c], its columns of the current set upper triangular
// in the order they entered. A column joins by one Householder reflection
// of the rows below the triangle; columns leave by deleting them from the
// triangle and restoring it with Givens rotations. Each change costs
// O(rows x cols) instead of a new factorization's O(rows x set^2). Rows are
// stored contiguously, which both kinds of update run along.
class UpdatedSolver {
public:
    UpdatedSolver(const Eigen::MatrixXd& r, const Eigen::VectorXd& c)
        : rows_(r.rows()), cols_(r.cols()), t_(r.rows(), r.cols() + 1), colNorm_(r.colwise().norm().transpose()),
          place_(static_cast<std::size_t>(r.cols())), column_(static_cast<std::size_t>(r.cols())) {
        t_.leftCols(cols_) = r;
        t_.col(cols_) = c;
        for (Eigen::Index j = 0; j < cols_; ++j) place_[static_cast<std::size_t>(j)] = column_[static_cast<std::size_t>(j)] = j;
    }
    void Solve(const std::vector<int>& set, Eigen::VectorXd& z) {
        std::vector<char>& wanted = wanted_;
        wanted.assign(static_cast<std::size_t>(cols_), 0);
        double largest = 0.0;
        for (int j : set) {
            wanted[static_cast<std::size_t>(j)] = 1;
            largest = std::max(largest, colNorm_(j));
        }
        Remove(wanted);
        // A column whose part outside the span of the others is below the
        // rounding of its set is left out with a zero coefficient, as a
        // rank-revealing factorization would (unless its caller has tested
        // the columns itself).
        const Eigen::Index size = std::max<Eigen::Index>(static_cast<Eigen::Index>(set.size()), 1);
        const double negligible = tested_ ? 0.0
                                          : Eigen::NumTraits<double>::epsilon() *
                                                static_cast<double>(std::min(rows_, size)) * largest;
        for (int j : set)
            if (place_[static_cast<std::size_t>(j)] >= k_) Add(j, negligible);
        part_ = t_.col(cols_).head(k_);
        t_.topLeftCorner(k_, k_).triangularView<Eigen::Upper>().solveInPlace(part_);
        z.setZero(cols_);
        for (Eigen::Index i = 0; i < k_; ++i) z(column_[static_cast<std::size_t>(i)]) = part_(i);
    }

    // Columns are admitted by Admissible below rather than dropped by the
    // rounding of their set.
    void AdmitTestedColumns() { tested_ = true; }

    // For the factorization of the last set solved: the dual values of the
    // columns, w_j = (Q^T r)_j . (Q^T c) over the rows below the triangle.
    // Those of the triangle's own columns are zero.
    void DualBelow(Eigen::VectorXd& w) {
        const Eigen::Index len = rows_ - k_;
        dot_.noalias() = t_.col(cols_).tail(len).transpose() * t_.block(k_, k_, len, cols_ - k_);
        w.setZero(cols_);
        for (Eigen::Index p = k_; p < cols_; ++p) w(column_[static_cast<std::size_t>(p)]) = dot_(p - k_);
    }

    // Whether column j may join the triangle by Lawson and Hanson's tests:
    // a hundredth of the diagonal entry beta its reflection would give is
    // not lost to rounding when added to the norm of its part in the
    // triangle (the column is independent of the triangle's to the
    // arithmetic), and its coefficient (Q^T c)_k / beta after the reflection
    // is positive.
    bool Admissible(int j) {
        const Eigen::Index k = k_;
        if (k >= rows_) return false;
        const Eigen::Index len = rows_ - k, at = place_[static_cast<std::size_t>(j)];
        v_ = t_.col(at).tail(len);
        double tau = 0.0, beta = 0.0;
        ess_.resize(std::max<Eigen::Index>(len - 1, 0));
        v_.makeHouseholder(ess_, tau, beta);
        const double unorm = t_.col(at).head(k).norm();
        if (!((unorm + std::fabs(beta) * 0.01) - unorm > 0.0)) return false;
        const double ck = t_(k, cols_);
        double dot = ck;
        if (len > 1) dot += ess_.dot(t_.col(cols_).tail(len - 1));
        return (ck - tau * dot) / beta > 0.0;
    }

private:
    using RowMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;

    // The work matrix keeps the triangle's columns in its first k_ places,
    // so that updates run over the places from k_ on only.
    void Swap(Eigen::Index a, Eigen::Index b) {
        if (a == b) return;
        t_.col(a).swap(t_.col(b));
        std::swap(column_[static_cast<std::size_t>(a)], column_[static_cast<std::size_t>(b)]);
        place_[static_cast<std::size_t>(column_[static_cast<std::size_t>(a)])] = a;
        place_[static_cast<std::size_t>(column_[static_cast<std::size_t>(b)])] = b;
    }

    // Householder reflection of rows k_.. that zeroes column j below row k_.
    void Add(int j, double negligible) {
        const Eigen::Index k = k_;
        if (k >= rows_) return;
        const Eigen::Index len = rows_ - k;
        const Eigen::Index at = place_[static_cast<std::size_t>(j)];
        v_ = t_.col(at).tail(len);
        double tau = 0.0, beta = 0.0;
        ess_.resize(std::max<Eigen::Index>(len - 1, 0));
        v_.makeHouseholder(ess_, tau, beta);
        if (!(std::fabs(beta) > negligible) || !std::isfinite(beta)) return;
        Swap(at, k);
        if (tau != 0.0 && len > 1) {
            // rows -= tau h (h^T rows), h = (1, ess), on the places after k
            auto block = t_.bottomRightCorner(len, cols_ - k);
            dot_ = block.row(0);
            dot_.noalias() += ess_.transpose() * block.bottomRows(len - 1);
            block.row(0) -= tau * dot_;
            block.bottomRows(len - 1).noalias() -= (tau * ess_) * dot_;
        }
        t_(k, k) = beta;
        t_.col(k).tail(len - 1).setZero();
        ++k_;
    }

    // Deletes the columns of the triangle that are not wanted; each kept
    // column that moves up by some places is brought back to the triangle
    // by rotations of the rows it spans. The places are those of a
    // partition by exchanges (a kept column at place p trades places with
    // the first leaving one); the exchanges are worked out first and done
    // along the rows at once, then the rotations, which touch every column
    // at or after the kept one's new place whatever their order.
    void Remove(const std::vector<char>& wanted) {
        Eigen::Index first = 0;
        while (first < k_ && wanted[static_cast<std::size_t>(column_[static_cast<std::size_t>(first)])]) ++first;
        if (first == k_) return;
        from_.resize(static_cast<std::size_t>(k_ - first));
        for (Eigen::Index p = first; p < k_; ++p) from_[static_cast<std::size_t>(p - first)] = p;
        moves_.clear();  // (old place, new place) of each kept column that moves
        Eigen::Index kept = first;
        for (Eigen::Index p = first; p < k_; ++p) {
            if (!wanted[static_cast<std::size_t>(column_[static_cast<std::size_t>(p)])]) continue;
            std::swap(from_[static_cast<std::size_t>(p - first)], from_[static_cast<std::size_t>(kept - first)]);
            moves_.emplace_back(p, kept);
            ++kept;
        }
        Permute(first);
        for (const auto& [p, q] : moves_) {
            // The column now at q has entries in rows q .. p: zero those below q.
            for (Eigen::Index row = p; row > q; --row) {
                Eigen::JacobiRotation<double> g;
                double r = 0.0;
                g.makeGivens(t_(row - 1, q), t_(row, q), &r);
                // The places after q, the right-hand side last; the
                // column's own two entries are set below.
                auto upper = t_.row(row - 1).tail(cols_ - q);
                auto lower = t_.row(row).tail(cols_ - q);
                Eigen::internal::apply_rotation_in_the_plane(upper, lower, g.adjoint());
                t_(row - 1, q) = r;
                t_(row, q) = 0.0;
            }
        }
        k_ = kept;
    }

    // Places first + i take the columns at places from_[i], along every row.
    void Permute(Eigen::Index first) {
        const Eigen::Index len = static_cast<Eigen::Index>(from_.size());
        // One column leaving moves to the end and the rest up one place.
        bool shift = from_.back() == first;
        for (Eigen::Index i = 0; shift && i + 1 < len; ++i) shift = from_[static_cast<std::size_t>(i)] == first + i + 1;
        row_.resize(len);
        for (Eigen::Index r = 0; r < rows_; ++r) {
            double* seg = &t_(r, first);
            if (shift) {
                std::rotate(seg, seg + 1, seg + len);
                continue;
            }
            std::copy(seg, seg + len, row_.data());
            for (Eigen::Index i = 0; i < len; ++i) seg[i] = row_(from_[static_cast<std::size_t>(i)] - first);
        }
        oldColumn_.assign(column_.begin() + first, column_.begin() + first + len);
        for (Eigen::Index i = 0; i < len; ++i) {
            const Eigen::Index c = oldColumn_[static_cast<std::size_t>(from_[static_cast<std::size_t>(i)] - first)];
            column_[static_cast<std::size_t>(first + i)] = c;
            place_[static_cast<std::size_t>(c)] = first + i;
        }
    }

    Eigen::Index rows_, cols_, k_ = 0;  // k_: columns in the triangle
    bool tested_ = false;               // columns admitted by Admissible
    RowMatrix t_;                         // Q^T [r c], the columns in places
    Eigen::VectorXd colNorm_;             // norms of the columns of r
    std::vector<Eigen::Index> place_;     // place of each column of r
    std::vector<Eigen::Index> column_;    // column of r in each place
    Eigen::VectorXd part_, v_, ess_;
    Eigen::RowVectorXd dot_, row_;
    std::vector<char> wanted_;                               // the set being solved, as flags
    std::vector<Eigen::Index> from_, oldColumn_;             // the exchanges of Remove
    std::vector<std::pair<Eigen::Index, Eigen::Index>> moves_;
};

void Members(const std::vector<char>& flags, std::vector<int>& set) {
    set.clear();
    for (std::size_t j = 0; j < flags.size(); ++j)
        if (flags[j]) set.push_back(static_cast<int>(j));
}

// The problem the iterations work on. A tall A (more rows than columns) is
// replaced by its triangular factor: with A = Q [R; 0] and Q^T b = [c; d],
// ||A x - b||^2 = ||R x - c||^2 + ||d||^2, so the minimiser is the same and
// the residual of A follows from R's and the constant ||d||^2 (restSq).
class Reduced {
public:
    Reduced(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, bool allowed) : reduce_(allowed && a.rows() > a.cols()) {
        if (!reduce_) return;
        const Eigen::Index n = a.cols();
        Eigen::HouseholderQR<Eigen::MatrixXd> qr(a);
        Eigen::VectorXd qtb = qr.householderQ().adjoint() * b;
        reduced_ = qr.matrixQR().topRows(n).triangularView<Eigen::Upper>();
        reducedRhs_ = qtb.head(n);
        restSq_ = qtb.tail(a.rows() - n).squaredNorm();
    }
    const Eigen::MatrixXd& R(const Eigen::MatrixXd& a) const { return reduce_ ? reduced_ : a; }
    const Eigen::VectorXd& C(const Eigen::VectorXd& b) const { return reduce_ ? reducedRhs_ : b; }
    double RestSq() const { return restSq_; }

private:
    bool reduce_;
    Eigen::MatrixXd reduced_;
    Eigen::VectorXd reducedRhs_;
    double restSq_ = 0;
};

// The active-set iterations of Lawson and Hanson (1974, chapter 23, NNLS) on
// min ||R x - c|| subject to x >= 0. The passive (free) set P holds the
// variables allowed to be positive, the active set Z = complement of P those
// held at zero. At a solution the Karush-Kuhn-Tucker conditions hold: with
// the dual vector w = R^T (c - R x), the negative gradient of ||R x - c||^2 / 2,
//     x_j > 0 and w_j = 0 for j in P,   x_j = 0 and w_j <= 0 for j in Z.
// Each outer iteration moves the variable of Z with the largest w_j (above
// a tolerance tol relative to the sizes of R and c) into P; the inner loop
// then solves the unconstrained least-squares problem on P and, while that
// solution z has non-positive entries, steps from x toward z as far as
// feasibility allows and returns the variables that reach zero to Z.
template <class SubsetSolver>
class ActiveSetIterations {
public:
    ActiveSetIterations(const Eigen::MatrixXd& r, const Eigen::VectorXd& c)
        : r_(r), c_(c), n_(r.cols()), solver_(r, c), passive_(static_cast<std::size_t>(r.cols()), 0),
          blocked_(static_cast<std::size_t>(r.cols()), 0), x_(Eigen::VectorXd::Zero(r.cols())) {
        const double scale = std::max(1.0, r.cwiseAbs().maxCoeff() * std::max(1.0, c.cwiseAbs().maxCoeff()));
        tol_ = 1e-12 * scale;
    }

    // Takes the given free set (indices outside the columns ignored) and
    // shrinks it to its positive members until the least-squares solution
    // on it is positive throughout; x becomes that solution.
    void WarmStart(const std::vector<int>& warmStart) {
        std::vector<int> set;
        for (int j : warmStart)
            if (j >= 0 && j < n_ && !passive_[static_cast<std::size_t>(j)]) {
                passive_[static_cast<std::size_t>(j)] = 1;
                set.push_back(j);
            }
        std::sort(set.begin(), set.end());
        while (!set.empty()) {
            solver_.Solve(set, z_);
            std::vector<int> positive;
            for (int j : set)
                if (z_(j) > 0 && std::isfinite(z_(j))) positive.push_back(j);
            if (positive.size() == set.size()) {
                x_ = z_;
                break;
            }
            for (int j : set) passive_[static_cast<std::size_t>(j)] = 0;
            for (int j : positive) passive_[static_cast<std::size_t>(j)] = 1;
            set = std::move(positive);
        }
    }

    // Outer iterations until the KKT conditions hold (every w_j of Z at or
    // below tol; true) or maxOuter variables have been moved into P (false).
    bool Iterate(int maxOuter) {
        const int maxInner = static_cast<int>(3 * n_ + 20);
        for (;;) {
            const Eigen::Index best = Entering();
            if (best < 0) return true;
            if (outer_ == maxOuter) return false;
            ++outer_;
            passive_[static_cast<std::size_t>(best)] = 1;
            RestoreFeasibility(maxInner);
            // A variable that could not enter (rounding) is not offered
            // again until another one changes the solution.
            if (!passive_[static_cast<std::size_t>(best)]) blocked_[static_cast<std::size_t>(best)] = 1;
            else std::fill(blocked_.begin(), blocked_.end(), 0);
        }
    }

    // Outer iterations by Lawson and Hanson's own rules (NnlsRules in the
    // header), on the updated factorization, until the KKT conditions hold
    // (true) or the feasibility checks pass maxChecks (false).
    bool IterateByTheBook(int maxChecks) {
        solver_.AdmitTestedColumns();
        const Eigen::Index most = std::min<Eigen::Index>(n_, r_.rows());
        int checks = 0;
        for (;;) {
            Members(passive_, set_);
            if (static_cast<Eigen::Index>(set_.size()) >= most) return true;
            const Eigen::Index best = AdmissibleEntering();
            if (best < 0) return true;
            ++outer_;
            passive_[static_cast<std::size_t>(best)] = 1;
            for (;;) {
                Members(passive_, set_);
                solver_.Solve(set_, z_);
                if (++checks > maxChecks) return false;
                if (!StepTowardZ()) break;
            }
            for (int j : set_) x_(j) = z_(j);
        }
    }

    const Eigen::VectorXd& X() const { return x_; }
    const std::vector<char>& Passive() const { return passive_; }
    int Outer() const { return outer_; }

private:
    // The variable of Z, not blocked, with the largest dual value w_j above
    // tol; -1 when there is none (the KKT conditions hold).
    Eigen::Index Entering() {
        resid_.noalias() = r_ * x_;
        resid_ = c_ - resid_;
        w_.noalias() = r_.transpose() * resid_;
        Eigen::Index best = -1;
        double bestW = tol_;
        for (Eigen::Index j = 0; j < n_; ++j)
            if (!passive_[static_cast<std::size_t>(j)] && !blocked_[static_cast<std::size_t>(j)] && w_(j) > bestW) {
                bestW = w_(j);
                best = j;
            }
        return best;
    }

    // The variable of Z with the largest w_j > 0 that the factorization
    // admits; one it refuses gets w_j = 0 and the next is tried. -1 when no
    // w_j of Z is positive.
    Eigen::Index AdmissibleEntering() {
        solver_.DualBelow(w_);
        for (;;) {
            Eigen::Index best = -1;
            double bestW = 0.0;
            for (Eigen::Index j = 0; j < n_; ++j)
                if (!passive_[static_cast<std::size_t>(j)] && w_(j) > bestW) {
                    bestW = w_(j);
                    best = j;
                }
            if (best < 0 || solver_.Admissible(static_cast<int>(best))) return best;
            w_(best) = 0.0;
        }
    }

    // One step of the book's inner loop for z solved on P: false when z > 0
    // on P; else x moves toward z by the largest step that keeps it
    // feasible, and the variable that reaches zero leaves P with any other
    // that rounding left at or below zero.
    bool StepTowardZ() {
        double step = 2.0;
        int leave = -1;
        for (int j : set_)
            if (z_(j) <= 0.0) {
                const double t = -x_(j) / (z_(j) - x_(j));
                if (step > t) {
                    step = t;
                    leave = j;
                }
            }
        if (leave < 0) return false;
        for (int j : set_) x_(j) += step * (z_(j) - x_(j));
        x_(leave) = 0.0;
        for (int j : set_)
            if (x_(j) <= 0.0) {
                x_(j) = 0.0;
                passive_[static_cast<std::size_t>(j)] = 0;
            }
        return true;
    }

    // The inner loop: z solves the least-squares problem on P; if z > 0 on
    // P, x = z. Otherwise x moves to x + step (z - x) with the largest step
    // in [0, 1] that keeps x >= 0, and the variables that reach zero (or
    // below tol / 1000, or not finite) leave P. At most maxInner solves.
    void RestoreFeasibility(int maxInner) {
        for (int inner = 0; inner < maxInner; ++inner) {
            Members(passive_, set_);
            if (set_.empty()) break;
            solver_.Solve(set_, z_);
            bool feasible = true;
            for (int j : set_)
                if (!(z_(j) > 0)) feasible = false;
            if (feasible) {
                x_ = z_;
                break;
            }
            double step = 1.0;
            for (int j : set_)
                if (!(z_(j) > 0)) {
                    const double denom = x_(j) - z_(j);
                    step = denom > 0 ? std::min(step, x_(j) / denom) : 0.0;
                }
            x_ += step * (z_ - x_);
            for (int j : set_)
                if (x_(j) <= tol_ * 1e-3 || !std::isfinite(x_(j))) {
                    x_(j) = 0;
                    passive_[static_cast<std::size_t>(j)] = 0;
                }
        }
    }

    const Eigen::MatrixXd& r_;
    const Eigen::VectorXd& c_;
    const Eigen::Index n_;
    SubsetSolver solver_;
    double tol_ = 0;
    std::vector<char> passive_;  // P as flags
    std::vector<char> blocked_;  // variables of Z not offered until x changes
    Eigen::VectorXd x_, z_, w_, resid_;
    std::vector<int> set_;
    int outer_ = 0;  // variables moved into P
};

template <class SubsetSolver>
NnlsResult Solve(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, const std::vector<int>& warmStart,
                 int maxIterations, NnlsRules rules) {
    const Eigen::Index n = a.cols();
    NnlsResult res;
    res.x = Eigen::VectorXd::Zero(n);
    if (n == 0 || a.rows() == 0) {
        res.residualNorm = b.norm();
        res.converged = true;
        return res;
    }
    const bool book = rules == NnlsRules::LawsonHanson;
    const Reduced reduced(a, b, !book);
    const Eigen::MatrixXd& r = reduced.R(a);
    const Eigen::VectorXd& c = reduced.C(b);
    ActiveSetIterations<SubsetSolver> it(r, c);
    const int bound = maxIterations > 0 ? maxIterations : static_cast<int>(3 * n + 20);
    if constexpr (std::is_same_v<SubsetSolver, UpdatedSolver>) {
        if (book) {
            res.converged = it.IterateByTheBook(bound);
        } else {
            it.WarmStart(warmStart);
            res.converged = it.Iterate(bound);
        }
    } else {
        it.WarmStart(warmStart);
        res.converged = it.Iterate(bound);
    }
    res.x = it.X();
    Members(it.Passive(), res.passive);
    // Columns at the bottom of the double range can give a solution beyond
    // its top: that is no solution, and the variables are left at zero.
    if (!res.x.allFinite()) {
        res.x.setZero();
        res.passive.clear();
        res.converged = false;
    }
    res.iterations = it.Outer();
    res.residualNorm = std::sqrt((c - r * res.x).squaredNorm() + reduced.RestSq());
    return res;
}

}  // namespace

NnlsResult SolveNnls(const Eigen::MatrixXd& a, const Eigen::VectorXd& b, const std::vector<int>& warmStart,
                     int maxIterations, NnlsUpdates updates, NnlsRules rules) {
    return updates == NnlsUpdates::Updated || rules == NnlsRules::LawsonHanson
               ? Solve<UpdatedSolver>(a, b, warmStart, maxIterations, rules)
               : Solve<FreshSolver>(a, b, warmStart, maxIterations, rules);
}

}  // namespace fluvena::engine
