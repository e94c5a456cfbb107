// Quality flags on constructed measurements with known faults, on clean
// generated files and on a real broad sample; data read as another kind than
// they are, with the likely kind and why.
#include "core/Quality.h"

#include "../TestData.h"
#include "core/DataKindCheck.h"
#include "core/Measurement.h"
#include "external/Runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <string>

using namespace fluvena;
using namespace fluvena::quality;
namespace FT = fluvena::testing;

namespace {

// "code:severity" of every flag, sorted.
std::multiset<std::string> Codes(const std::vector<Flag>& flags)
{
    std::multiset<std::string> out;
    for (const Flag& f : flags) out.insert(f.code + ":" + std::string(SeverityName(f.severity)));
    return out;
}

// A correlator run of g2 - 1 in ms: 160 lags log-spaced from 1e-4 to 1e3 ms,
// g1 = sum of weight * exp(-t / tau), g2 - 1 = beta g1^2 + noise 1e-3, and a
// count-rate trace of two channels, 250 samples 0.16 s apart at 100 and 80
// kHz with 2 % scatter.
struct Acquisition {
    std::vector<std::pair<double, double>> weightAndTau{{1.0, 0.5}};
    double beta = 0.8;
    double offset = 0.0;  // added to every value
    double noise = 1e-3;
};

io::DataFile Correlator(const Acquisition& run, unsigned seed = 11)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> gauss(0.0, 1.0);
    io::DataFile f;
    f.format = io::FileFormat::Alv, f.dataKind = DataKind::G2Minus1, f.timeUnit = TimeUnit::Milliseconds;
    for (int k = 0; k < 160; ++k) {
        const double t = 1e-4 * std::pow(1e7, k / 159.0);
        double g1 = 0.0;
        for (const auto& [w, tau] : run.weightAndTau) g1 += w * std::exp(-t / tau);
        f.x.push_back(t);
        f.y.push_back(run.beta * g1 * g1 + run.offset + run.noise * gauss(rng));
    }
    f.countRate.rateKHz.resize(2);
    for (int i = 0; i < 250; ++i) {
        f.countRate.timeS.push_back(0.16 * i);
        f.countRate.rateKHz[0].push_back(100.0 * (1.0 + 0.02 * gauss(rng)));
        f.countRate.rateKHz[1].push_back(80.0 * (1.0 + 0.02 * gauss(rng)));
    }
    return f;
}

// Every flag with its sentence, one a line, for a failure's message.
std::string Listed(const std::vector<Flag>& flags)
{
    std::string all;
    for (const Flag& f : flags) all += f.code + ": " + f.Message() + "\n";
    return all;
}

SampleParameters Water() { return {.wavelengthNm = 632.8, .temperatureK = 298.15, .viscosityCp = 0.890}; }

Report CumulantReport(io::DataFile file, std::int64_t last = -1)
{
    Measurement m;
    m.Load(std::move(file), Water());
    if (last >= 0) m.SetRange(0, last);
    m.RunCumulants(CumulantRequest{});
    return Assess(m, Subject::Cumulants);
}

// Puts the count-rate trace of a real run in place of the generated one, with
// one sample of its first channel at `timesMedian` times that channel's median.
std::function<void(io::DataFile&)> RealTraceSpike(double timesMedian)
{
    return [timesMedian](io::DataFile& f) {
        static const io::CountRateTrace real = FT::LoadFixture("alv/LC8.2_0001.ASC").countRate;
        f.countRate = real;
        f.countRate.rateKHz[0][100] = timesMedian * 2211.4;
    };
}

struct Engines {
    FT::TempDir dir{"fluvena-quality"};
    BlockingRunner runner{dir.path, FLUVENA_ENGINES_DIR};
};

}  // namespace

// Each constructed fault raises its flags, and only those; the clean run none.
TEST(Quality, ConstructedMeasurementsRaiseTheirFlags)
{
    struct Case { const char* name; std::function<void(Acquisition&)> run; std::function<void(io::DataFile&)> spoil;
                  std::int64_t last; std::multiset<std::string> expected; };
    const auto none = [](io::DataFile&) {};
    const auto same = [](Acquisition&) {};
    const Case cases[] = {
        {"clean", same, none, -1, {}},
        {"flat", [](Acquisition& r) { r.beta = 0.0; }, none, -1, {"no-decay:error", "size-not-given:error"}},
        {"beta 0.05", [](Acquisition& r) { r.beta = 0.05; r.noise = 2e-4; }, none, -1, {"low-intercept:warning"}},
        {"beta 0.008", [](Acquisition& r) { r.beta = 0.008; r.noise = 1e-4; }, none, -1, {"low-intercept:error"}},
        {"beta 1.6: g2 read as g2 - 1", [](Acquisition& r) { r.beta = 0.6; r.offset = 1.0; }, none, -1,
         {"high-intercept:error", "baseline:warning", "high-pdi:warning", "systematic-residuals:warning"}},
        // Two sizes, a true PDI of 1.19: the second-order fit sees 0.54.
        {"PDI 0.54", [](Acquisition& r) { r.weightAndTau = {{0.35, 0.04}, {0.65, 0.5}}; }, none, -1,
         {"high-pdi:warning", "systematic-residuals:warning"}},
        {"tail above the baseline", [](Acquisition& r) { r.offset = 0.03; }, none, -1, {"baseline:note", "high-pdi:note"}},
        {"6x spike in the count rate", same, [](io::DataFile& f) { f.countRate.rateKHz[0][120] *= 6.0; }, -1,
         {"dust:warning"}},
        // Spikes in a real trace (channel 1 at 21.7 degrees: median 2211 kHz,
        // robust deviation 723 kHz, nothing beyond 2.8 deviations): a note
        // from 2.63 times the median (5 deviations), a warning from 3.61 (8).
        {"2.6x the median of a real trace", same, RealTraceSpike(2.6), -1, {}},
        {"2.7x the median of a real trace", same, RealTraceSpike(2.7), -1, {"dust:note"}},
        {"3.5x the median of a real trace", same, RealTraceSpike(3.5), -1, {"dust:note"}},
        {"3.7x the median of a real trace", same, RealTraceSpike(3.7), -1, {"dust:warning"}},
        {"slow drift of the count rate", same,
         [](io::DataFile& f) {
             for (std::size_t i = 0; i < 250; ++i) f.countRate.rateKHz[1][i] *= 1.0 - 0.3 * double(i) / 250.0;
         },
         -1, {"count-rate-drift:warning"}},
        {"first lags of a dead time", same, [](io::DataFile& f) { f.y[0] = 28.7, f.y[1] = -1.0, f.y[2] = -0.45; }, -1,
         {"first-lags:warning"}},
        {"three points", same, none, 2, {"few-points:error", "size-not-given:error"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Acquisition run;
        c.run(run);
        io::DataFile file = Correlator(run);
        c.spoil(file);
        const Report report = CumulantReport(std::move(file), c.last);
        EXPECT_EQ(Codes(report.flags), c.expected) << Listed(report.flags);
        EXPECT_EQ(report.noSize.has_value(), c.expected.count("size-not-given:error") > 0);
    }
}

// Peaks and components the data cannot see: outside the lag times (wholly:
// no size) or bounded by the grid.
TEST(Quality, PeaksOutsideTheLagsOrAtTheGridEnd)
{
    const LagWindow lags{1.0, 1000.0};
    ContinSolution s;
    s.distY.assign(50, 0.0);
    for (int j = 0; j < 50; ++j) s.distX.push_back(0.1 * std::pow(1e6, j / 49.0));
    const auto peak = [](double intensity, double position, double from, double to) {
        return ContinPeak{.intensity = intensity, .position = position, .from = from, .to = to};
    };
    const ContinPeak main = peak(0.93, 50.0, 10.0, 300.0);
    const ContinPeak fast = peak(0.07, 0.23, 0.1, 0.6);
    const ContinPeak straddling = peak(0.07, 0.8, 0.3, 2.0);
    const ContinPeak slow = peak(0.02, 3e4, 1e4, 1e5);
    // edge: the distribution per ln tau at the grid's upper end, as a fraction of the main peak's.
    struct Case { const char* name; std::vector<ContinPeak> peaks; double edge; std::multiset<std::string> expected;
                  std::vector<bool> withheld; };
    // Shares of 4.9 and 5.1 % beside the main peak, and grid ends at 4.9 and
    // 5.1 % of the top: both sides of the two thresholds.
    const auto late = [&](double share) { return std::vector{peak(1.0 - share, 50.0, 10.0, 300.0), peak(share, 900.0, 500.0, 1e5)}; };
    const Case cases[] = {
        {"inside", {main}, 0.0, {}, {false}},
        {"a 7 % peak below the first lag", {fast, main}, 0.0, {"outside-lag-range:warning"}, {true, false}},
        {"a peak reaching into the lags", {straddling, main}, 0.0, {"outside-lag-range:warning"}, {false, false}},
        {"a 2 % peak at the grid's end", {main, slow}, 2.0, {"outside-lag-range:note", "edge-peak:note"}, {false, true}},
        {"a 4.9 % peak, the end at 5.1 %", late(0.049), 0.051, {"edge-peak:note"}, {false, false}},
        {"a 5.1 % peak, the end at 5.1 %", late(0.051), 0.051, {"edge-peak:warning"}, {false, false}},
        {"a 40 % peak, the end at 4.9 %", late(0.4), 0.049, {}, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s.peaks = c.peaks;
        s.distY[25] = 1e-6;  // the main peak's height
        s.distY.back() = c.edge * s.distX[25] * s.distY[25] / s.distX.back();
        EXPECT_EQ(Codes(CheckContinPeaks(s, lags)), c.expected);
        for (std::size_t k = 0; k < c.peaks.size(); ++k)
            EXPECT_EQ(PeakWithoutSize(c.peaks[k], lags, k + 1).has_value(), c.withheld[k]) << k;
    }

    DiscreteSolution d;
    d.components = {Component{.amplitude = 0.9, .rate = 0.02}, Component{.amplitude = 0.1, .rate = 5.0}};
    EXPECT_EQ(Codes(CheckComponents(d, lags)), std::multiset<std::string>{"outside-lag-range:warning"});
    EXPECT_FALSE(ComponentWithoutSize(d.components[0], lags, 1));
    const std::optional<Failure> why = ComponentWithoutSize(d.components[1], lags, 2);
    ASSERT_TRUE(why);
    EXPECT_EQ(why->message(), "component 2 lies wholly below the first lag time (1): the data cannot see it");
}

TEST(Quality, RunsTestCountsBlocksOfOneSign)
{
    // 20 alternating signs: 20 runs where 11 are expected; 10 + then 10 -: 2.
    std::vector<double> alternating, blocks;
    for (int i = 0; i < 20; ++i) {
        alternating.push_back(i % 2 ? 1.0 : -1.0);
        blocks.push_back(i < 10 ? 1.0 : -1.0);
    }
    // mean 11, variance 10 * 9 / 19.
    EXPECT_NEAR(RunsZ(alternating), 9.0 / std::sqrt(90.0 / 19.0), 1e-12);
    EXPECT_NEAR(RunsZ(blocks), -9.0 / std::sqrt(90.0 / 19.0), 1e-12);
    EXPECT_EQ(RunsZ(std::vector<double>{1, 1, 1, -1}), 0.0);
}

// Sound measurements through the bundled engines raise no flag above a note
// but the expected ones, and keep their sizes: generated files of a good sample
// at eight angles (CONTIN and DISCRETE at the first and last), a real broad
// sample at three angles (its PDI earns a note), a Zetasizer export's record,
// and the LS Instruments file, whose dead time is left out with a note and
// whose planted dust spike (channel A, 13.7 s) is the only warning.
TEST(Quality, SoundMeasurementsRaiseNotesOnly)
{
    Engines engines;
    // gridMin 0: a grid from the range's first lag to gridMax times that lag.
    struct Case { const char* name; ContinRequest grid; std::multiset<std::string> worse; bool firstLags, highPdi; };
    const Case cases[] = {
        {"alv/multiangle-8det.ASC", {1e-3, 1e3, 60}, {}, false, false},
        {"alv/LC8.2_0001.ASC", {1e-4, 1e3, 100}, {}, false, true},
        {"alv/LC8.2_0028.ASC", {1e-4, 1e3, 100}, {}, false, true},
        {"alv/LC8.2_0045.ASC", {1e-4, 1e3, 100}, {}, false, true},
        {"instruments/zetasizer-export.txt", {0, 1e5, 60}, {}, false, false},
        {"instruments/lsi-pseudo-cross.dat", {0, 1e5, 60}, {"dust:warning"}, true, false},
    };
    for (const Case& c : cases) {
        const Outcome<std::vector<io::DataFile>> files = io::ReadDataFiles(FT::ReadFixture(c.name), io::ReadOptions{});
        ASSERT_TRUE(files) << files.failure().message();
        // Every record of a multi-detector file; the first of an export.
        const std::size_t count = files->front().detector ? files->size() : 1;
        for (std::size_t i = 0; i < count; ++i) {
            SCOPED_TRACE(std::string(c.name) + " [" + std::to_string(i + 1) + "]");
            Measurement m;
            m.Load((*files)[i]);
            ASSERT_EQ(m.RunCumulants(CumulantRequest{}).status, RunStatus::Ok);
            std::vector<Report> reports{Assess(m, Subject::Cumulants)};
            EXPECT_EQ(reports[0].Has("high-pdi"), c.highPdi);
            if (i == 0 || i + 1 == count) {
                ContinRequest grid = c.grid;
                if (grid.gridMin == 0) grid.gridMin = m.X()[std::size_t(m.Range().first)], grid.gridMax *= grid.gridMin;
                ASSERT_EQ(m.RunContin(grid, engines.runner).status, RunStatus::Ok);
                ASSERT_EQ(m.RunDiscrete(DiscreteRequest{}, engines.runner).status, RunStatus::Ok);
                reports.insert(reports.end(), {Assess(m, Subject::Contin), Assess(m, Subject::Discrete)});
            }
            for (const Report& r : reports) {
                std::multiset<std::string> worse = Codes(r.flags);
                std::erase_if(worse, [](const std::string& code) { return code.ends_with(":note"); });
                EXPECT_EQ(worse, c.worse) << Listed(r.flags);
                EXPECT_EQ(r.Has("first-lags"), c.firstLags) << Listed(r.flags);
                EXPECT_FALSE(r.noSize);
            }
        }
    }
}

TEST(DataKindCheck, LikelyKindOfDataReadAsAnother)
{
    // 120 lag times from 1 us to 1 s and a decay of rate 2000/s as each kind
    // gives it (g1; g2 - 1 = beta g1^2; g2 = 1 + beta g1^2), noise 1e-3.
    const auto make = [](DataKind kind, double beta, std::vector<double>& t, std::vector<double>& y) {
        std::mt19937 rng(7);
        std::normal_distribution<double> noise(0.0, 1e-3);
        for (int k = 0; k < 120; ++k) {
            t.push_back(1e-6 * std::pow(10.0, 6.0 * k / 119.0));
            const double g1 = std::exp(-2000.0 * t.back());
            y.push_back((kind == DataKind::G1 ? g1 : (kind == DataKind::G2 ? 1.0 : 0.0) + beta * g1 * g1) + noise(rng));
        }
    };
    using K = DataKind;
    struct Case { K is; double beta; K readAs; std::optional<K> likely; const char* reason; };
    const Case cases[] = {
        {K::G1, 0, K::G2Minus1, K::G1, "is 1 within 0.02: g1 data"},
        {K::G2, 0.6, K::G2Minus1, K::G2, "lies above 1.05 and the correlation settles at"},
        {K::G2, 0.2, K::G2Minus1, K::G2, "lies above 1.05 and the correlation settles at"},
        {K::G2Minus1, 0.6, K::G2Minus1, std::nullopt, ""},
        {K::G2Minus1, 0.95, K::G2Minus1, std::nullopt, ""},
        {K::G2Minus1, 0.6, K::G1, K::G2Minus1, "lies far below 1: g2 - 1 data"},
        {K::G1, 0, K::G1, std::nullopt, ""},
        {K::G2, 0.6, K::G1, K::G2, "not at 0: g2 data"},
        {K::G2, 0.6, K::G2, std::nullopt, ""},
        {K::G2Minus1, 0.6, K::G2, K::G2Minus1, "not at a baseline near 1"},
        {K::G1, 0, K::G2, K::G1, "not at a baseline near 1"},
    };
    for (const Case& c : cases) {
        std::vector<double> t, y;
        make(c.is, c.beta, t, y);
        const std::optional<KindDoubt> doubt = DoubtDataKind(t, y, c.readAs);
        SCOPED_TRACE(std::to_string(static_cast<int>(c.is)) + " read as " + std::to_string(static_cast<int>(c.readAs)));
        ASSERT_EQ(doubt.has_value(), c.likely.has_value()) << (doubt ? doubt->reason.message() : "");
        if (!doubt) continue;
        EXPECT_EQ(doubt->likely, *c.likely);
        EXPECT_NE(doubt->reason.message().find(c.reason), std::string::npos) << doubt->reason.message();
    }

    // Through a measurement: its range, its kind, its time unit (us).
    std::vector<double> t, y;
    make(K::G2, 0.6, t, y);
    for (double& v : t) v *= 1e6;
    Measurement m;
    m.Load(FT::Points(t, y), SampleParameters{.timeUnit = TimeUnit::Microseconds, .dataKind = K::G2Minus1});
    ASSERT_TRUE(DoubtDataKind(m));
    EXPECT_EQ(DoubtDataKind(m)->likely, K::G2);
    m.SetRange(0, 2);  // too few points to judge
    EXPECT_FALSE(DoubtDataKind(m));
}
