#include "sets/AngleFit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace fluvena::sets {
namespace {

// A point whose D_app is y at q^2 = x.
AnglePoint At(double x, double y, double yErr = 0.0, bool included = true)
{
    return AnglePoint{std::sqrt(x), y * x, yErr * x, included};
}

TEST(AngleFit, TextbookLineWithErrorsFromTheScatter)
{
    // y = 2/3 + x/2 through (1,1), (2,2), (3,2): residuals -1/6, 1/3, -1/6,
    // s^2 = 1/6 on one degree of freedom; se(a) = sqrt(s^2 * 14/6), se(b) = sqrt(s^2 / 2).
    const std::vector<AnglePoint> pts{At(1, 1), At(2, 2), At(3, 2), At(9, 100, 0, false)};
    const auto fit = FitApparentDiffusion(pts);
    ASSERT_TRUE(fit) << fit.failure().message();
    EXPECT_FALSE(fit->weighted);
    EXPECT_EQ(fit->points, 3);
    EXPECT_NEAR(fit->d0, 2.0 / 3.0, 1e-12);
    EXPECT_NEAR(fit->slope, 0.5, 1e-12);
    EXPECT_NEAR(fit->d0Err, std::sqrt(14.0 / 36.0), 1e-12);
    EXPECT_NEAR(fit->slopeErr, std::sqrt(1.0 / 12.0), 1e-12);
    EXPECT_NEAR(fit->rSquared, 0.75, 1e-12);  // 1 - (1/6) / (2/3)
    EXPECT_NEAR(fit->tQuantile, 12.7062, 1e-4);  // t(0.975, 1)
    // At x = 0 the band is the intercept's own interval; cov(a, b) = -s^2 * 6/6.
    EXPECT_NEAR(fit->BandHalfWidthAt(0.0), fit->tQuantile * fit->d0Err, 1e-12);
    EXPECT_NEAR(fit->covariance, -1.0 / 6.0, 1e-12);
}

TEST(AngleFit, WeightsFavourThePreciseAngles)
{
    // The same three points, the middle one 100 times less certain: the line
    // runs through the outer two.
    const std::vector<AnglePoint> pts{At(1, 1, 0.01), At(2, 2, 1.0), At(3, 2, 0.01)};
    const auto fit = FitApparentDiffusion(pts);
    ASSERT_TRUE(fit);
    EXPECT_TRUE(fit->weighted);
    EXPECT_NEAR(fit->d0, 0.5, 1e-3);
    EXPECT_NEAR(fit->slope, 0.5, 1e-3);
}

TEST(AngleFit, ExactLineOverRealisticAngles)
{
    // D_app = D0 (1 + C q^2) at 30 ... 150 degrees, 632.8 nm in water.
    const double d0 = 3.4e-12, c = 2.0e-15;
    std::vector<AnglePoint> pts;
    for (double deg = 30; deg <= 150; deg += 20) {
        const double q = 4 * M_PI * 1.332 * std::sin(deg * M_PI / 360) / 632.8e-9;
        const double dApp = d0 * (1 + c * q * q);
        pts.push_back(AnglePoint{q, dApp * q * q, 0.01 * dApp * q * q});
    }
    const auto fit = FitApparentDiffusion(pts);
    ASSERT_TRUE(fit);
    EXPECT_NEAR(fit->d0 / d0, 1.0, 1e-9);
    EXPECT_NEAR(fit->slope / (d0 * c), 1.0, 1e-7);
    EXPECT_NEAR(fit->rSquared, 1.0, 1e-12);
}

TEST(AngleFit, RefusesWhatCannotBeFitted)
{
    const std::vector<std::vector<AnglePoint>> cases{
        {At(1, 1)},                                 // one point
        {At(1, 1), At(2, 2, 0, false)},             // one included
        {At(1, 1), At(1, 1.1)},                     // one angle twice
        {At(1, 1), AnglePoint{0.0, 1.0, 0, true}},  // q = 0
        {At(1, 1), At(2, -1)},                      // negative rate
    };
    for (std::size_t i = 0; i < cases.size(); ++i)
        EXPECT_FALSE(FitApparentDiffusion(cases[i])) << "case " << i;
}

}  // namespace
}  // namespace fluvena::sets
