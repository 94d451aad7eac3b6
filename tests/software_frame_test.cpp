// The frame filled in software, held to cases checked by hand: which pixels
// a triangle covers where centres lie on its edges, and where it leaves the
// buffer.
#include "software_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

const unsigned char BLACK[4] = {0, 0, 0, 255};

struct Corner {
    float x;
    float y;
};

// The buffer, cleared to black, with the triangles of these corners filled in white.
web::Pixels filled(const std::vector<Corner>& corners, int width, int height)
{
    std::vector<web::FrameVertex> vertices(corners.size());
    std::transform(corners.begin(), corners.end(), vertices.begin(),
                   [](Corner corner) { return web::FrameVertex{corner.x, corner.y, {255, 255, 255, 255}}; });
    web::Pixels pixels;
    web::resizePixels(pixels, width, height);
    web::clearPixels(pixels, BLACK);
    web::fillTriangles(pixels, vertices.data(), vertices.size());
    return pixels;
}

bool isWhite(const web::Pixels& pixels, int column, int rowFromTop)
{
    return pixels.rgba[(static_cast<std::size_t>(rowFromTop) * pixels.width + column) * 4] == 255;
}

int coveredCount(const web::Pixels& pixels)
{
    int count = 0;
    for (int row = 0; row < pixels.height; ++row) {
        for (int column = 0; column < pixels.width; ++column) {
            count += isWhite(pixels, column, row) ? 1 : 0;
        }
    }
    return count;
}

TEST(SoftwareFrame, TwoTrianglesSharingAnEdgeThroughPixelCentresCoverEachPixelOnce)
{
    // The diagonal of the square runs through the centres of four of its pixels.
    const web::Pixels lower = filled({{0, 0}, {4, 0}, {4, 4}}, 4, 4);
    const web::Pixels upper = filled({{0, 0}, {4, 4}, {0, 4}}, 4, 4);
    int both = 0;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            EXPECT_TRUE(isWhite(lower, column, row) || isWhite(upper, column, row)) << column << ", " << row;
            both += isWhite(lower, column, row) && isWhite(upper, column, row) ? 1 : 0;
        }
    }
    EXPECT_EQ(0, both);
    EXPECT_EQ(16, coveredCount(lower) + coveredCount(upper));
}

TEST(SoftwareFrame, RectangleWithEdgesThroughCentresCoversOneOfEachPairOfEdges)
{
    // From centre to centre: three columns and three rows of centres on or
    // within it, of which one edge of each pair owns its own.
    const web::Pixels pixels =
        filled({{0.5f, 0.5f}, {2.5f, 0.5f}, {2.5f, 2.5f}, {0.5f, 0.5f}, {2.5f, 2.5f}, {0.5f, 2.5f}}, 4, 4);
    EXPECT_EQ(4, coveredCount(pixels));
}

TEST(SoftwareFrame, RowsRunFromTheTopAndATriangleBeyondTheBufferFillsItWhole)
{
    // A thin strip along the bottom, in GL's coordinates with y up.
    const web::Pixels bottom = filled({{0, 0}, {8, 0}, {8, 1}, {0, 0}, {8, 1}, {0, 1}}, 8, 4);
    EXPECT_EQ(8, coveredCount(bottom));
    EXPECT_TRUE(isWhite(bottom, 0, 3));
    EXPECT_FALSE(isWhite(bottom, 0, 0));
    EXPECT_EQ(6 * 5, coveredCount(filled({{-100, -100}, {300, -100}, {-100, 300}}, 6, 5)));
    EXPECT_EQ(0, coveredCount(filled({{10, 10}, {20, 10}, {10, 20}}, 6, 5)));
}

TEST(SoftwareFrame, ClearReachesEveryPixelOfABufferOfAnySize)
{
    const unsigned char colour[4] = {51, 51, 179, 255};
    web::Pixels pixels;
    web::resizePixels(pixels, 7, 5);
    web::clearPixels(pixels, colour);
    for (std::size_t byte = 0; byte < pixels.rgba.size(); ++byte) {
        ASSERT_EQ(colour[byte % 4], pixels.rgba[byte]) << "byte " << byte;
    }
}

}
