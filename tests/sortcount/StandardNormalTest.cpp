#include <gtest/gtest.h>

#include <cmath>

#include "sortcount/StandardNormal.h"

namespace vortel {
namespace {

TEST(StandardNormal, DistributionAndInverseAgreeWithReferenceValues) {
    struct Case {
        double z, p;  // P(Z <= z) = p, from MPFR's erfc
    };
    const Case cases[] = {
        {-10, 7.6198530241605255e-24},   {-6.361340902404056, 1e-10},
        {-1.96, 0.024997895148220435},   {-0.5, 0.30853753872598688},
        {-0.43072729929545744, 1.0 / 3}, {0, 0.5},
        {1.5, 0.93319279873114191},      {1.9599639845400536, 0.975},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(NormalCdf(c.z), c.p, 2e-14 * c.p) << c.z;
        EXPECT_NEAR(NormalQuantile(c.p), c.z, 1e-14 * std::fabs(c.z) + 1e-15) << c.p;
    }
    EXPECT_EQ(NormalQuantile(0.5), 0);
    EXPECT_EQ(NormalQuantile(0), -INFINITY);
    EXPECT_EQ(NormalQuantile(1), INFINITY);
    EXPECT_TRUE(std::isnan(NormalQuantile(1.5)));
}

}  // namespace
}  // namespace vortel
