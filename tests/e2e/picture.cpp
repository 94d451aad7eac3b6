#include "picture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

// A few levels either way absorb rounding of the clear colour to 8 bits.
const int TOLERANCE = 3;

// Half the width of the visible plane at z = 0: the camera stands 10 units
// away and sees 22.5 degrees either side of its line of sight.
const double PLANE_HALF_EXTENT = 10.0 * std::tan(22.5 * std::acos(-1.0) / 180.0);

// The label's raster position, and how far its 8 by 13 glyphs reach above
// and below their baseline.
const PlanePoint LABEL_POSITION = {-3.5, 3.5};
const int GLYPH_ASCENT = 12;
const int GLYPH_DESCENT = 2;
const int CHARACTER_WIDTH = 8;

// Whether the pixel lies within the picture.
bool inside(const Picture& picture, int column, int row)
{
    return column >= 0 && row >= 0 && column < picture.width && row < picture.height;
}

// Writes the colour as (red, green, blue).
std::string describe(const Rgb& colour)
{
    std::ostringstream text;
    text << '(' << colour.red << ", " << colour.green << ", " << colour.blue << ')';
    return text.str();
}

// Whether any pixel of the character cell, of glyphs this many times their
// size, is white, leaving out the columns of the vertical axis, which crosses
// the label's row.
bool cellHasInk(const Picture& picture, PixelPoint origin, int cell, int scale)
{
    const int axisColumn = picture.width / 2;
    const int width = CHARACTER_WIDTH * scale;
    for (int row = origin.row - GLYPH_ASCENT * scale; row <= origin.row + GLYPH_DESCENT * scale; ++row) {
        for (int column = origin.column + cell * width; column < origin.column + (cell + 1) * width; ++column) {
            if (inside(picture, column, row) && std::abs(column - axisColumn) > 2 * scale &&
                matches(picture.at(column, row), WHITE)) {
                return true;
            }
        }
    }
    return false;
}

}

bool matches(const Rgb& observed, const Rgb& expected)
{
    return std::abs(observed.red - expected.red) <= TOLERANCE &&
           std::abs(observed.green - expected.green) <= TOLERANCE &&
           std::abs(observed.blue - expected.blue) <= TOLERANCE;
}

int rowBelowLabel(int height)
{
    return toPixel(LABEL_POSITION, 0, height).row + GLYPH_DESCENT + 1;
}

PixelPoint toPixel(PlanePoint point, int width, int height)
{
    const double column = (point.x / PLANE_HALF_EXTENT + 1.0) * width / 2.0;
    const double row = (1.0 - point.y / PLANE_HALF_EXTENT) * height / 2.0;
    return PixelPoint{static_cast<int>(std::floor(column)), static_cast<int>(std::floor(row))};
}

::testing::AssertionResult probeRect(const Picture& picture, int column, int row, int width, int height,
                                     Rgb expected)
{
    for (int y = row; y < row + height; ++y) {
        for (int x = column; x < column + width; ++x) {
            if (!inside(picture, x, y)) {
                return ::testing::AssertionFailure() << "probe at (" << x << ", " << y << "): outside the "
                                                     << picture.width << "x" << picture.height << " picture";
            }
            if (!matches(picture.at(x, y), expected)) {
                return ::testing::AssertionFailure()
                       << "probe at (" << x << ", " << y << ") in the " << width << "x" << height
                       << " rectangle at (" << column << ", " << row << "): expected " << describe(expected)
                       << ", observed " << describe(picture.at(x, y));
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult probeWhiteNear(const Picture& picture, PixelPoint centre, int radius)
{
    for (int row = centre.row - radius; row <= centre.row + radius; ++row) {
        for (int column = centre.column - radius; column <= centre.column + radius; ++column) {
            if (inside(picture, column, row) && matches(picture.at(column, row), WHITE)) {
                return ::testing::AssertionSuccess();
            }
        }
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "probe within " << radius << " pixels of (" << centre.column << ", " << centre.row
            << "): expected white " << describe(WHITE) << ", observed no white";
    if (inside(picture, centre.column, centre.row)) {
        failure << "; " << describe(picture.at(centre.column, centre.row)) << " at the centre";
    }
    return failure;
}

::testing::AssertionResult probeAxes(const Picture& picture, Axes axes)
{
    for (const double fraction : {0.05, 0.3, 0.7, 0.95}) {
        const int row = static_cast<int>(fraction * picture.height);
        const int column = static_cast<int>(fraction * picture.width);
        if (axes.vertical) {
            ::testing::AssertionResult vertical = probeWhiteNear(picture, PixelPoint{picture.width / 2, row}, 1);
            if (!vertical) {
                return vertical << " on the vertical axis";
            }
        }
        if (axes.horizontal) {
            ::testing::AssertionResult horizontal = probeWhiteNear(picture, PixelPoint{column, picture.height / 2}, 1);
            if (!horizontal) {
                return horizontal << " on the horizontal axis";
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult probeLabel(const Picture& picture, const std::string& text, int scale)
{
    std::string expectedInk;
    for (const char character : text) {
        expectedInk += character == ' ' ? '.' : '#';
    }
    const PixelPoint origin = toPixel(LABEL_POSITION, picture.width, picture.height);
    std::string observedInk;
    for (int cell = 0; origin.column + cell * CHARACTER_WIDTH * scale < picture.width; ++cell) {
        observedInk += cellHasInk(picture, origin, cell, scale) ? '#' : '.';
    }
    expectedInk.resize(observedInk.size(), '.');
    if (expectedInk == observedInk) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "label \"" << text << "\" in " << CHARACTER_WIDTH * scale << "-pixel cells from column " << origin.column
           << " on the baseline at row " << origin.row << " ('#' a cell with ink):\n  expected " << expectedInk
           << "\n  observed " << observedInk;
}

::testing::AssertionResult samePicture(const Picture& expected, const Picture& observed)
{
    if (expected.width != observed.width || expected.height != observed.height) {
        return ::testing::AssertionFailure() << "picture size: expected " << expected.width << "x" << expected.height
                                             << ", observed " << observed.width << "x" << observed.height;
    }
    int differing = 0;
    int firstColumn = 0;
    int firstRow = 0;
    for (int row = 0; row < expected.height; ++row) {
        for (int column = 0; column < expected.width; ++column) {
            const Rgb& a = expected.at(column, row);
            const Rgb& b = observed.at(column, row);
            if (a.red != b.red || a.green != b.green || a.blue != b.blue) {
                if (differing == 0) {
                    firstColumn = column;
                    firstRow = row;
                }
                ++differing;
            }
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << differing << " pixels differ; the first at (" << firstColumn << ", " << firstRow << "): expected "
           << describe(expected.at(firstColumn, firstRow)) << ", observed "
           << describe(observed.at(firstColumn, firstRow));
}

::testing::AssertionResult probeOnly(const Picture& picture, const std::vector<Rgb>& colours)
{
    for (int row = 0; row < picture.height; ++row) {
        for (int column = 0; column < picture.width; ++column) {
            const Rgb& observed = picture.at(column, row);
            if (std::none_of(colours.begin(), colours.end(),
                             [&observed](const Rgb& colour) { return matches(observed, colour); })) {
                ::testing::AssertionResult failure = ::testing::AssertionFailure();
                failure << "probe at (" << column << ", " << row << "): expected one of";
                for (const Rgb& colour : colours) {
                    failure << " " << describe(colour);
                }
                return failure << ", observed " << describe(observed);
            }
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult probeDetailFinerThan(const Picture& picture, int size)
{
    for (int top = 0; top + size <= picture.height; top += size) {
        for (int left = 0; left + size <= picture.width; left += size) {
            if (!probeRect(picture, left, top, size, size, picture.at(left, top))) {
                return ::testing::AssertionSuccess();
            }
        }
    }
    return ::testing::AssertionFailure() << "every square of " << size << "x" << size
                                         << " pixels on their grid is of one colour, as in a picture enlarged "
                                         << size << " times";
}

Picture cropped(const Picture& picture, int column, int row, int width, int height)
{
    Picture part;
    part.width = width;
    part.height = height;
    for (int y = row; y < row + height; ++y) {
        for (int x = column; x < column + width; ++x) {
            part.pixels.push_back(picture.at(x, y));
        }
    }
    return part;
}
