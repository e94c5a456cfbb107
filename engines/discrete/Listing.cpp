#include "discrete/Listing.h"

#include "common/FortranNumbers.h"
#include "common/ListingGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace fluvena::discrete {

using engine::FormatE;
using engine::FormatF;

namespace {

constexpr std::string_view kHeading = "1DISCRETE - Fluvena engine (sums of exponentials) ";
constexpr const char kExactNote[] = " (START: NOT AN EXACT PEAK OF SPECTRUM)";
namespace geometry = listing::discrete;
static_assert(kHeading.starts_with(geometry::kTitle));
static_assert(sizeof(kExactNote) - 1 == geometry::kExactRowLength - geometry::kRowLength,
              "a component row with its note is the longer row");
constexpr const char* kStars = " **********************************************************************";
constexpr const char* kRule =
    " ===================================================================================================="
    "===============================";
constexpr const char* kRankWords[9] = {"",       "SECOND ", "THIRD ",  "FOURTH ", "FIFTH ",
                                       "SIXTH ", "SEVENTH ", "EIGHTH ", "NINTH "};
constexpr std::string_view kMarkers[] = {geometry::kTitle,      geometry::kSolutionEnd, geometry::kTable,
                                         geometry::kComponents, geometry::kPunc,        geometry::kExact,
                                         geometry::kUncertain};

std::string Fmt(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char* fmt, ...) {
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    int n = std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    if (n < 0) return std::string();
    return std::string(buf, static_cast<std::size_t>(std::min<int>(n, sizeof buf - 1)));
}

double NoNegZero(double v) { return v == 0 ? 0.0 : v; }

// An E field of the given width that always begins with a blank, so that it
// cannot run into the field before it whatever the value's size: the same
// text as FormatE wherever FormatE leaves a blank.
std::string Spaced(double v, int width, int digits) { return " " + FormatE(v, width - 1, digits); }

class Out {
public:
    void Line(const std::string& s = std::string()) {
        text_ += s;
        text_ += '\n';
    }
    std::string& Text() { return text_; }

private:
    std::string text_;
};

std::string Heading(const std::string& title) {
    std::string h(kHeading);
    h.resize(std::max<std::size_t>(h.size(), 48), ' ');
    return h + Sanitize(title, 80);
}

std::string PageHeading(const std::string& title) {
    return "1                                               " + Sanitize(title, 80);
}

void SwitchLines(Out& out, const DataSet& ds) {
    auto tf = [&](Switch s) { return ds.sw[s] ? 'T' : 'F'; };
    out.Line(Fmt("   LAST = %c    REGINT = %c     NOBASE = %c     NONNEG = %c     PRY = %c        PRPREL = %c     "
                 "PRFINL = %c     PLOTRS = %c     REPEAT = %c",
                 tf(kLast), tf(kRegint), tf(kNobase), tf(kNoneg), tf(kPry), tf(kPrprel), tf(kPrfinl), tf(kPlotrs),
                 tf(kRepeat)));
    out.Line(Fmt(" NLAMMX = %d    IWT    = %d     MTRY   = %2d     N      = %zu", ds.nlammx, ds.iwt, ds.mtry,
                 ds.t.size()));
}

void WriteRejection(Out& out, const Rejection& r) {
    out.Line(Heading(r.title));
    out.Line();
    for (const std::string& card : r.echo) out.Line(" CARD IMAGE: " + Sanitize(card, 120));
    out.Line();
    out.Line(" " + Sanitize(r.reason, 200));
    out.Line(" THIS DATA SET CANNOT BE ANALYSED - NO SOLUTION IS GIVEN.");
}

// Weights for the weighting option: variance proportional to the curve
// (|IWT| 2) or to its square (|IWT| 3), with the uncertainty term added to
// the absolute value so that points near zero keep a finite weight,
//   w_k = 1 / (|c_k| + ERRFIT)   or   1 / (|c_k| + ERRFIT)^2.
// They are scaled to a largest of 1; `scale` receives the factor taken out.
std::vector<double> WeightsFrom(const std::vector<double>& curve, int iwt, double errfit, double& scale) {
    std::vector<double> w(curve.size(), 1.0);
    scale = 1.0;
    if (iwt == 1) return w;
    for (std::size_t k = 0; k < curve.size(); ++k) {
        double s = std::abs(curve[k]) + errfit;
        double v = std::abs(iwt) == 2 ? s : s * s;
        w[k] = v > 0 && std::isfinite(v) ? 1.0 / v : 1.0;
        if (!std::isfinite(w[k]) || !(w[k] > 0)) w[k] = 1.0;
    }
    // Keep the weights within a range where their products cannot overflow.
    double top = *std::max_element(w.begin(), w.end());
    for (double& x : w) x = std::max(x / top, 1e-30);
    scale = top;
    return w;
}

void WriteWeightParameters(Out& out, const char* what, const Analysis& an, double errfit) {
    out.Line();
    out.Line(std::string(" PARAMETERS USED TO GENERATE WEIGHTS FOR ") + what);
    out.Line();
    std::string head("      LAMBDA         ALPHA          ERRFIT (UNCERTAINTY TERM ADDED TO ABSOLUTE VALUES OF THE CURVE) = ");
    out.Line(head.append(FormatE(errfit, 9, 2)));
    if (an.ranking.empty()) {
        out.Line("  NO MEANINGFUL FIT - THE DATA THEMSELVES ARE USED");
        return;
    }
    const Fit& f = an.fits[static_cast<std::size_t>(an.ranking.front() - 1)];
    for (const Component& c : f.comps) out.Line(std::string(" ") + FormatE(c.lambda, 10, 3) + "    " + FormatE(c.alpha, 10, 3));
    out.Line(" " + FormatE(0.0, 10, 3) + "    " + FormatE(f.baseline, 10, 3));
}

void WriteData(Out& out, const DataSet& ds, const std::vector<double>& w) {
    out.Line();
    out.Line(" DATA       I      ABSCISSA       ORDINATE         WEIGHT");
    for (std::size_t k = 0; k < ds.t.size(); ++k)
        out.Line(Fmt("        %5zu  ", k + 1) + FormatE(ds.t[k], 12, 4) + "   " + FormatE(ds.y[k], 12, 4) + "   " +
                 FormatE(w[k], 12, 4));
}

void WriteSpectrum(Out& out, const Analysis& an) {
    out.Line();
    out.Line(" PRELIMINARY ANALYSIS - NON-NEGATIVE AMPLITUDES ON A GRID OF " +
             std::to_string(an.spectrum.rates.size()) + " RATES");
    out.Line("      RATE        AMPLITUDE");
    for (std::size_t i = 0; i < an.spectrum.rates.size(); ++i)
        if (an.spectrum.amplitudes[i] != 0)
            out.Line(" " + FormatE(an.spectrum.rates[i], 10, 3) + "   " + FormatE(an.spectrum.amplitudes[i], 10, 3));
    out.Line(" PEAKS OF THE SPECTRUM (LARGEST FIRST), USED AS STARTING RATES:");
    for (std::size_t i = 0; i < an.spectrum.peakRates.size(); ++i)
        out.Line("   RATE = " + FormatE(an.spectrum.peakRates[i], 10, 3) + "    AMPLITUDE = " +
                 FormatE(an.spectrum.peakAmplitudes[i], 10, 3));
    if (an.spectrum.peakRates.empty()) out.Line("   NONE - STARTING RATES ARE SPREAD OVER THE RANGE");
}

// STANDARD DEVIATION OF FIT is sqrt(sum w_k r_k^2 / (N - NPAR)) with the
// weights as their rule gives them (1 / (|c_k| + ERRFIT) for IWT 2), not as
// scaled for the fit: sigmaScale = sqrt(the factor taken out).
void WriteFinal(Out& out, const std::string& title, const Fit& f, bool base, double sigmaScale) {
    out.Line(PageHeading(title));
    out.Line();
    out.Line(Fmt("                                        FINAL ANALYSIS ASSUMING %d COMPONENT%s", f.n,
                 f.n == 1 ? "" : "S"));
    out.Line();
    std::string head = " ITR   WEIGHTED SSQ  DAMPING    BASELINE";
    for (int j = 0; j < f.n; ++j) head += "     ALPHA    LAMBDA";
    out.Line(head);
    for (std::size_t i = 0; i < f.history.size(); ++i) {
        const Iteration& it = f.history[i];
        std::string s = Fmt(" %3zu ", i) + FormatE(it.chi2, 13, 4) + Spaced(it.damping, 10, 2) +
                        Spaced(it.baseline, 12, 3);
        for (std::size_t j = 0; j < it.alpha.size(); ++j)
            s += Spaced(it.alpha[j], 10, 2) + Spaced(it.lambda[j], 10, 2);
        out.Line(s);
    }
    out.Line();
    if (f.covarianceOk) {
        out.Line("          CORRELATION COEFFICIENTS");
        std::vector<std::string> names;
        for (int j = 0; j < f.n; ++j) names.push_back("LAM" + std::to_string(j + 1));
        for (int j = 0; j < f.n; ++j) names.push_back("ALP" + std::to_string(j + 1));
        if (base) names.push_back("BASE");
        std::string hdr = "      ";
        for (std::size_t i = 0; i + 1 < names.size(); ++i) hdr += Fmt("%7s", names[i].c_str());
        out.Line(hdr);
        for (std::size_t i = 1; i < names.size(); ++i) {
            std::string s = Fmt(" %-5s", names[i].c_str());
            for (std::size_t k = 0; k < i; ++k)
                s += Fmt(" %6.3f", NoNegZero(f.correlation(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(k))));
            out.Line(s);
        }
    } else {
        out.Line(" SINGULAR LEAST SQUARES MATRIX - NO STANDARD ERRORS OR CORRELATIONS.");
    }
    out.Line();
    out.Line(" STANDARD DEVIATION OF FIT = " + FormatE(f.sigma * sigmaScale, 11, 5) + "    ITERATIONS = " +
             std::to_string(f.iterations) + (f.converged ? "" : " (ITERATION LIMIT REACHED)") +
             "    STARTING SETS TRIED = " + std::to_string(f.tries));
    out.Line();
    out.Line("              LAMBDA  +-  STD. ERROR   PERCENT               AMPLITUDE  +-  STD. ERROR   PERCENT");
    auto pct = [](double v, double e) { return v != 0 ? 100 * e / std::abs(v) : 0.0; };
    for (const Component& c : f.comps)
        out.Line("         " + FormatE(c.lambda, 11, 4) + "  +- " + FormatE(c.lambdaErr, 11, 3) + " " +
                 FormatPercent(pct(c.lambda, c.lambdaErr), 7) + "        " + FormatE(c.alpha, 11, 4) + "  +- " +
                 FormatE(c.alphaErr, 11, 3) + " " + FormatPercent(pct(c.alpha, c.alphaErr), 7));
    out.Line("            BASELINE                                " + FormatE(f.baseline, 11, 4) + "  +- " +
             FormatE(f.baselineErr, 11, 3) + " " + FormatPercent(pct(f.baseline, f.baselineErr), 7));
    std::string lags = " SERIAL CORRELATION OF THE WEIGHTED RESIDUALS, LAGS 1-5:";
    for (double p : f.lagProb) lags += p < 0 ? std::string("      -  ") : FormatF(p, 9, 3);
    out.Line(lags);
    out.Line(" MEAN OF THE LAG PROBABILITIES WEIGHTED BY 1/K = " + FormatF(f.punc, 5, 3));
    out.Line(f.meaningful ? std::string(" THIS FIT IS LISTED AMONG THE SOLUTIONS.")
                          : " THIS FIT IS NOT LISTED AMONG THE SOLUTIONS: " + f.whyNot + ".");
}

void WritePlot(Out& out, const Fit& f) {
    const std::vector<double>& r = f.residuals;
    if (r.empty()) return;
    double hi = *std::max_element(r.begin(), r.end()), lo = *std::min_element(r.begin(), r.end());
    out.Line(" PLOT OF RESIDUALS MULTIPLIED BY SQUARE-ROOT OF WEIGHTS - FOR BEST SOLUTION.    MAX RESIDUAL=U=" +
             FormatE(hi, 9, 1) + "    MIN RESIDUAL=L=" + FormatE(lo, 9, 1));
    out.Line();
    const int rows = 17, cols = static_cast<int>(std::min<std::size_t>(r.size(), 100));
    double top = std::max(hi, 0.0), bottom = std::min(lo, 0.0);
    if (!(top > bottom)) top = bottom + 1;
    std::vector<std::string> grid(rows, std::string(static_cast<std::size_t>(cols), ' '));
    auto rowOf = [&](double v) {
        int row = static_cast<int>(std::lround((top - v) / (top - bottom) * (rows - 1)));
        return std::clamp(row, 0, rows - 1);
    };
    const int zero = rowOf(0.0);
    for (int c = 0; c < cols; ++c) grid[static_cast<std::size_t>(zero)][static_cast<std::size_t>(c)] = '-';
    for (std::size_t k = 0; k < r.size(); ++k) {
        int c = static_cast<int>(k * static_cast<std::size_t>(cols) / r.size());
        grid[static_cast<std::size_t>(rowOf(r[k]))][static_cast<std::size_t>(c)] = '*';
    }
    for (int i = 0; i < rows; ++i) {
        char tag = i == 0 ? 'U' : (i == rows - 1 ? 'L' : (i == zero ? '0' : ' '));
        out.Line(std::string(" ") + tag + grid[static_cast<std::size_t>(i)]);
    }
    out.Line(Fmt("  POINTS 1 ... %zu FROM LEFT TO RIGHT", r.size()));
}

void WriteSolution(Out& out, const Analysis& an, std::size_t rank, bool base, double sigmaScale) {
    const int n = an.ranking[rank];
    const Fit& f = an.fits[static_cast<std::size_t>(n - 1)];
    std::string what = std::string(kRankWords[rank]) + "BEST SOLUTION";
    std::string heading = std::string(50 - what.size(), ' ') + what + std::string(12, ' ') + std::to_string(n) + " COMPONENTS";
    // The best solution's heading states how many follow, so that a listing
    // cut between two solutions cannot pass for a whole one.
    if (rank == 0) heading += "   (" + std::to_string(an.ranking.size()) + " " + std::string(geometry::kListed) + ")";
    out.Line(heading);
    if (rank == 0 && an.pBest < 0.95)
        out.Line(" ++++++ NOTE - THE APPROX. PROBABILITY THAT THIS SOLUTION IS ACTUALLY BEST IS ONLY " +
                 FormatF(an.pBest, 5, 3) + ".  LOOK AT SECOND BEST SOLUTION ALSO. ++++++");
    out.Line();
    out.Line(kStars);
    std::string header = " *     ALPHA +- STD ERR  PERCENT           LAMBDA +- STD ERR  PERCENT *   STARTING LAMBDA (BEST OF " +
                         Fmt("%3d", f.tries) + " TRIES)";
    header.resize(126, ' ');
    out.Line(header);
    for (const Component& c : f.comps) out.Line(ComponentRow(c));
    out.Line(BaselineRow(base ? f.baseline : 0.0, base ? f.baselineErr : 0.0));
    out.Line(kStars);
    if (!base) out.Line(" NO BASELINE FITTED (NOBASE = T): THE CONSTANT TERM IS HELD AT 0.");
    if (an.ranking.size() > 1) {
        const int other = rank == 0 ? an.ranking[1] : an.ranking[0];
        const int big = std::max(n, other), small = std::min(n, other);
        out.Line(Fmt(" F-TEST: PROBABILITY THAT %d COMPONENTS FIT REALLY BETTER THAN %d = PNG(%d/%d) = ", big, small,
                     big, small) +
                 FormatF(an.pBetter(big - 1, small - 1), 5, 3));
    }
    out.Line(" ITERATIONS IN FIT   = " + Fmt("%20d", f.iterations) + "             STD. DEV. OF FIT = " +
             FormatE(f.sigma * sigmaScale, 10, 4) + (f.converged ? "" : "    (ITERATION LIMIT REACHED)"));
    out.Line(" LAMBDA HELD BETWEEN " + FormatE(an.lambdaMin, 8, 2) + " AND " + FormatE(an.lambdaMax, 8, 2));
    out.Line();
    out.Line(" LAG                             K = 1    K = 2    K = 3    K = 4    K = 5                       "
             "****************");
    std::string probs = " PROB. RESIDUALS UNCORRELATED";
    for (double p : f.lagProb) probs += p < 0 ? std::string("      -  ") : FormatF(p, 9, 3);
    probs += "    WEIGHTED AVERAGE = * PUNC = " + FormatF(f.punc, 5, 3) + " *";
    out.Line(probs);
    out.Line(kRule);
    out.Line(kRule);
    out.Line();
    out.Line();
}

void AnalyseSet(Out& out, DataSet input, bool moreFollows, bool trailingText) {
    const SetAnalysis sa = AnalyseDataSet(std::move(input));
    const DataSet& ds = sa.set;
    out.Line(Heading(ds.title));
    out.Line();
    SwitchLines(out, ds);
    out.Line();
    if (trailingText) out.Line(" NOTE - LAST = T: THE TEXT AFTER THIS DATA SET IS IGNORED.");
    if (!ds.sw[kLast] && !moreFollows) out.Line(" NOTE - LAST = F BUT NO FURTHER DATA SET FOLLOWS.");
    if (ds.sw[kRegint]) {
        if (sa.evenlySpaced)
            out.Line(" REGINT = T: THE ABSCISSAE ARE EVENLY SPACED, INTERVAL " + FormatE(sa.interval, 10, 4) +
                     "; THEY ARE USED AS " + FormatE(ds.t[0], 10, 4) + " + K * INTERVAL.");
        else
            out.Line(" WARNING - REGINT = T BUT THE ABSCISSAE ARE NOT EVENLY SPACED: THEY ARE USED AS READ.");
    }
    if (sa.abscissaeEqual) {
        out.Line();
        out.Line(" ERROR - ALL ABSCISSAE ARE EQUAL: NO DECAY CAN BE FITTED. NO SOLUTION IS GIVEN.");
        return;
    }
    const bool given = !ds.weights.empty();
    if (given) out.Line(" WEIGHTS READ WITH THE DATA: THEY TAKE THE PLACE OF THOSE OF IWT = " + std::to_string(ds.iwt) + ".");
    if (ds.iwt != 1 && !given && ds.sw[kPrprel])
        WriteWeightParameters(out, ds.iwt > 0 ? "THE ANALYSIS (FROM A UNIT-WEIGHT FIT)" : "THE ANALYSIS (FROM THE DATA)",
                              sa.preliminary, sa.errfit);
    if (ds.sw[kRepeat]) {
        if (given) {
            out.Line(" NOTE - REPEAT = T HAS NO EFFECT WITH WEIGHTS READ WITH THE DATA.");
        } else if (ds.iwt == 1) {
            out.Line(" NOTE - REPEAT = T HAS NO EFFECT WITH UNIT WEIGHTS (IWT = 1).");
        } else if (sa.repeated) {
            if (ds.sw[kPrprel])
                WriteWeightParameters(out, "THE REPEATED ANALYSIS (FROM THE FIRST BEST FIT)", sa.first, sa.errfit);
            out.Line(" REPEAT = T: THE ANALYSIS WAS REPEATED WITH WEIGHTS FROM THE FIRST BEST FIT.");
        } else {
            out.Line(" NOTE - REPEAT = T: THE FIRST ANALYSIS GAVE NO SOLUTION, SO IT IS NOT REPEATED.");
        }
    }
    const Analysis& an = sa.analysis;
    const bool base = !ds.sw[kNobase];
    if (ds.sw[kPry]) WriteData(out, ds, sa.weights);
    if (ds.sw[kPrprel]) WriteSpectrum(out, an);
    if (ds.sw[kPrfinl])
        for (const Fit& f : an.fits) WriteFinal(out, ds.title, f, base, std::sqrt(sa.weightScale));
    if (ds.sw[kPlotrs] && !an.ranking.empty()) {
        out.Line(PageHeading(ds.title));
        WritePlot(out, an.fits[static_cast<std::size_t>(an.ranking[0] - 1)]);
    }

    out.Line(Heading(ds.title));
    out.Line();
    if (an.ranking.empty()) {
        out.Line(" NO MEANINGFUL SOLUTION WAS FOUND:");
        for (const Fit& f : an.fits) out.Line("   " + std::to_string(f.n) + " COMPONENT(S): " + f.whyNot);
        return;
    }
    for (std::size_t rank = 0; rank < an.ranking.size(); ++rank) WriteSolution(out, an, rank, base, std::sqrt(sa.weightScale));
}

}  // namespace

std::string Sanitize(std::string_view text, std::size_t maxLength) {
    std::string s(text.substr(0, maxLength));
    for (char& c : s)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    for (const std::string_view marker : kMarkers) {
        for (std::size_t p = s.find(marker); p != std::string::npos; p = s.find(marker, p + 1))
            for (std::size_t i = 0; i < marker.size(); ++i)
                if (s[p + i] >= 'A' && s[p + i] <= 'Z') s[p + i] = static_cast<char>(s[p + i] - 'A' + 'a');
    }
    return s;
}

std::string FormatPercent(double v, int width) {
    if (!std::isfinite(v) || v >= 1e99) return FormatE(1e99, width, 2);
    for (int d = 3; d >= 0; --d) {
        std::string s = FormatF(v, width, d);
        if (s.find('*') == std::string::npos) return s;
    }
    return FormatE(v, width, 2);
}

namespace {
// " *" + sign + 9 characters: the minus sign stands in the column before the
// 9-character field, as the product reads it.
std::string SignedField(double v) {
    v = NoNegZero(v);
    return std::string(v < 0 ? "-" : " ") + FormatE(std::abs(v), 9, 3);
}
std::string Percent(double v, double e) {
    std::string s(" ");
    return s.append(FormatPercent(v != 0 ? 100 * e / std::abs(v) : 0.0));
}
}  // namespace

std::string ComponentRow(const Component& c) {
    std::string row = " *" + SignedField(c.alpha) + " +- " + FormatE(c.alphaErr, 7, 1) + Percent(c.alpha, c.alphaErr) +
                      "       " + SignedField(c.lambda) + " +- " + FormatE(c.lambdaErr, 7, 1) +
                      Percent(c.lambda, c.lambdaErr) + " *         " + FormatE(c.start, 9, 3);
    if (!c.startFromPeak) row += kExactNote;
    return row;
}

std::string BaselineRow(double value, double error) {
    return " *" + SignedField(value) + " +- " + FormatE(error, 7, 1) + Percent(value, error) + "       " +
           SignedField(0.0) + " +- " + FormatE(0.0, 7, 1) + Percent(0.0, 0.0) + " *";
}

SetAnalysis AnalyseDataSet(DataSet ds) {
    SetAnalysis sa;
    const std::size_t n = ds.t.size();
    if (ds.sw[kRegint] && n >= 2) {
        const double dt = (ds.t[n - 1] - ds.t[0]) / static_cast<double>(n - 1);
        bool even = dt != 0;
        for (std::size_t k = 0; k < n && even; ++k) {
            const double exact = ds.t[0] + dt * static_cast<double>(k);
            // The deck rounds to three significant digits: half a unit of the third digit.
            even = std::abs(ds.t[k] - exact) <= 0.0051 * std::max(std::abs(ds.t[k]), std::abs(dt));
        }
        sa.evenlySpaced = even;
        sa.interval = dt;
        if (even)
            for (std::size_t k = 0; k < n; ++k) ds.t[k] = ds.t[0] + dt * static_cast<double>(k);
    }
    sa.abscissaeEqual = true;
    for (double x : ds.t) sa.abscissaeEqual = sa.abscissaeEqual && x == ds.t[0];
    sa.weights.assign(n, 1.0);
    if (sa.abscissaeEqual) {
        sa.set = std::move(ds);
        return sa;
    }
    FitOptions opt;
    opt.baseline = !ds.sw[kNobase];
    opt.nonneg = ds.sw[kNoneg];
    opt.maxComponents = ds.nlammx;
    opt.tries = ds.mtry;
    if (!ds.weights.empty()) {
        // Weights given with the data take the place of the IWT rule;
        // scaled to at most 1, as the rule's are.
        const double top = *std::max_element(ds.weights.begin(), ds.weights.end());
        for (std::size_t k = 0; k < n; ++k) sa.weights[k] = std::max(ds.weights[k] / top, 1e-30);
        sa.weightScale = top;
    } else if (ds.iwt != 1) {
        // A first analysis with unit weights gives the smooth curve for IWT 2
        // and 3 and, for every option, the uncertainty term: the scatter of
        // that fit. It only shapes the weights, so one start per count does.
        FitOptions po = opt;
        po.tries = 1;
        sa.preliminary = AnalyseDecay(ds.t, ds.y, sa.weights, po);
        const Analysis& pre = sa.preliminary;
        double ymax = 0;
        for (double v : ds.y) ymax = std::max(ymax, std::abs(v));
        double errfit = pre.ranking.empty() ? 0.0 : pre.fits[static_cast<std::size_t>(pre.ranking[0] - 1)].sigma;
        errfit = std::max(errfit, 1e-6 * ymax);
        sa.errfit = errfit > 0 ? errfit : 1e-30;
        const std::vector<double>& curve =
            ds.iwt > 0 && !pre.ranking.empty() ? pre.fits[static_cast<std::size_t>(pre.ranking[0] - 1)].fitted : ds.y;
        sa.weights = WeightsFrom(curve, ds.iwt, sa.errfit, sa.weightScale);
    }
    sa.analysis = AnalyseDecay(ds.t, ds.y, sa.weights, opt);
    if (ds.sw[kRepeat] && ds.iwt != 1 && ds.weights.empty() && !sa.analysis.ranking.empty()) {
        sa.first = std::move(sa.analysis);
        sa.weights = WeightsFrom(sa.first.fits[static_cast<std::size_t>(sa.first.ranking[0] - 1)].fitted, ds.iwt,
                                 sa.errfit, sa.weightScale);
        sa.analysis = AnalyseDecay(ds.t, ds.y, sa.weights, opt);
        sa.repeated = true;
    }
    sa.set = std::move(ds);
    return sa;
}

std::string RunDeck(std::string_view deck) {
    Out out;
    std::string rest(deck);
    bool first = true;
    // Every data set consumes at least three cards, so this ends.
    while (first || !IsBlank(rest)) {
        first = false;
        ReadOutcome r;
        try {
            r = ReadDataSet(rest);
        } catch (const std::exception&) {
            out.Line(Heading(""));
            out.Line(" ERROR - THE DECK COULD NOT BE READ (OUT OF MEMORY). NO SOLUTION IS GIVEN.");
            break;
        }
        if (r.rejection) {
            WriteRejection(out, *r.rejection);
            break;
        }
        const bool last = r.set->sw[kLast];
        const bool more = !IsBlank(r.rest);
        try {
            AnalyseSet(out, std::move(*r.set), !last && more, last && more);
        } catch (const std::exception&) {
            out.Line(" ERROR - THE ANALYSIS WAS ABANDONED (OUT OF MEMORY OR A NUMERICAL FAULT).");
        }
        if (last) break;
        rest = std::move(r.rest);
    }
    return std::move(out.Text());
}

}  // namespace fluvena::discrete
