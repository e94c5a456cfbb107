// The one-line answer of each analysis, from the solution the program chose,
// and a DISCRETE component's decay time and size (one policy for both shells).
#include "core/Headline.h"

#include "../TestData.h"
#include "core/Components.h"
#include "core/Measurement.h"

#include <gtest/gtest.h>

#include <limits>

using namespace fluvena;
namespace FT = fluvena::testing;

namespace {

std::string Line(const Measurement& m, quality::Subject subject, char sep = '.')
{
    const std::optional<Headline> h = MakeHeadline(m, subject, quality::Assess(m, subject));
    return h ? HeadlineText(*h, sep) : "(none)";
}

}  // namespace

// Each analysis's line, and none before it has a result: the cumulant fit of a
// real file; the listings' chosen (CONTIN) and best (DISCRETE) solutions with
// their shares, whatever solution is on show (the default sample, 488 nm, 90
// degrees, 293.16 K, 1.006 cP, time in us: q = 2.4255e7 1/m, turns decay times
// of 10 and 200 us into 1.26 and 25.1 nm); a flat correlation's reason for no size.
TEST(Headline, EachAnalysisFromItsChosenSolution)
{
    using S = quality::Subject;
    std::vector<double> x, y;
    for (int i = 0; i < 50; ++i) x.push_back(1.0 + i), y.push_back(i % 2 ? 1e-3 : -1e-3);
    struct Case { io::DataFile data; S subject; const char* listing; std::string line; bool whole = true; };
    const Case cases[] = {
        {FT::LoadFixture("alv/LC8.2_0001.ASC"), S::Cumulants, "",
         "z-average 560 nm (d 1121 nm) \xC2\xB7 PDI 0.25 \xC2\xB7 \xCE\xB2 0.22"},
        {FT::LoadFixture("bimodal.txt"), S::Contin, "bimodal.contin.out",
         "chosen solution 7: 0.0289 nm (7 %), 1.26 nm (56 %), 25.1 nm (37 %)"},
        {FT::LoadFixture("bimodal.txt"), S::Discrete, "bimodal.discrete.out",
         "2 components: 1.26 nm (60 %), 25.3 nm (40 %)"},
        {FT::Points(x, y), S::Discrete, "bimodal.discrete.out",
         "2 components: no size (60 %), no size (40 %) (no size: no decay above the noise", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Measurement m;
        m.Load(c.data);
        EXPECT_EQ(Line(m, c.subject), "(none)");
        FT::RecordedRunner runner(*c.listing ? FT::ReadFixture(c.listing) : "");
        const RunReport report = c.subject == S::Cumulants ? m.RunCumulants(CumulantRequest{})
                                 : c.subject == S::Contin  ? m.RunContin(ContinRequest{}, runner)
                                                           : m.RunDiscrete(DiscreteRequest{}, runner);
        ASSERT_EQ(report.status, RunStatus::Ok) << report.failure.message();
        m.ShowContin(0);  // the solution on show does not change the headline
        const std::string line = Line(m, c.subject);
        EXPECT_EQ(c.whole ? line : line.substr(0, c.line.size()), c.line);
    }
}

TEST(Components, DecayTimeSizeAndAZeroRate)
{
    SampleParameters sample;  // 90 degrees, 488 nm, water at 20 C; lag times in us
    struct Case { double rate, rateErr; bool hasTime; const char* failure; };
    const Case cases[] = {
        {0.004, 5.0, true, ""},
        {-0.004, 5.0, true, "a size needs a positive decay time, not -250"},
        {0.0, 5.0, false, "a component of rate 0 has no decay time, so no size"},
        {1e-310, 1.0, false, "a component of rate 1e-310 has no decay time, so no size"},
        {std::numeric_limits<double>::quiet_NaN(), 1.0, false, "a component of rate nan has no decay time, so no size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rate);
        const Component comp{0.5, 1.0, c.rate, c.rateErr};
        const std::optional<DecayTime> t = ComponentDecayTime(comp);
        ASSERT_EQ(t.has_value(), c.hasTime);
        if (t) {
            EXPECT_EQ(std::pair(t->value, t->percentErr), std::pair(1.0 / c.rate, c.rateErr));
        }
        const Outcome<physics::SizeEstimate> size = ComponentSize(comp, sample);
        EXPECT_EQ(size ? std::string() : size.failure().message(), c.failure);
        if (!size) continue;
        const Outcome<physics::SizeEstimate> direct = physics::SizeFromDecayTime(250.0, 5.0, sample);
        EXPECT_EQ(std::pair(size->radiusNm, size->radiusErrNm), std::pair(direct->radiusNm, direct->radiusErrNm));
    }
}

TEST(Components, GroupsFollowTheLastRequest)
{
    EXPECT_EQ(ComponentGroups(std::nullopt), 0u);
    for (const auto& [asked, groups] : {std::pair{4, 4u}, std::pair{-2, 0u}})
        EXPECT_EQ(ComponentGroups(DiscreteRequest{.maxComponents = asked}), groups) << asked;
}
