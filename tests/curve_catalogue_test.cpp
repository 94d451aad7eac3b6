#include "curve_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const double PI = std::acos(-1.0);

struct CurvePoint {
    std::uint32_t kind;
    double t;
    double expectedX;
    double expectedY;
};

// Selects a curve kind for one test and puts back the start-up kind after it.
class CurveCatalogueTest : public ::testing::Test {
protected:
    void TearDown() override { curveKind = 0; }
};

TEST_F(CurveCatalogueTest, PointsMatchTheFormulas)
{
    const CurvePoint points[] = {
        {0, 0.0, 0.0, 0.0},
        {1, 0.0, 0.0, 0.0},
        {2, 0.0, 1.0, 0.0},
        {3, 0.0, 2.0, 0.0},
        {4, 0.0, 0.0, 2.0},
        {5, 0.0, 2.0, 0.0},
        {1, PI / 4.0, PI / 4.0, 1.0},
        {4, PI / 12.0, PI / 12.0, 3.0},
        // The rosette's outermost reach, radius 3.
        {5, PI / 12.0, 3.0 * std::cos(PI / 12.0), 3.0 * std::sin(PI / 12.0)},
        // An innermost point of the rosette, radius 1.
        {5, PI / 4.0, std::cos(PI / 4.0), std::sin(PI / 4.0)},
    };
    for (const CurvePoint& point : points) {
        curveKind = point.kind;
        double x = NAN;
        double y = NAN;
        evaluateCurve(point.t, x, y);
        EXPECT_NEAR(point.expectedX, x, 1e-12) << "kind " << point.kind << " at t = " << point.t;
        EXPECT_NEAR(point.expectedY, y, 1e-12) << "kind " << point.kind << " at t = " << point.t;
    }
}

TEST_F(CurveCatalogueTest, LargerCircleIsExactlyTwiceTheUnitCircle)
{
    for (double t = -5.0; t <= 5.0; t += 0.37) {
        double unitX = NAN;
        double unitY = NAN;
        curveKind = 2;
        evaluateCurve(t, unitX, unitY);
        double x = NAN;
        double y = NAN;
        curveKind = 3;
        evaluateCurve(t, x, y);
        EXPECT_EQ(2.0 * unitX, x) << "at t = " << t;
        EXPECT_EQ(2.0 * unitY, y) << "at t = " << t;
    }
}

TEST_F(CurveCatalogueTest, KindOutOfRangeGivesTheOrigin)
{
    for (const std::uint32_t kind : {CURVE_KIND_COUNT, 7U, 0xFFFFFFFFU}) {
        curveKind = kind;
        double x = NAN;
        double y = NAN;
        evaluateCurve(1.0, x, y);
        EXPECT_EQ(0.0, x) << "kind " << kind;
        EXPECT_EQ(0.0, y) << "kind " << kind;
    }
}

TEST_F(CurveCatalogueTest, AdvanceStepsThroughAllKindsAndWraps)
{
    const std::uint32_t expectedSequence[] = {1, 2, 3, 4, 5, 0, 1};
    for (const std::uint32_t expected : expectedSequence) {
        advanceCurveKind();
        EXPECT_EQ(expected, curveKind);
    }
    for (std::uint32_t start = 0; start < CURVE_KIND_COUNT; ++start) {
        curveKind = start;
        for (std::uint32_t press = 0; press < CURVE_KIND_COUNT; ++press) {
            advanceCurveKind();
        }
        EXPECT_EQ(start, curveKind) << "six steps from kind " << start;
    }
}

TEST_F(CurveCatalogueTest, LabelsNameEachCurve)
{
    const char* const expected[CURVE_KIND_COUNT] = {
        "X=t, Y=sin(t)",
        "X=t, Y=sin(t*2)",
        "X=cos(t), Y=sin(t)",
        "X=2*cos(t), Y=2*sin(t)",
        "X=t, Y=2+sin(6*t)",
        "X=(2+sin(6*t))*cos(t), Y=(2+sin(6*t))*sin(t)",
    };
    for (std::uint32_t kind = 0; kind < CURVE_KIND_COUNT; ++kind) {
        EXPECT_STREQ(expected[kind], curveLabels[kind]) << "kind " << kind;
    }
}

}
