// Data read as another kind than they are: the likely kind and why.
#include "core/DataKindCheck.h"

#include "../TestData.h"
#include "core/Measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

using namespace fluvena;

namespace {

// 120 lag times from 1 us to 1 s (log-spaced) and a decay of rate 2000/s
// as each kind gives it: g1, g2 - 1 = beta g1^2, g2 = 1 + beta g1^2; seeded
// noise of 1e-3.
struct Series {
    std::vector<double> t, y;
};

Series Make(DataKind kind, double beta)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, 1e-3);
    Series s;
    for (int k = 0; k < 120; ++k) {
        const double t = 1e-6 * std::pow(10.0, 6.0 * k / 119.0);
        const double g1 = std::exp(-2000.0 * t);
        const double clean = kind == DataKind::G1 ? g1 : (kind == DataKind::G2 ? 1.0 : 0.0) + beta * g1 * g1;
        s.t.push_back(t);
        s.y.push_back(clean + noise(rng));
    }
    return s;
}

}  // namespace

TEST(DataKindCheck, LikelyKindOfDataReadAsAnother)
{
    struct Case { DataKind is; double beta; DataKind readAs; std::optional<DataKind> likely; const char* reason; };
    const Case cases[] = {
        {DataKind::G1, 0, DataKind::G2Minus1, DataKind::G1, "is 1 within 0.02: g1 data"},
        {DataKind::G2, 0.6, DataKind::G2Minus1, DataKind::G2, "lies above 1.05 and the correlation settles at"},
        {DataKind::G2, 0.2, DataKind::G2Minus1, DataKind::G2, "lies above 1.05 and the correlation settles at"},
        {DataKind::G2Minus1, 0.6, DataKind::G2Minus1, std::nullopt, ""},
        {DataKind::G2Minus1, 0.95, DataKind::G2Minus1, std::nullopt, ""},
        {DataKind::G2Minus1, 0.6, DataKind::G1, DataKind::G2Minus1, "lies far below 1: g2 - 1 data"},
        {DataKind::G1, 0, DataKind::G1, std::nullopt, ""},
        {DataKind::G2, 0.6, DataKind::G1, DataKind::G2, "not at 0: g2 data"},
        {DataKind::G2, 0.6, DataKind::G2, std::nullopt, ""},
        {DataKind::G2Minus1, 0.6, DataKind::G2, DataKind::G2Minus1, "not at a baseline near 1"},
        {DataKind::G1, 0, DataKind::G2, DataKind::G1, "not at a baseline near 1"},
    };
    for (const Case& c : cases) {
        const Series s = Make(c.is, c.beta);
        const std::optional<KindDoubt> doubt = DoubtDataKind(s.t, s.y, c.readAs);
        SCOPED_TRACE(std::to_string(static_cast<int>(c.is)) + " read as " + std::to_string(static_cast<int>(c.readAs)));
        ASSERT_EQ(doubt.has_value(), c.likely.has_value()) << (doubt ? doubt->reason.message() : "");
        if (!doubt) continue;
        EXPECT_EQ(doubt->likely, *c.likely);
        EXPECT_NE(doubt->reason.message().find(c.reason), std::string::npos) << doubt->reason.message();
    }
    // A flat series has no decay to judge by.
    const std::vector<double> t{1, 2, 3, 4, 5, 6}, flat{1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(DoubtDataKind(t, flat, DataKind::G2Minus1));
}

// Through a measurement: its range, its kind, its time unit.
TEST(DataKindCheck, OfAMeasurementsRange)
{
    const Series s = Make(DataKind::G2, 0.6);
    std::vector<double> us = s.t;
    for (double& v : us) v *= 1e6;
    Measurement m;
    m.Load(fluvena::testing::Points(us, s.y));
    SampleParameters sample = m.Sample();
    sample.timeUnit = TimeUnit::Microseconds;
    sample.dataKind = DataKind::G2Minus1;
    m.SetSample(sample);
    const std::optional<KindDoubt> doubt = DoubtDataKind(m);
    ASSERT_TRUE(doubt);
    EXPECT_EQ(doubt->likely, DataKind::G2);
    sample.dataKind = DataKind::G2;
    m.SetSample(sample);
    EXPECT_FALSE(DoubtDataKind(m));
    m.SetRange(0, 2);  // too few points to judge
    EXPECT_FALSE(DoubtDataKind(m));
}
