// Captured window contents and piglit-style probes of their pixels.
#ifndef PICTURE_H
#define PICTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct Rgb {
    int red;
    int green;
    int blue;
};

const Rgb WHITE = {255, 255, 255};
// The clear colour (0.2, 0.2, 0.7) in 8 bits; 0.7 lands between 178 and 179.
const Rgb BACKGROUND = {51, 51, 178};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    const Rgb& at(int column, int row) const
    {
        return pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(column)];
    }
};

// A point of the plane z = 0 and the pixel it lands on.
struct PlanePoint {
    double x;
    double y;
};

struct PixelPoint {
    int column;
    int row;
};

// The pixel the plane point lands on in a picture of this size, as the fixed
// camera and projection place it.
PixelPoint toPixel(PlanePoint point, int width, int height);

// Whether the colour is the expected one, within a few levels per channel.
bool matches(const Rgb& observed, const Rgb& expected);

// The first row below the label's glyphs in a picture this high.
int rowBelowLabel(int height);

// Every pixel of the rectangle has the expected colour, within a few levels.
::testing::AssertionResult probeRect(const Picture& picture, int column, int row, int width, int height,
                                     Rgb expected);

// Some pixel within radius of the given one is white.
::testing::AssertionResult probeWhiteNear(const Picture& picture, PixelPoint centre, int radius);

// Which of the two axes a picture is expected to show.
struct Axes {
    bool horizontal = true;
    bool vertical = true;
};

// The x and y axes, or those of them asked for, cross at the centre of the
// picture and run to its edges.
::testing::AssertionResult probeAxes(const Picture& picture, Axes axes = {});

// The label in the upper left reads like the text: ink in every character
// cell but the spaces, and none after the last character; its glyphs' pixels
// are scale pixels either way.
::testing::AssertionResult probeLabel(const Picture& picture, const std::string& text, int scale = 1);

// Every pixel has one of the colours, within a few levels.
::testing::AssertionResult probeOnly(const Picture& picture, const std::vector<Rgb>& colours);

// Some square of size pixels either way, on a grid of such squares, holds two
// colours: the picture has detail finer than squares that size, as one drawn
// at its own resolution does and one enlarged from a smaller one does not.
::testing::AssertionResult probeDetailFinerThan(const Picture& picture, int size);

// The rectangle of the picture with its upper left corner at (column, row).
Picture cropped(const Picture& picture, int column, int row, int width, int height);

// The two pictures are equal pixel for pixel.
::testing::AssertionResult samePicture(const Picture& expected, const Picture& observed);

#endif
