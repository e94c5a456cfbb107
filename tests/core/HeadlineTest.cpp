// The one-line answer of each analysis, from the solution the program chose.
#include "core/Headline.h"

#include "../TestData.h"
#include "core/Measurement.h"

#include <gtest/gtest.h>

using namespace fluvena;
namespace FT = fluvena::testing;

namespace {

std::string Line(const Measurement& m, quality::Subject subject, char sep = '.')
{
    const std::optional<Headline> h = MakeHeadline(m, subject, quality::Assess(m, subject));
    return h ? HeadlineText(*h, sep) : "(none)";
}

}  // namespace

TEST(Headline, CumulantsOfARealFile)
{
    Measurement m;
    m.Load(FT::LoadFixture("alv/LC8.2_0001.ASC"));
    EXPECT_EQ(Line(m, quality::Subject::Cumulants), "(none)");
    ASSERT_EQ(m.RunCumulants(CumulantRequest{}).status, RunStatus::Ok);
    EXPECT_EQ(Line(m, quality::Subject::Cumulants), "z-average 560 nm (d 1121 nm) \xC2\xB7 PDI 0.25 \xC2\xB7 \xCE\xB2 0.22");
    EXPECT_EQ(Line(m, quality::Subject::Cumulants, ','), "z-average 560 nm (d 1121 nm) \xC2\xB7 PDI 0,25 \xC2\xB7 \xCE\xB2 0,22");
}

// The listings' chosen (CONTIN) and best (DISCRETE) solutions with their
// shares; the default sample (488 nm, 90 degrees, 293.16 K, 1.006 cP, time
// in us: q = 2.4255e7 1/m) turns decay times of 10 and 200 us into 1.26 and
// 25.1 nm.
TEST(Headline, SolutionsWithTheirShares)
{
    Measurement m;
    m.Load(FT::LoadFixture("bimodal.txt"));
    FT::RecordedRunner contin(FT::ReadFixture("bimodal.contin.out"));
    ASSERT_EQ(m.RunContin(ContinRequest{0.1, 1000, 100}, contin).status, RunStatus::Ok);
    m.ShowContin(0);  // the solution on show does not change the headline
    EXPECT_EQ(Line(m, quality::Subject::Contin), "chosen solution 7: 0.0289 nm (7 %), 1.26 nm (56 %), 25.1 nm (37 %)");
    FT::RecordedRunner discrete(FT::ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunDiscrete(DiscreteRequest{}, discrete).status, RunStatus::Ok);
    EXPECT_EQ(Line(m, quality::Subject::Discrete), "2 components: 1.26 nm (60 %), 25.3 nm (40 %)");
}

// No size from nothing: a flat correlation gives the headline's reason.
TEST(Headline, FlatDataGiveNoSize)
{
    std::vector<double> x, y;
    for (int i = 0; i < 50; ++i) {
        x.push_back(1.0 + i);
        y.push_back(i % 2 ? 1e-3 : -1e-3);
    }
    Measurement m;
    m.Load(FT::Points(x, y));
    FT::RecordedRunner discrete(FT::ReadFixture("bimodal.discrete.out"));
    ASSERT_EQ(m.RunDiscrete(DiscreteRequest{}, discrete).status, RunStatus::Ok);
    const std::string line = Line(m, quality::Subject::Discrete);
    EXPECT_EQ(line.rfind("2 components: no size (60 %), no size (40 %) (no size: no decay above the noise", 0), 0u) << line;
}
