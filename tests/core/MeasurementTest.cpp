// The analysis core driven as the window and the batch tool drive it, with a
// runner that hands back recorded listings.
#include "core/Measurement.h"
#include "core/Distribution.h"

#include "../TestData.h"
#include "base/MemoText.h"
#include "physics/Siegert.h"
#include "physics/Sizes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

using namespace fluvena;
namespace FT = fluvena::testing;
using FT::LoadFixture;
using FT::ReadFixture;
using FT::RecordedRunner;

namespace {

Measurement Loaded(const std::string& name)
{
    Measurement m;
    m.Load(LoadFixture(name));
    return m;
}

}  // namespace

TEST(Measurement, RangeFollowsThePositions)
{
    struct Case { std::int64_t first, last, expectFirst, expectLast, count; };
    const Case cases[] = {{0, 9, 0, 9, 10}, {3, 7, 3, 7, 5}, {4, 4, 4, 4, 1}, {6, 2, 6, 2, -3}, {0, 99, 0, 9, 10}, {-1, 5, 0, 5, 6}};
    for (const auto& c : cases) {
        Measurement m;
        m.Load(FT::Points(std::vector<double>(10, 1.0), std::vector<double>(10, 2.0)));
        ASSERT_TRUE(m.SetRange(c.first, c.last));
        const PointRange r = m.Range();
        EXPECT_EQ(std::tuple(r.first, r.last, r.Count()), std::tuple(c.expectFirst, c.expectLast, c.count));
    }
    Measurement empty;
    EXPECT_FALSE(empty.SetRange(0, 3));
    EXPECT_EQ(empty.Range().Count(), 0);
}

TEST(Measurement, UsableRange)
{
    struct Case { std::int64_t first, last; Engine engine; const char* failure; };
    const Case cases[] = {
        {0, 2, Engine::Contin, ""}, {0, 1, Engine::Discrete, ""},
        {0, 1, Engine::Contin, "too few points in the range (2; CONTIN needs at least 3)"},
        {1, 1, Engine::Discrete, "too few points in the range (1; DISCRETE needs at least 2)"},
        {5, 3, Engine::Contin, "the range is reversed: its first point (5) lies after its last point (3)"},
    };
    for (const auto& c : cases) {
        Measurement m = Loaded("bimodal.txt");
        m.SetRange(c.first, c.last);
        const Outcome<PointRange> r = m.UsableRange(c.engine);
        EXPECT_EQ(r.ok() ? "" : r.failure().message(), c.failure) << c.first << " " << c.last;
    }
    EXPECT_EQ(Measurement().UsableRange(Engine::Discrete).failure().message(), "no data are loaded");
    // The cumulant fit checks the range itself: one point is too few, not reversed.
    for (const auto& [first, last, reversed] : {std::tuple{3, 3, false}, std::tuple{5, 3, true}}) {
        Measurement m = Loaded("bimodal.txt");
        m.SetRange(first, last);
        const RunReport report = m.RunCumulants(CumulantRequest{});
        EXPECT_EQ(report.status, reversed ? RunStatus::Refused : RunStatus::Failed);
        EXPECT_EQ(report.failure.message().rfind("the range is reversed", 0) == 0, reversed) << report.failure.message();
    }
}

TEST(Measurement, ContinRunShowsItsSolutions)
{
    Measurement m = Loaded("pairbase.txt");
    RecordedRunner runner(ReadFixture("bimodal.contin.out"));
    const RunReport report = m.RunContin(ContinRequest{0.5, 5000, 100}, runner);
    ASSERT_EQ(report.status, RunStatus::Ok) << report.failure.message();
    ASSERT_EQ(runner.decks.size(), 1u);
    EXPECT_EQ(FileText(runner.decks[0]), ReadFixture("pairbase.contin.in"));
    ASSERT_NE(m.Contin(), nullptr);
    EXPECT_EQ(std::tuple(m.Contin()->solutions.size(), m.Contin()->chosen, m.OnShow(), m.ShowDiscrete(0)),
              std::tuple(11u, 7u, Analysis::Contin, nullptr));
    // Positions are brought into the set.
    for (auto [position, shown] : {std::pair{7, 7}, std::pair{-3, 0}, std::pair{40, 10}}) {
        ASSERT_NE(m.ShowContin(position), nullptr);
        EXPECT_EQ(std::tuple(m.ShownIndex(), m.ContinOnShow(), m.ContinDrawn()),
                  std::tuple(std::size_t(shown), &m.Contin()->solutions[shown], &m.Contin()->solutions[shown]));
    }
    EXPECT_EQ(m.LastContinRequest()->gridPoints, 100);
}

// Lag times in a unit where they fall below 0.01 go to the deck in a unit a
// million times smaller, and the decay times come back in the data's unit.
TEST(Measurement, ShortTimesComeBackInTheDataUnit)
{
    Measurement inUs = Loaded("bimodal.txt");
    io::DataFile data = LoadFixture("bimodal.txt");
    for (double& x : data.x) x /= 1e6;
    Measurement m;
    m.Load(data);
    RecordedRunner runner(ReadFixture("bimodal.contin.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{1e-7, 1e-3, 100}, runner).status, RunStatus::Ok);
    EXPECT_EQ(runner.decks[0], inUs.ContinDeck(ContinRequest{0.1, 1000, 100}));
    const ContinSolution& s = m.Contin()->solutions[7];
    const double got[] = {s.peaks[1].position, s.distX.back(), s.fitX[7], s.peaks[1].intensity};
    const double listed[] = {10.067e-6, 1000e-6, 1.92e-6, 6.0019e-1};
    for (int k = 0; k < 4; ++k) EXPECT_DOUBLE_EQ(got[k], listed[k]) << k;
}

// A run that gives no result leaves nothing of an earlier run on show; the
// distribution drawn before stays drawn. A cancelled run changes nothing.
// DISCRETE's own reason for giving no solution comes as a rejected deck's, in its words.
TEST(Measurement, RunsWithoutAResult)
{
    struct Case { const char* name; std::string listing; bool cancel; RunStatus status; const char* message; };
    const std::string bimodal = ReadFixture("bimodal.contin.out");
    const Case cases[] = {
        {"rejected", ReadFixture("badng.contin.out"), false, RunStatus::Rejected, "CONTIN rejected the deck: PRECIS"},
        {"cut off", bimodal.substr(0, bimodal.size() / 2), false, RunStatus::Failed,
         "incomplete listing: the final printout of the chosen solution is missing"},
        {"empty", "", false, RunStatus::Failed, "incomplete listing: the listing holds no complete solution"},
        {"cancelled", "", true, RunStatus::Cancelled, ""},
        {"DISCRETE", "1DISCRETE\n\n1DISCRETE\n\n NO MEANINGFUL SOLUTION WAS FOUND:\n   1 COMPONENT(S): AMPLITUDE 1 IS ZERO\n",
         false, RunStatus::Rejected,
         "DISCRETE gives no solution: NO MEANINGFUL SOLUTION WAS FOUND:\n1 COMPONENT(S): AMPLITUDE 1 IS ZERO"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Measurement m = Loaded("bimodal.txt");
        RecordedRunner good(bimodal);
        ASSERT_EQ(m.RunContin(ContinRequest{}, good).status, RunStatus::Ok);
        m.ShowContin(4);
        RecordedRunner runner(c.listing);
        runner.cancel = c.cancel;
        const RunReport report = std::string(c.name) == "DISCRETE" ? m.RunDiscrete(DiscreteRequest{}, runner)
                                                                    : m.RunContin(ContinRequest{}, runner);
        EXPECT_EQ(std::pair(report.status, m.OnShow()), std::pair(c.status, c.cancel ? Analysis::Contin : Analysis::None));
        EXPECT_EQ(report.failure.message().rfind(c.message, 0), 0u) << report.failure.message();
        EXPECT_EQ(m.ContinDrawn(), &m.Contin()->solutions[4]);
    }
    // Too few points: nothing runs.
    Measurement m = Loaded("bimodal.txt");
    m.SetRange(10, 11);
    RecordedRunner runner(bimodal);
    EXPECT_EQ(m.RunContin(ContinRequest{}, runner).status, RunStatus::Refused);
    EXPECT_TRUE(runner.decks.empty());
}

// A grid point count beyond the five columns of the deck's NG field is
// refused with the value asked for, before any deck is written; every count
// the field holds goes to the program (which judges it itself).
TEST(Measurement, GridPointsBeyondTheDecksField)
{
    struct Case { std::int32_t ng; bool refused; };
    for (const Case c : {Case{100000, true}, Case{123456789, true}, Case{-10000, true}, Case{99999, false}, Case{-9999, false}}) {
        Measurement m = Loaded("bimodal.txt");
        RecordedRunner runner(ReadFixture("badng.contin.out"));
        ContinRequest request;
        request.gridPoints = c.ng;
        const RunReport report = m.RunContin(request, runner);
        EXPECT_EQ(report.status, c.refused ? RunStatus::Refused : RunStatus::Rejected) << c.ng;
        EXPECT_EQ(runner.decks.empty(), c.refused) << c.ng;
        EXPECT_EQ(m.ContinDeck(request).empty(), c.refused) << c.ng;
        if (c.refused)
            EXPECT_EQ(report.failure.message(), "NG = " + std::to_string(c.ng) +
                                                    " does not fit the deck's field for the number of grid points (-9999 ... 99999)");
        else
            EXPECT_EQ(runner.decks.at(0).at(19), " NG                   " + std::to_string(c.ng) + ".");
    }
}

TEST(Measurement, DiscreteRunOverTheRange)
{
    Measurement m = Loaded("bimodal.txt");
    RecordedRunner contin(ReadFixture("bimodal.contin.out")), runner(ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{}, contin).status, RunStatus::Ok);
    m.ShowContin(7);
    m.SetRange(10, 14);
    const RunReport report = m.RunDiscrete(DiscreteRequest{4, 2, 5, kDefaultSwitches}, runner);
    ASSERT_EQ(report.status, RunStatus::Ok) << report.failure.message();
    // Five points, the first of them the one at index 10.
    EXPECT_EQ(std::pair(runner.decks[0][2], runner.decks[0][3]), (std::pair<std::string, std::string>("5", "2.54E+00")));
    EXPECT_EQ(m.OnShow(), Analysis::Discrete);
    EXPECT_EQ(m.ShowContin(0), nullptr);  // the CONTIN view refuses a DISCRETE result
    EXPECT_EQ(m.ContinDrawn(), &m.Contin()->solutions[7]);
    const DiscreteSolution* best = m.ShowDiscrete(0);
    ASSERT_NE(best, nullptr);
    EXPECT_EQ(m.Discrete()->solutions.size(), 3u);
    EXPECT_EQ(std::pair(best->fitX.front(), best->residual.back()), std::pair(m.X()[10], m.Y()[14] - best->fitY.back()));

    // The reset drops data and results; what DISCRETE was asked last stays.
    m.Clear();
    EXPECT_EQ(std::tuple(m.PointCount(), m.Discrete(), m.ContinDrawn(), m.OnShow(), m.LastContinRequest().has_value()),
              std::tuple(0u, nullptr, nullptr, Analysis::None, false));
    EXPECT_EQ(m.LastDiscreteRequest()->maxComponents, 4);
}

// A page brought forward puts its analysis on show again at the solution it
// showed last; an analysis without a result, or whose last run failed, cannot.
TEST(Measurement, BringOnShowReturnsToTheSolutionLastShown)
{
    Measurement m = Loaded("bimodal.txt");
    EXPECT_FALSE(m.BringOnShow(Analysis::Contin));
    RecordedRunner contin(ReadFixture("bimodal.contin.out")), discrete(ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{}, contin).status, RunStatus::Ok);
    m.ShowContin(4);
    ASSERT_EQ(m.RunDiscrete(DiscreteRequest{4, 2, 5, kDefaultSwitches}, discrete).status, RunStatus::Ok);
    m.ShowDiscrete(2);
    const struct { Analysis analysis; bool brought; Analysis onShow; std::size_t shown; } steps[] = {
        {Analysis::Contin, true, Analysis::Contin, 4}, {Analysis::Contin, true, Analysis::Contin, 4},
        {Analysis::Discrete, true, Analysis::Discrete, 2}, {Analysis::Cumulants, false, Analysis::Discrete, 2}};
    for (const auto& s : steps) {
        const bool brought = m.BringOnShow(s.analysis);
        EXPECT_EQ(std::tuple(brought, m.OnShow(), m.ShownIndex()), std::tuple(s.brought, s.onShow, s.shown));
    }
    RecordedRunner broken("");
    EXPECT_EQ(m.RunContin(ContinRequest{}, broken).status, RunStatus::Failed);
    EXPECT_FALSE(m.BringOnShow(Analysis::Contin));  // the earlier result is not this run's
    EXPECT_TRUE(m.BringOnShow(Analysis::Discrete));
    EXPECT_EQ(m.ShownIndex(), 2u);
}

TEST(Measurement, DefaultsFillWhatTheFileDoesNotState)
{
    const SampleParameters defaults{.temperatureK = 300};
    Measurement alv, text;
    alv.Load(LoadFixture("alv/LC8.2_0028.ASC"), defaults);
    text.Load(LoadFixture("bimodal.txt"), defaults);
    EXPECT_EQ(std::tuple(alv.Sample().temperatureK, alv.Sources()[SampleField::Temperature], text.Sample().temperatureK,
                         text.Sources()[SampleField::Temperature]),
              std::tuple(297.94326, ValueSource::File, 300.0, ValueSource::Default));
}

// g2 data reach the decay analyses as g1 through the Siegert relation, with
// beta from the cumulant fit's intercept; g1 data as they stand.
TEST(Measurement, AnalysesReceiveG1)
{
    std::vector<double> t, g1;
    for (int k = 0; k < 120; ++k) {
        t.push_back(std::pow(10.0, -1.0 + k * 0.04));
        g1.push_back(0.7 * std::exp(-t.back() / 30.0) + 0.3 * std::exp(-t.back() / 40.0));
    }
    struct Case { DataKind kind; BaselineMode mode; double offset; };
    for (const Case& c : {Case{DataKind::G1, BaselineMode::Fixed, 0.0}, Case{DataKind::G2Minus1, BaselineMode::Fixed, 0.0},
                          Case{DataKind::G2, BaselineMode::Fixed, 1.0}, Case{DataKind::G2, BaselineMode::Tail, 1.02}}) {
        std::vector<double> y = g1;
        if (c.kind != DataKind::G1)
            for (double& v : y) v = c.offset + 0.25 * v * v;
        Measurement m;
        m.Load(FT::Points(t, y), SampleParameters{.dataKind = c.kind, .baselineMode = c.mode});
        const auto points = m.PointsForAnalysis(m.Range());
        ASSERT_TRUE(points.ok()) << points.failure().message();
        EXPECT_EQ(points->beta.has_value(), c.kind != DataKind::G1);
        if (points->beta) {
            EXPECT_NEAR(*points->beta, 0.25, 0.0025);
        }
        for (std::size_t k = 0; k < t.size(); k += 10) EXPECT_NEAR(points->y[k], g1[k], 0.01) << k;
        // The baseline taken off g2 data, and back to the data's terms.
        EXPECT_NEAR(points->baseline, c.kind == DataKind::G2 ? c.offset : 0.0, 1e-4);
        const std::vector<double> back = physics::FitInDataTerms(points->y, points->beta, points->baseline);
        for (std::size_t k = 0; k < t.size(); k += 10) EXPECT_NEAR(back[k], y[k], 1e-12) << k;
        // Weights for g2 kinds only, and in the decks unless switched off:
        // the CONTIN deck then asks for weights read with the data and
        // lists one a point after the ordinates, the DISCRETE deck lists
        // them after a card of its own.
        EXPECT_EQ(points->weights.size(), c.kind == DataKind::G1 ? 0u : t.size());
        const std::size_t extra = c.kind == DataKind::G1 ? 0u : 3 + t.size();
        const auto contin = m.ContinDeck(ContinRequest{}), plainContin = m.ContinDeck(ContinRequest{.siegertWeights = false});
        ASSERT_EQ(contin.size(), plainContin.size() + extra);
        EXPECT_EQ(std::count(contin.begin(), contin.end(), " IWT                     4."), extra ? 1 : 0);
        const auto data = static_cast<std::ptrdiff_t>(2 * t.size()), weights = static_cast<std::ptrdiff_t>(extra ? t.size() : 0);
        EXPECT_EQ(std::vector<std::string>(contin.end() - data - weights, contin.end() - weights),
                  std::vector<std::string>(plainContin.end() - data, plainContin.end()));
        const auto discrete = m.DiscreteDeck(DiscreteRequest{});
        const auto plainDiscrete = m.DiscreteDeck(DiscreteRequest{.siegertWeights = false});
        ASSERT_EQ(discrete.size(), plainDiscrete.size() + (extra ? t.size() + 1 : 0));
        std::vector<std::string> expected = plainDiscrete;  // with weights, g1's constant held at 0 (NOBASE)
        if (extra) expected[1][2] = 'T';
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), discrete.begin()));
        if (extra) {
            EXPECT_EQ(discrete[plainDiscrete.size()], "WEIGHTS");
        }
    }
}

// The flat toluene correlation has no decay to fit, and without the cumulant
// fit's intercept no g1 for CONTIN either.
TEST(Measurement, NoDecayNoAnalysis)
{
    Measurement toluene = Loaded("alv/toluene-0001.ASC");
    const RunReport report = toluene.RunCumulants(CumulantRequest{});
    EXPECT_EQ(report.status, RunStatus::Failed);
    EXPECT_EQ(report.failure.message().rfind("no decay", 0), 0u) << report.failure.message();
    RecordedRunner runner(ReadFixture("bimodal.contin.out"));
    EXPECT_EQ(toluene.RunContin(ContinRequest{}, runner).status, RunStatus::Refused);
    EXPECT_TRUE(runner.decks.empty());
}

// Per ln tau, the area under the curve over the logarithmic axis is the
// integral of s over tau, the intensity; on the radius axis the abscissae are
// the sizes of the decay times.
TEST(Measurement, DistributionPerLnTauAndOverRadius)
{
    Measurement m = Loaded("bimodal.txt");
    RecordedRunner runner(ReadFixture("bimodal.contin.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{}, runner).status, RunStatus::Ok);
    const ContinSolution& s = m.Contin()->solutions[7];
    const auto curve = Distribution(s, DistributionAxis::DecayTime, DistributionWeighting::PerLnTau, m.Sample());
    ASSERT_TRUE(curve.ok());
    double perLn = 0, inTau = 0;  // trapezoids in ln tau and in tau
    for (std::size_t j = 1; j < curve->x.size(); ++j) {
        perLn += 0.5 * (curve->y[j] + curve->y[j - 1]) * std::log(curve->x[j] / curve->x[j - 1]);
        inTau += 0.5 * (s.distY[j] + s.distY[j - 1]) * (s.distX[j] - s.distX[j - 1]);
    }
    EXPECT_NEAR(perLn, inTau, 0.005 * inTau);
    const auto radius = Distribution(s, DistributionAxis::Radius, DistributionWeighting::AsComputed, m.Sample());
    ASSERT_TRUE(radius.ok());
    EXPECT_EQ(radius->y, s.distY);
    EXPECT_EQ(radius->err, s.distErr);
    for (std::size_t j = 0; j < s.distX.size(); j += 9)
        EXPECT_DOUBLE_EQ(radius->x[j], physics::SizeFromDecayTime(s.distX[j], 0.0, m.Sample())->radiusNm);
    SampleParameters bad = m.Sample();
    bad.viscosityCp = 0;
    EXPECT_FALSE(Distribution(s, DistributionAxis::Radius, DistributionWeighting::AsComputed, bad).ok());
}
