// A DISCRETE component's decay time and size, one policy for both shells.
#include "core/Components.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace fluvena;

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
        if (t) EXPECT_EQ(std::pair(t->value, t->percentErr), std::pair(1.0 / c.rate, c.rateErr));
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
    DiscreteRequest r;
    r.maxComponents = 4;
    EXPECT_EQ(ComponentGroups(r), 4u);
    r.maxComponents = -2;
    EXPECT_EQ(ComponentGroups(r), 0u);
}
