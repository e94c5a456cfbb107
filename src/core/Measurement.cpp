#include "core/Measurement.h"

#include "base/MemoText.h"
#include "contin/ContinDeck.h"
#include "contin/ContinListing.h"
#include "discrete/DiscreteDeck.h"
#include "discrete/DiscreteListing.h"
#include "physics/Siegert.h"
#include "physics/SiegertWeights.h"

#include <algorithm>
#include <span>
#include <string>

namespace fluvena {

namespace {

// The fewest points a deck of each program can be run with.
constexpr std::int64_t MinimumPoints(Engine engine) { return engine == Engine::Contin ? 3 : 2; }
constexpr const char* ProgramName(Engine engine) { return engine == Engine::Contin ? "CONTIN" : "DISCRETE"; }

RunReport Report(RunStatus status, Failure failure = {}) { return RunReport{status, std::move(failure)}; }

std::span<const double> Slice(const std::vector<double>& v, PointRange r)
{
    if (r.Count() <= 0) return {};
    return std::span<const double>(v).subspan(static_cast<std::size_t>(r.first), static_cast<std::size_t>(r.Count()));
}

// Decay times the listing reports in the deck's unit, back in the data's.
void ToDataUnit(ContinSolution& s, double timeScale)
{
    if (timeScale == 1.0) return;
    for (double& v : s.distX) v /= timeScale;
    for (double& v : s.fitX) v /= timeScale;
    const auto scale = [timeScale](std::optional<double>& v) {
        if (v) *v /= timeScale;
    };
    const auto peak = [&](ContinPeak& p) {
        p.position /= timeScale;
        scale(p.harmonicPosition);
        scale(p.from);
        scale(p.to);
    };
    for (ContinPeak& p : s.peaks) peak(p);
    if (s.entire) peak(*s.entire);
}

}  // namespace

void Measurement::Load(io::DataFile file, const SampleParameters& defaults, const EnteredSample& entered)
{
    Clear();
    file_ = std::move(file);
    // Leading points that are no correlation values (a correlator's dead
    // time) stay out of the default range.
    const auto last = static_cast<std::int64_t>(file_.x.size()) - 1;
    const auto first = static_cast<std::int64_t>(file_.suggestedFirstPoint);
    range_ = PointRange{first <= last ? first : 0, last};
    ResolvedSample resolved = ResolveSample(file_, entered, defaults);
    sample_ = resolved.values;
    sources_ = resolved.sources;
}

void Measurement::SetSample(const SampleParameters& sample)
{
    for (const SampleField f : ChangedFields(sample_, sample)) sources_[f] = ValueSource::Entered;
    sample_ = sample;
}

void Measurement::Clear()
{
    file_ = io::DataFile{};
    range_ = PointRange{};
    contin_.reset();
    discrete_.reset();
    lastContinRequest_.reset();
    cumulants_.reset();
    onShow_ = Analysis::None;
    shown_ = 0;
    discreteShown_ = 0;
    continCurrent_ = discreteCurrent_ = false;
    continDrawn_.reset();
}

bool Measurement::SetRange(std::int64_t first, std::int64_t last)
{
    if (PointCount() == 0) return false;
    const auto top = static_cast<std::int64_t>(PointCount()) - 1;
    range_ = PointRange{std::clamp<std::int64_t>(first, 0, top), std::clamp<std::int64_t>(last, 0, top)};
    return true;
}

Outcome<PointRange> Measurement::UsableRange(Engine engine) const
{
    if (PointCount() == 0) return Fail("no data are loaded");
    const PointRange r = Range();
    if (r.first > r.last)
        return Fail("the range is reversed: its first point (%1) lies after its last point (%2)",
                    {std::to_string(r.first), std::to_string(r.last)});
    if (r.Count() < MinimumPoints(engine))
        return Fail("too few points in the range (%1; %2 needs at least %3)",
                    {std::to_string(r.Count()), ProgramName(engine), std::to_string(MinimumPoints(engine))});
    return r;
}

namespace {

// The cumulant fit of the points of a range (y of any data kind).
Outcome<cumulants::Result> FitRange(std::span<const double> x, std::span<const double> y, const SampleParameters& sample,
                                    double baseline, const cumulants::Options& options)
{
    Outcome<std::vector<double>> y2 = physics::IntensityCorrelation(y, sample.dataKind, baseline);
    if (!y2) return y2.failure();
    std::vector<double> t(x.begin(), x.end());
    for (double& v : t) v *= SecondsPer(sample.timeUnit);
    return cumulants::Fit(t, *y2, options);
}

}  // namespace

Outcome<Measurement::AnalysisPoints> Measurement::PointsForAnalysis(PointRange range) const
{
    const auto x = Slice(file_.x, range);
    const auto y = Slice(file_.y, range);
    AnalysisPoints points;
    points.x.assign(x.begin(), x.end());
    points.y.assign(y.begin(), y.end());
    if (sample_.dataKind == DataKind::G1) return points;
    const Outcome<double> baseline = physics::BaselineOf(file_.y, sample_);
    if (!baseline) return baseline.failure();
    const Outcome<cumulants::Result> fit = FitRange(x, y, sample_, *baseline, cumulants::Options{});
    if (!fit) return Fail("the coherence factor beta cannot be found from the cumulant fit: %1", {fit.failure().message()});
    Outcome<std::vector<double>> g1 = physics::FieldCorrelation(y, sample_.dataKind, fit->beta, *baseline);
    if (!g1) return g1.failure();
    points.y = std::move(g1).value();
    points.beta = fit->beta;
    const Outcome<std::vector<double>> y2 = physics::IntensityCorrelation(y, sample_.dataKind, *baseline);
    if (!y2) return y2.failure();
    points.weights = physics::SiegertWeights(x, *y2, fit->beta).weights;
    if (sample_.dataKind == DataKind::G2) points.baseline = *baseline;
    return points;
}

namespace {

// The weights a deck carries: the Siegert relation's where the request asks
// for them (g2 kinds only have any), else none.
template <class Request>
std::span<const double> WeightsFor(const Request& request, const Measurement::AnalysisPoints& points)
{
    if (!request.siegertWeights) return {};
    return points.weights;
}

// DISCRETE's deck of a request and its points. g1 made from g2 data through the
// Siegert relation decays to zero: the baseline belongs to g2 and was taken
// off before the square root, and a constant left in g2 - 1 would not become
// a constant in g1. A free constant in g1 only trades off against the
// slowest rate there (it takes up the tail, whose scatter the square root
// magnifies: the 200 nm of a 20 + 200 nm pair came out up to 5 % large), so
// the Siegert-weighted analysis holds it at zero (NOBASE).
std::vector<std::string> DiscreteDeckOf(DiscreteRequest request, const Measurement::AnalysisPoints& points)
{
    const std::span<const double> weights = WeightsFor(request, points);
    if (!weights.empty()) request.switches[kNobase] = true;
    return BuildDiscreteDeck(request, points.x, points.y, weights);
}

}  // namespace

std::vector<std::string> Measurement::ContinDeck(const ContinRequest& request) const
{
    if (!CheckContinRequest(request)) return {};
    const Outcome<AnalysisPoints> p = PointsForAnalysis(Range());
    if (!p) return {};
    return BuildContinDeck(request, p->x, p->y, ContinTimeScale(p->x), WeightsFor(request, *p));
}

std::vector<std::string> Measurement::DiscreteDeck(const DiscreteRequest& request) const
{
    const Outcome<AnalysisPoints> p = PointsForAnalysis(Range());
    if (!p) return {};
    return DiscreteDeckOf(request, *p);
}

RunReport Measurement::RunContin(const ContinRequest& request, EngineRunner& runner)
{
    lastContinRequest_ = request;
    if (const Outcome<ContinRequest> checked = CheckContinRequest(request); !checked)
        return Report(RunStatus::Refused, checked.failure());
    const Outcome<PointRange> range = UsableRange(Engine::Contin);
    if (!range) return Report(RunStatus::Refused, range.failure());
    const Outcome<AnalysisPoints> points = PointsForAnalysis(*range);
    if (!points) return Report(RunStatus::Refused, points.failure());

    const double timeScale = ContinTimeScale(points->x);
    const EngineRun run = runner.Run(Engine::Contin, BuildContinDeck(request, points->x, points->y, timeScale, WeightsFor(request, *points)));
    if (run.cancelled) return Report(RunStatus::Cancelled);

    ContinListing listing = ParseContinListing(NormalizedText(run.listing), static_cast<std::size_t>(range->Count()),
                                               static_cast<std::size_t>(std::max(request.gridPoints, 0)));
    if (listing.status != ContinListing::Status::Ok) {
        // Nothing of an earlier run may stand as if it were this run's result.
        onShow_ = Analysis::None;
        continCurrent_ = false;
        if (listing.status == ContinListing::Status::Rejected)
            return Report(RunStatus::Rejected, Fail("CONTIN rejected the deck: %1", {listing.reason}));
        return Report(RunStatus::Failed, Fail("incomplete listing: %1", {listing.reason}));
    }
    for (ContinSolution& s : listing.solutions) ToDataUnit(s, timeScale);
    contin_ = ContinResult{request, *range, std::move(listing.solutions), listing.chosen, points->beta, points->baseline};
    continDrawn_.reset();
    onShow_ = Analysis::Contin;
    continCurrent_ = true;
    shown_ = 0;
    return Report(RunStatus::Ok);
}

RunReport Measurement::RunDiscrete(const DiscreteRequest& request, EngineRunner& runner)
{
    lastDiscreteRequest_ = request;
    const Outcome<PointRange> range = UsableRange(Engine::Discrete);
    if (!range) return Report(RunStatus::Refused, range.failure());
    const Outcome<AnalysisPoints> points = PointsForAnalysis(*range);
    if (!points) return Report(RunStatus::Refused, points.failure());

    const EngineRun run = runner.Run(Engine::Discrete, DiscreteDeckOf(request, *points));
    if (run.cancelled) return Report(RunStatus::Cancelled);

    DiscreteListing listing = ParseDiscreteListing(NormalizedText(run.listing), points->x, points->y);
    if (listing.status != DiscreteListing::Status::Ok) {
        // Nothing of an earlier run may stand as if it were this run's result.
        onShow_ = Analysis::None;
        discreteCurrent_ = false;
        if (listing.status == DiscreteListing::Status::Rejected)
            return Report(RunStatus::Rejected, Fail("DISCRETE rejected the deck: %1", {listing.reason}));
        // The program's own answer, as a refused deck's: it read the deck and
        // says why it gives no result.
        if (listing.status == DiscreteListing::Status::NoSolution)
            return Report(RunStatus::Rejected, Fail("DISCRETE gives no solution: %1", {listing.reason}));
        return Report(RunStatus::Failed, Fail("incomplete listing: %1", {listing.reason}));
    }
    discrete_ = DiscreteResult{request, *range, std::move(listing.solutions), listing.uncertain, points->beta, points->baseline};
    discrete_->uncertainReason = std::move(listing.uncertainReason);
    onShow_ = Analysis::Discrete;
    discreteCurrent_ = true;
    shown_ = 0;
    discreteShown_ = 0;
    return Report(RunStatus::Ok);
}

RunReport Measurement::RunCumulants(const CumulantRequest& request)
{
    if (PointCount() == 0) return Report(RunStatus::Refused, Fail("no data are loaded"));
    const PointRange r = Range();
    if (r.first > r.last)
        return Report(RunStatus::Refused, Fail("the range is reversed: its first point (%1) lies after its last point (%2)",
                                               {std::to_string(r.first), std::to_string(r.last)}));
    const Outcome<double> baseline = physics::BaselineOf(file_.y, sample_);
    if (!baseline) return Report(RunStatus::Refused, baseline.failure());
    cumulants::Options options;
    options.order = request.order;
    options.method = request.frisken ? cumulants::Method::Frisken : cumulants::Method::Iso22412;
    options.cutoff = request.cutoff;
    const auto x = Slice(file_.x, r);
    Outcome<cumulants::Result> fit = FitRange(x, Slice(file_.y, r), sample_, *baseline, options);
    if (!fit) {
        cumulants_.reset();
        return Report(RunStatus::Failed, fit.failure());
    }
    const auto first = static_cast<std::ptrdiff_t>(fit->fitFirst);
    std::vector<double> fitX(x.begin() + first, x.begin() + first + static_cast<std::ptrdiff_t>(fit->fitted.size()));
    cumulants_ = CumulantResult{request, r, std::move(fit).value(), std::move(fitX)};
    return Report(RunStatus::Ok);
}

const ContinSolution* Measurement::ShowContin(std::int64_t position)
{
    if (onShow_ != Analysis::Contin || !contin_ || contin_->solutions.empty()) return nullptr;
    shown_ = static_cast<std::size_t>(
        std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(contin_->solutions.size()) - 1));
    continDrawn_ = shown_;
    return &contin_->solutions[shown_];
}

const DiscreteSolution* Measurement::ShowDiscrete(std::int64_t position)
{
    if (onShow_ != Analysis::Discrete || !discrete_ || discrete_->solutions.empty()) return nullptr;
    shown_ = static_cast<std::size_t>(
        std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(discrete_->solutions.size()) - 1));
    discreteShown_ = shown_;
    return &discrete_->solutions[shown_];
}

bool Measurement::BringOnShow(Analysis analysis)
{
    if (analysis == Analysis::Contin && continCurrent_ && contin_ && !contin_->solutions.empty()) {
        if (onShow_ != Analysis::Contin) shown_ = continDrawn_.value_or(0);
    } else if (analysis == Analysis::Discrete && discreteCurrent_ && discrete_ && !discrete_->solutions.empty()) {
        if (onShow_ != Analysis::Discrete) shown_ = discreteShown_;
    } else {
        return false;
    }
    onShow_ = analysis;
    return true;
}

const ContinSolution* Measurement::ContinOnShow() const
{
    if (onShow_ != Analysis::Contin || !contin_ || shown_ >= contin_->solutions.size()) return nullptr;
    return &contin_->solutions[shown_];
}

const DiscreteSolution* Measurement::DiscreteOnShow() const
{
    if (onShow_ != Analysis::Discrete || !discrete_ || shown_ >= discrete_->solutions.size()) return nullptr;
    return &discrete_->solutions[shown_];
}

const ContinSolution* Measurement::ContinDrawn() const
{
    if (!contin_ || !continDrawn_ || *continDrawn_ >= contin_->solutions.size()) return nullptr;
    return &contin_->solutions[*continDrawn_];
}

}  // namespace fluvena
