// Data read as another kind than they are: the likely kind and why.
#include "core/DataKindCheck.h"

#include "../TestData.h"
#include "core/Measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace fluvena;

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
    m.Load(fluvena::testing::Points(t, y));
    SampleParameters sample = m.Sample();
    sample.timeUnit = TimeUnit::Microseconds;
    sample.dataKind = K::G2Minus1;
    m.SetSample(sample);
    ASSERT_TRUE(DoubtDataKind(m));
    EXPECT_EQ(DoubtDataKind(m)->likely, K::G2);
    m.SetRange(0, 2);  // too few points to judge
    EXPECT_FALSE(DoubtDataKind(m));
}
