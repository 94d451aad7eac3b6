#include "curve_catalogue.h"
#include "gl_recorder.h"
#include "viewer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::size_t CURVE_VERTEX_COUNT = 1001;

// Runs one display pass for the given curve kind against the recording stand-in.
const GlRecording& paint(std::uint32_t kind)
{
    curveKind = kind;
    clearRecording();
    display();
    curveKind = 0;
    return recording();
}

TEST(PlotDrawing, OnePassClearsDrawsAxesCurveAndLabelThenSwaps)
{
    const GlRecording& pass = paint(0);
    const std::vector<std::string> expectedCalls = {
        "glClear(GL_COLOR_BUFFER_BIT)",
        "glColor3f(1, 1, 1)",
        "glLoadIdentity()",
        "gluLookAt(0, 0, 10, 0, 0, 0, 0, 1, 0)",
        "glBegin(GL_LINES)",
        "glEnd()",
        "glBegin(GL_LINE_STRIP)",
        "glEnd()",
        "glColor3f(1, 1, 1)",
        "glRasterPos4dv(-3.5, 3.5, 0, 1)",
        "glutSwapBuffers()",
    };
    EXPECT_EQ(expectedCalls, pass.calls);

    ASSERT_EQ(2U, pass.primitives.size());
    const std::vector<Vertex>& axes = pass.primitives[0].vertices;
    const float axisEnds[6][3] = {
        {-300, 0, 0}, {300, 0, 0}, {0, -300, 0}, {0, 300, 0}, {0, 0, -300}, {0, 0, 300},
    };
    ASSERT_EQ(6U, axes.size());
    for (std::size_t i = 0; i < axes.size(); ++i) {
        EXPECT_EQ(axisEnds[i][0], axes[i].x) << "axis vertex " << i;
        EXPECT_EQ(axisEnds[i][1], axes[i].y) << "axis vertex " << i;
        EXPECT_EQ(axisEnds[i][2], axes[i].z) << "axis vertex " << i;
    }
}

TEST(PlotDrawing, CurveIsOneStripOf1001VerticesFromMinusFiveToFive)
{
    const std::vector<Vertex>& strip = paint(0).primitives.at(1).vertices;
    ASSERT_EQ(CURVE_VERTEX_COUNT, strip.size());
    EXPECT_EQ(-5.0f, strip.front().x);
    EXPECT_EQ(static_cast<float>(std::sin(-5.0)), strip.front().y);
    EXPECT_FLOAT_EQ(5.0f, strip.back().x);
    EXPECT_FLOAT_EQ(static_cast<float>(std::sin(5.0)), strip.back().y);
    for (std::size_t i = 1; i < strip.size(); ++i) {
        ASSERT_NEAR(0.01f, strip[i].x - strip[i - 1].x, 1e-5f) << "step into vertex " << i;
        ASSERT_EQ(0.0f, strip[i].z) << "vertex " << i;
    }
}

TEST(PlotDrawing, EveryKindDrawsItsFullStripAndItsOwnLabel)
{
    for (std::uint32_t kind = 0; kind < CURVE_KIND_COUNT; ++kind) {
        const GlRecording& pass = paint(kind);
        ASSERT_EQ(2U, pass.primitives.size()) << "kind " << kind;
        EXPECT_EQ(CURVE_VERTEX_COUNT, pass.primitives[1].vertices.size()) << "kind " << kind;
        EXPECT_EQ(curveLabels[kind], pass.text) << "kind " << kind;
        EXPECT_EQ("", pass.textInOtherFonts) << "kind " << kind;
    }
}

}
