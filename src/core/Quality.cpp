#include "core/Quality.h"

#include "core/Measurement.h"
#include "cumulants/Cumulants.h"
#include "physics/NumberArg.h"
#include "physics/Siegert.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace fluvena::quality {

namespace {

using physics::NumberArg;

// ------------------------------------------------------------ thresholds
// Each is argued in docs/quality.md.

// A range of fewer points cannot be judged: the point scatter comes from
// second differences of the first points, and a runs test on fewer than 10
// residuals cannot reach the 3-sigma level.
constexpr std::size_t kMinPoints = 10;
// Leading lags examined for values that are not correlations, and how far
// above the next points a value must stand to be one.
constexpr std::size_t kMaxLeadingLags = 8;
constexpr double kAbovePlateau = 1.5;
// Coherence factor beta of g2 - 1.
constexpr double kBetaSuspect = 0.1;   // below: a warning
constexpr double kBetaNoSignal = 0.01;  // below: little coherent signal, an error
constexpr double kBetaWrongKind = 1.05;  // above: the data are not g2 - 1
// Baseline: a tail mean this many standard errors from 0 and this far from 0
// as a fraction of the intercept; beyond kBaselineWarning a warning. A tail
// above kNotDecayed of the intercept has not reached its baseline.
constexpr double kBaselineSigmas = 3.0;
constexpr double kBaselineFraction = 0.01;
constexpr double kBaselineWarning = 0.05;
constexpr double kNotDecayed = 0.1;
// Count rate: robust deviations of a dust spike (note, warning); a drift of
// the mean between the first and last third (note, warning) that also stands
// kDriftSigmas standard errors out.
constexpr double kDustNote = 5.0, kDustWarning = 8.0;
constexpr double kDriftNote = 0.05, kDriftWarning = 0.10, kDriftSigmas = 4.0;
// Residuals: the runs test's deviate below -3 (0.13 % one-sided); an rms at
// the start over three times the data's scatter.
constexpr double kRunsZ = -3.0;
constexpr double kResidualToNoise = 3.0;
constexpr std::size_t kResidualWindow = 16;
// ... and above 1 % of the intercept: a misfit smaller than that moves no
// size by more than a few per cent.
constexpr double kResidualToLevel = 0.01;
// PDI: above 0.1 a distribution analysis says more; above 0.5 the cumulant
// mean is no meaningful size.
constexpr double kPdiNote = 0.1, kPdiWarning = 0.5;
// A peak or component holding less than this share of the intensity raises
// a note only.
constexpr double kMinorShare = 0.05;
// A grid end counts as part of a peak when the distribution per ln tau there
// reaches this fraction of its maximum.
constexpr double kEdgeFraction = 0.05;

Flag Make(std::string code, Severity severity, std::string pattern, std::vector<std::string> args = {})
{
    return Flag{std::move(code), severity, Fail(std::move(pattern), std::move(args))};
}

std::string Count(std::size_t n) { return std::to_string(n); }
std::string Percent(double fraction) { return NumberArg(std::round(fraction * 1000.0) / 10.0); }

double Median(std::vector<double> v)
{
    if (v.empty()) return 0.0;
    const auto mid = v.begin() + std::ptrdiff_t(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    if (v.size() % 2) return *mid;
    return 0.5 * (*mid + *std::max_element(v.begin(), mid));
}

// The robust standard deviation: 1.4826 times the median absolute deviation.
double RobustSd(const std::vector<double>& v, double median)
{
    std::vector<double> d(v.size());
    std::transform(v.begin(), v.end(), d.begin(), [median](double x) { return std::fabs(x - median); });
    return 1.4826 * Median(std::move(d));
}

double Mean(std::span<const double> v)
{
    return v.empty() ? 0.0 : std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
}

Severity ByShare(double share) { return share >= kMinorShare ? Severity::Warning : Severity::Note; }

// The share of each peak's intensity among all peaks of the solution.
std::vector<double> Shares(const std::vector<double>& weights)
{
    double total = 0.0;
    for (double w : weights) total += std::max(w, 0.0);
    std::vector<double> shares;
    for (double w : weights) shares.push_back(total > 0.0 ? std::max(w, 0.0) / total : 0.0);
    return shares;
}

std::optional<Failure> OutsideWindow(double low, double high, const LagWindow& lags, const std::string& what)
{
    if (lags.last <= 0.0) return std::nullopt;
    if (high < lags.first)
        return Fail("%1 lies wholly below the first lag time (%2): the data cannot see it", {what, NumberArg(lags.first)});
    if (low > lags.last)
        return Fail("%1 lies wholly beyond the last lag time (%2): the data cannot see it", {what, NumberArg(lags.last)});
    return std::nullopt;
}

}  // namespace

std::string_view SeverityName(Severity severity)
{
    switch (severity) {
    case Severity::Note: return "note";
    case Severity::Warning: return "warning";
    case Severity::Error: return "error";
    }
    return "note";
}

std::vector<Flag> CheckPointCount(std::size_t points)
{
    if (points >= kMinPoints) return {};
    return {Make("few-points", Severity::Error, "only %1 points in the range: a decay needs at least %2 to be judged",
                 {Count(points), Count(kMinPoints)})};
}

std::vector<Flag> CheckDecay(std::span<const double> y)
{
    if (y.size() < 3) return {};
    const cumulants::DecaySignal d = cumulants::MeasureDecay(y, 0);
    if (d.Clear()) return {};
    return {Make("no-decay", Severity::Error,
                 "no decay above the noise: the correlation starts at %1 and ends at %2, for a point scatter of %3",
                 {NumberArg(d.intercept), NumberArg(d.tail), NumberArg(d.noise)})};
}

std::vector<Flag> CheckFirstLags(std::span<const double> y, std::size_t* count)
{
    std::size_t bad = 0;
    while (bad < kMaxLeadingLags && bad + 3 < y.size()) {
        const double next = std::max({y[bad + 1], y[bad + 2], y[bad + 3]});
        if (y[bad] > 0.0 && (next <= 0.0 || y[bad] <= kAbovePlateau * next)) break;
        ++bad;
    }
    if (count) *count = bad;
    if (bad == 0) return {};
    return {Make("first-lags", Severity::Warning,
                 "the first %1 lags are not correlation values (at or below zero, or far above the lags after them): "
                 "start the range at point %2",
                 {Count(bad), Count(bad)})};
}

std::vector<Flag> CheckBaseline(std::span<const double> y, double intercept, bool severe)
{
    const std::size_t n = y.size();
    const std::size_t k = std::max<std::size_t>(3, n / 10);
    if (n < k + 3 || !(intercept > 0.0)) return {};
    const auto tail = y.subspan(n - k);
    const double mean = Mean(tail);
    double ss = 0.0;
    for (double v : tail) ss += (v - mean) * (v - mean);
    const double se = std::sqrt(ss / double(k - 1) / double(k));
    const Severity high = severe ? Severity::Warning : Severity::Note;
    if (mean > kNotDecayed * intercept)
        return {Make("baseline", high,
                     "the correlation has not decayed by the last lag: its tail stands at %1 % of the intercept",
                     {Percent(mean / intercept)})};
    if (std::fabs(mean) > kBaselineSigmas * se && std::fabs(mean) > kBaselineFraction * intercept)
        return {Make("baseline", std::fabs(mean) > kBaselineWarning * intercept ? high : Severity::Note,
                     "the tail's mean %1 lies %2 standard errors from the baseline (%3 % of the intercept)",
                     {NumberArg(mean), NumberArg(se > 0.0 ? std::fabs(mean) / se : 0.0), Percent(std::fabs(mean) / intercept)})};
    return {};
}

std::vector<Flag> CheckIntercept(double beta)
{
    if (!std::isfinite(beta)) return {};
    if (beta > kBetaWrongKind)
        return {Make("high-intercept", Severity::Error,
                     "the intercept %1 lies above 1: these are not g2 - 1 data (g2 with its baseline of 1, or g1?)",
                     {NumberArg(beta)})};
    if (beta < kBetaNoSignal)
        return {Make("low-intercept", Severity::Error, "the intercept %1 lies below %2: little coherent signal",
                     {NumberArg(beta), NumberArg(kBetaNoSignal)})};
    if (beta < kBetaSuspect)
        return {Make("low-intercept", Severity::Warning,
                     "the intercept %1 lies below %2: far below what a correlator reaches (alignment, stray light, "
                     "too many coherence areas)",
                     {NumberArg(beta), NumberArg(kBetaSuspect)})};
    return {};
}

std::vector<Flag> CheckCountRate(const io::CountRateTrace& trace)
{
    std::vector<Flag> flags;
    for (std::size_t ch = 0; ch < trace.rateKHz.size(); ++ch) {
        const std::vector<double>& r = trace.rateKHz[ch];
        if (r.size() < kMinPoints) continue;
        const std::string channel = Count(ch + 1);
        const double median = Median(r);
        if (!(median > 0.0)) continue;
        // Dust: samples far above the trace's median in robust deviations.
        const double sd = RobustSd(r, median);
        if (sd > 0.0) {
            const auto top = std::max_element(r.begin(), r.end());
            const double z = (*top - median) / sd;
            if (z > kDustNote) {
                const std::size_t at = std::size_t(top - r.begin());
                const std::string time = at < trace.timeS.size() ? NumberArg(trace.timeS[at]) : Count(at + 1);
                std::size_t spikes = 0;
                for (double v : r) spikes += (v - median) / sd > kDustNote ? 1 : 0;
                flags.push_back(Make("dust", z > kDustWarning ? Severity::Warning : Severity::Note,
                                     "count rate of channel %1: %2 sample(s) far above the median %3 kHz, the highest "
                                     "%4 kHz at %5 s (%6 robust deviations): dust?",
                                     {channel, Count(spikes), NumberArg(median), NumberArg(*top), time, NumberArg(z)}));
            }
        }
        // Drift: the mean of the last third against the first, against the
        // scatter of neighbouring samples (which a slow drift leaves alone):
        // sigma = 1.4826 median|r[i+1] - r[i]| / sqrt(2).
        const std::size_t third = r.size() / 3;
        std::vector<double> steps;
        for (std::size_t i = 1; i < r.size(); ++i) steps.push_back(std::fabs(r[i] - r[i - 1]));
        const double point = 1.4826 * Median(std::move(steps)) / std::sqrt(2.0);
        const double first = Mean(std::span(r).first(third)), last = Mean(std::span(r).last(third));
        const double se = point * std::sqrt(2.0 / double(third));
        const double drift = (last - first) / median;
        if (std::fabs(last - first) > kDriftSigmas * se && std::fabs(drift) > kDriftNote)
            flags.push_back(Make("count-rate-drift", std::fabs(drift) > kDriftWarning ? Severity::Warning : Severity::Note,
                                 "count rate of channel %1 drifts by %2 % from the first third of the run to the last",
                                 {channel, NumberArg(std::round(drift * 1000.0) / 10.0)}));
    }
    return flags;
}

double RunsZ(std::span<const double> values)
{
    double plus = 0.0, minus = 0.0, runs = 0.0;
    int last = 0;
    for (double v : values) {
        if (v == 0.0 || !std::isfinite(v)) continue;
        const int sign = v > 0.0 ? 1 : -1;
        (sign > 0 ? plus : minus) += 1.0;
        if (sign != last) runs += 1.0;
        last = sign;
    }
    const double n = plus + minus;
    if (plus < 2.0 || minus < 2.0) return 0.0;
    const double mean = 2.0 * plus * minus / n + 1.0;
    const double var = (mean - 1.0) * (mean - 2.0) / (n - 1.0);
    return var > 0.0 ? (runs - mean) / std::sqrt(var) : 0.0;
}

std::vector<Flag> CheckResiduals(std::span<const double> residuals, double noise, double level)
{
    if (residuals.size() < kMinPoints) return {};
    const auto start = residuals.first(std::min(kResidualWindow, residuals.size()));
    double ss = 0.0;
    for (double v : start) ss += v * v;
    const double rms = std::sqrt(ss / double(start.size()));
    const bool large = noise > 0.0 && rms > kResidualToNoise * noise && rms > kResidualToLevel * std::fabs(level);
    const double z = RunsZ(residuals);
    // A correlator's neighbouring lags share photons, so its noise alone
    // makes runs longer than independent errors would: long runs with
    // residuals within the scatter are a note, residuals beyond it a warning.
    if (large)
        return {Make("systematic-residuals", Severity::Warning,
                     "the residuals at the start (rms %1) are %2 times the data's point scatter (%3); runs test z = %4",
                     {NumberArg(rms), NumberArg(rms / noise), NumberArg(noise), NumberArg(z)})};
    if (z < kRunsZ)
        return {Make("systematic-residuals", Severity::Note,
                     "the residuals run in long blocks of one sign (runs test z = %1), within the data's scatter",
                     {NumberArg(z)})};
    return {};
}

std::vector<Flag> CheckPdi(double pdi)
{
    if (pdi > kPdiWarning)
        return {Make("high-pdi", Severity::Warning,
                     "PDI %1 above %2: the cumulant mean is no meaningful size; see the distribution analyses",
                     {NumberArg(pdi), NumberArg(kPdiWarning)})};
    if (pdi > kPdiNote)
        return {Make("high-pdi", Severity::Note, "PDI %1 above %2: a broad distribution; CONTIN and DISCRETE say more",
                     {NumberArg(pdi), NumberArg(kPdiNote)})};
    return {};
}

std::optional<Failure> PeakWithoutSize(const ContinPeak& peak, const LagWindow& lags, std::size_t number)
{
    return OutsideWindow(peak.from.value_or(peak.position), peak.to.value_or(peak.position), lags,
                         "peak " + Count(number));
}

std::optional<Failure> ComponentWithoutSize(const Component& component, const LagWindow& lags, std::size_t number)
{
    if (!(component.rate > 0.0)) return std::nullopt;
    const double tau = 1.0 / component.rate;
    return OutsideWindow(tau, tau, lags, "component " + Count(number));
}

std::vector<Flag> CheckContinPeaks(const ContinSolution& s, const LagWindow& lags)
{
    std::vector<Flag> flags;
    std::vector<double> weights;
    for (const ContinPeak& p : s.peaks) weights.push_back(p.intensity);
    const std::vector<double> shares = Shares(weights);
    for (std::size_t k = 0; k < s.peaks.size(); ++k) {
        const ContinPeak& p = s.peaks[k];
        if (lags.last > 0.0 && (p.position < lags.first || p.position > lags.last))
            flags.push_back(Make("outside-lag-range", ByShare(shares[k]),
                                 "peak %1 (%2 % of the intensity) at decay time %3 lies outside the lag times %4 ... %5",
                                 {Count(k + 1), Percent(shares[k]), NumberArg(p.position), NumberArg(lags.first),
                                  NumberArg(lags.last)}));
    }
    // A grid end where the distribution per ln tau still stands high: the
    // grid, not the data, bounds that peak.
    const std::size_t n = std::min(s.distX.size(), s.distY.size());
    if (n < 2 || s.peaks.empty()) return flags;
    double top = 0.0;
    for (std::size_t j = 0; j < n; ++j) top = std::max(top, s.distX[j] * s.distY[j]);
    if (!(top > 0.0)) return flags;
    for (const bool low : {true, false}) {
        const std::size_t j = low ? 0 : n - 1;
        if (!(s.distX[j] * s.distY[j] > kEdgeFraction * top)) continue;
        // The peak that holds the end: the first or last by position.
        std::size_t k = 0;
        for (std::size_t i = 1; i < s.peaks.size(); ++i)
            if (low ? s.peaks[i].position < s.peaks[k].position : s.peaks[i].position > s.peaks[k].position) k = i;
        flags.push_back(Make("edge-peak", ByShare(shares[k]),
                             "peak %1 (%2 % of the intensity) reaches the %3 end of the grid (%4): the grid, not the "
                             "data, bounds it",
                             {Count(k + 1), Percent(shares[k]), low ? "lower" : "upper", NumberArg(s.distX[j])}));
    }
    return flags;
}

std::vector<Flag> CheckComponents(const DiscreteSolution& s, const LagWindow& lags)
{
    std::vector<Flag> flags;
    std::vector<double> weights;
    for (const Component& c : s.components) weights.push_back(c.amplitude);
    const std::vector<double> shares = Shares(weights);
    for (std::size_t k = 0; k < s.components.size(); ++k) {
        const Component& c = s.components[k];
        if (!(c.rate > 0.0) || lags.last <= 0.0) continue;
        const double tau = 1.0 / c.rate;
        if (tau < lags.first || tau > lags.last)
            flags.push_back(Make("outside-lag-range", ByShare(shares[k]),
                                 "component %1 (%2 % of the amplitude) at decay time %3 lies outside the lag times %4 ... %5",
                                 {Count(k + 1), Percent(shares[k]), NumberArg(tau), NumberArg(lags.first),
                                  NumberArg(lags.last)}));
    }
    return flags;
}

bool Report::Has(std::string_view code) const
{
    return std::any_of(flags.begin(), flags.end(), [code](const Flag& f) { return f.code == code; });
}

Severity Report::Worst() const
{
    Severity worst = Severity::Note;
    for (const Flag& f : flags) worst = std::max(worst, f.severity);
    return worst;
}

namespace {

void Append(std::vector<Flag>& to, std::vector<Flag> from)
{
    for (Flag& f : from) to.push_back(std::move(f));
}

std::span<const double> Slice(const std::vector<double>& v, PointRange r)
{
    if (r.Count() <= 0 || r.first < 0 || std::size_t(r.last) >= v.size()) return {};
    return std::span<const double>(v).subspan(std::size_t(r.first), std::size_t(r.Count()));
}

// The point scatter of values near their start, as the decay check finds it.
double ScatterOf(std::span<const double> y) { return y.size() >= 3 ? cumulants::MeasureDecay(y, 0).noise : 0.0; }
// Their level at the start: the mean of the first three.
double LevelOf(std::span<const double> y) { return y.size() >= 3 ? (y[0] + y[1] + y[2]) / 3.0 : 0.0; }

void AddWithheld(Report& report, const std::optional<Failure>& why)
{
    if (!why) return;
    report.flags.push_back(Flag{"size-not-given", Severity::Warning, Fail("no size for %1", {why->message()})});
}

}  // namespace

Report Assess(const Measurement& m, Subject subject)
{
    Report report;
    PointRange range = m.Range();
    if (subject == Subject::Contin && m.Contin()) range = m.Contin()->range;
    if (subject == Subject::Discrete && m.Discrete()) range = m.Discrete()->range;
    if (subject == Subject::Cumulants && m.Cumulants()) range = m.Cumulants()->range;
    const auto x = Slice(m.X(), range);
    const auto y = Slice(m.Y(), range);
    if (x.empty()) return report;
    const SampleParameters& sample = m.Sample();

    for (double t : x) {
        if (t > 0.0) {
            report.lags.first = t;
            break;
        }
    }
    report.lags.last = x.back();

    std::vector<Flag> few = CheckPointCount(x.size());
    const bool enough = few.empty();
    Append(report.flags, std::move(few));
    const Outcome<double> baseline = physics::BaselineOf(m.Y(), sample);
    const Outcome<std::vector<double>> y2 =
        baseline ? physics::IntensityCorrelation(y, sample.dataKind, *baseline) : Outcome<std::vector<double>>(baseline.failure());
    bool decays = false;
    std::size_t lead = 0;
    // Too few points to judge a decay by: no further check of the data.
    if (y2 && enough) {
        std::vector<Flag> none = CheckDecay(*y2);
        decays = none.empty() && y2->size() >= 3;
        Append(report.flags, std::move(none));
        if (decays) Append(report.flags, CheckFirstLags(*y2, &lead));
    }
    // Lags the reader found to be no correlation values and the range leaves out.
    const io::DataFile& file = m.File();
    if (lead == 0 && file.suggestedFirstPoint > 0 && range.first >= std::int64_t(file.suggestedFirstPoint))
        report.flags.push_back(Make("first-lags", Severity::Note, "the first %1 lags are left out of the range: %2",
                                    {Count(file.suggestedFirstPoint), file.suggestedFirstReason}));
    const bool g2 = sample.dataKind != DataKind::G1;
    if (decays && lead < x.size()) {
        // The intercept: beta of the cumulant fit this analysis used, or of a
        // fit of the range; field data's level at the start.
        std::optional<double> beta;
        if (subject == Subject::Cumulants && m.Cumulants()) beta = m.Cumulants()->fit.beta;
        if (subject == Subject::Contin && m.Contin()) beta = m.Contin()->beta;
        if (subject == Subject::Discrete && m.Discrete()) beta = m.Discrete()->beta;
        const auto from = std::span<const double>(*y2).subspan(lead);
        if (g2 && !beta) {
            std::vector<double> t(x.begin() + std::ptrdiff_t(lead), x.end());
            for (double& v : t) v *= SecondsPer(sample.timeUnit);
            const Outcome<cumulants::Result> fit = cumulants::Fit(t, from);
            if (fit) beta = fit->beta;
        }
        if (g2 && beta) {
            Append(report.flags, CheckIntercept(*beta));
            Append(report.flags, CheckBaseline(from, *beta, true));
        } else if (!g2) {
            const auto g1 = y.subspan(lead);
            if (g1.size() >= 3) Append(report.flags, CheckBaseline(g1, (g1[0] + g1[1] + g1[2]) / 3.0, false));
        }
    }
    Append(report.flags, CheckCountRate(m.File().countRate));

    for (const Flag& f : report.flags)
        if ((f.code == "no-decay" || f.code == "few-points") && !report.noSize) report.noSize = f.text;

    switch (subject) {
    case Subject::Cumulants:
        if (const CumulantResult* c = m.Cumulants()) {
            Append(report.flags, CheckPdi(c->fit.pdi));
            if (y2) {
                // The scatter of the fitted points, where the fit begins.
                const auto fitted = std::span<const double>(*y2).subspan(std::min(c->fit.fitFirst, y2->size()));
                Append(report.flags, CheckResiduals(c->fit.residuals, ScatterOf(fitted), LevelOf(fitted)));
            }
        }
        break;
    case Subject::Contin:
        if (const ContinResult* c = m.Contin(); c && c->chosen < c->solutions.size()) {
            const ContinSolution& s = c->solutions[c->chosen];
            const Outcome<Measurement::AnalysisPoints> points = m.PointsForAnalysis(c->range);
            if (points && points->y.size() == s.fitY.size()) {
                std::vector<double> res(s.fitY.size());
                for (std::size_t i = 0; i < res.size(); ++i) res[i] = points->y[i] - s.fitY[i];
                Append(report.flags, CheckResiduals(res, ScatterOf(points->y), LevelOf(points->y)));
            }
            // Without a size at all, where the peaks stand says nothing more.
            if (!report.noSize) {
                Append(report.flags, CheckContinPeaks(s, report.lags));
                for (std::size_t k = 0; k < s.peaks.size(); ++k) AddWithheld(report, PeakWithoutSize(s.peaks[k], report.lags, k + 1));
            }
        }
        break;
    case Subject::Discrete:
        if (const DiscreteResult* d = m.Discrete(); d && !d->solutions.empty()) {
            const DiscreteSolution& s = d->solutions.front();
            const Outcome<Measurement::AnalysisPoints> points = m.PointsForAnalysis(d->range);
            if (points) Append(report.flags, CheckResiduals(s.residual, ScatterOf(points->y), LevelOf(points->y)));
            if (!report.noSize) {
                Append(report.flags, CheckComponents(s, report.lags));
                for (std::size_t k = 0; k < s.components.size(); ++k)
                    AddWithheld(report, ComponentWithoutSize(s.components[k], report.lags, k + 1));
            }
            if (d->uncertain)
                report.flags.push_back(Make("uncertain-solution", Severity::Note, "%1",
                                            {d->uncertainReason.empty()
                                                 ? std::string("the listing doubts that its best solution is best")
                                                 : d->uncertainReason}));
        }
        break;
    }
    if (report.noSize)
        report.flags.push_back(Flag{"size-not-given", Severity::Error, Fail("no size is given: %1", {report.noSize->message()})});
    return report;
}

}  // namespace fluvena::quality
