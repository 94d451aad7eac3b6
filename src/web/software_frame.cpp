#include "software_frame.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// Corners snap to a 256th of a pixel, as GL's rasterisers snap them. The
// snapped coordinates are whole numbers held in doubles, whose sums and
// products stay exact for any frame within a few hundred thousand pixels of
// the buffer: so two triangles agree on which of them a centre on their
// shared edge belongs to. Doubles, not 64-bit integers, because the page's
// JavaScript build runs them as they are, where it splits 64-bit integers.
const double PIXEL = 256.0;
const double HALF_PIXEL = PIXEL / 2;
const int CHANNELS = 4;

struct SnappedPoint {
    double x;
    double y;
};

SnappedPoint snap(const web::FrameVertex& vertex)
{
    return SnappedPoint{std::round(vertex.x * PIXEL), std::round(vertex.y * PIXEL)};
}

// Twice the area of the triangle (from, to, point): positive when the point
// lies to the left of the edge from -> to.
double leftOf(SnappedPoint from, SnappedPoint to, SnappedPoint point)
{
    return (to.x - from.x) * (point.y - from.y) - (to.y - from.y) * (point.x - from.x);
}

// Whether a counter-clockwise triangle covers the centres on this edge of
// its: those on its left and top edges, which the neighbour across them
// does not cover. With y up, a left edge runs down and a top edge runs left.
bool coversItsEdge(SnappedPoint from, SnappedPoint to)
{
    return to.y < from.y || (to.y == from.y && to.x < from.x);
}

// The columns, or rows, first to last, of the centres within [low, high],
// kept within the buffer's count of them; none where first > last.
struct Span {
    int first;
    int last;
};

// Keeps a bound, which may lie far beyond the buffer or be no number at
// all, within one step of the buffer's count of pixels.
int withinReach(double bound, int count)
{
    return bound >= 0 ? (bound < count ? static_cast<int>(bound) : count) : -1;
}

Span centresWithin(double low, double high, int count)
{
    return Span{std::max(withinReach(std::ceil((low - HALF_PIXEL) / PIXEL), count), 0),
                std::min(withinReach(std::floor((high - HALF_PIXEL) / PIXEL), count), count - 1)};
}

// Narrows the span of a row to the centres on the inner side of one edge of
// a counter-clockwise triangle, or on the edge where the triangle covers it.
// Along the row the edge's side is linear in the column, so each edge cuts
// the row once.
void narrowToEdge(Span& columns, SnappedPoint from, SnappedPoint to, double rowCentre, int width)
{
    const bool covered = coversItsEdge(from, to);
    // The side of the row's first centre, and its change from one column to the next.
    const double atFirstColumn = leftOf(from, to, SnappedPoint{HALF_PIXEL, rowCentre});
    const double step = -(to.y - from.y) * PIXEL;
    // Inside where atFirstColumn + step * column >= least, sides being whole numbers.
    const double least = covered ? 0 : 1;
    if (step == 0) {
        if (atFirstColumn < least) {
            columns.last = -1;
        }
    } else if (step > 0) {
        columns.first = std::max(columns.first, withinReach(std::ceil((least - atFirstColumn) / step), width));
    } else {
        columns.last = std::min(columns.last, withinReach(std::floor((least - atFirstColumn) / step), width));
    }
}

// Fills the pixels whose centres a counter-clockwise triangle covers, a row's span at a time.
void fillCounterClockwise(web::Pixels& pixels, SnappedPoint a, SnappedPoint b, SnappedPoint c,
                          const unsigned char* colour)
{
    const Span rows = centresWithin(std::min({a.y, b.y, c.y}), std::max({a.y, b.y, c.y}), pixels.height);
    const Span bounds = centresWithin(std::min({a.x, b.x, c.x}), std::max({a.x, b.x, c.x}), pixels.width);
    for (int row = rows.first; row <= rows.last; ++row) {
        const double rowCentre = row * PIXEL + HALF_PIXEL;
        Span columns = bounds;
        narrowToEdge(columns, b, c, rowCentre, pixels.width);
        narrowToEdge(columns, c, a, rowCentre, pixels.width);
        narrowToEdge(columns, a, b, rowCentre, pixels.width);
        unsigned char* line =
            pixels.rgba.data() + static_cast<std::size_t>(pixels.height - 1 - row) * pixels.width * CHANNELS;
        for (int column = columns.first; column <= columns.last; ++column) {
            std::memcpy(line + static_cast<std::size_t>(column) * CHANNELS, colour, CHANNELS);
        }
    }
}

// Fills a triangle of either winding; one of no area covers nothing.
void fillTriangle(web::Pixels& pixels, SnappedPoint a, SnappedPoint b, SnappedPoint c, const unsigned char* colour)
{
    const double area = leftOf(a, b, c);
    if (area > 0) {
        fillCounterClockwise(pixels, a, b, c, colour);
    } else if (area < 0) {
        fillCounterClockwise(pixels, a, c, b, colour);
    }
}

}

namespace web {

void resizePixels(Pixels& pixels, int width, int height)
{
    pixels.width = width;
    pixels.height = height;
    pixels.rgba.resize(static_cast<std::size_t>(width) * height * CHANNELS);
}

void clearPixels(Pixels& pixels, const unsigned char colour[4])
{
    // One pixel, then copies of what is done, each twice the last: the
    // copies are the C library's, which the page's builds hand to the
    // browser's own copy.
    const std::size_t size = pixels.rgba.size();
    if (size == 0) {
        return;
    }
    unsigned char* start = pixels.rgba.data();
    std::memcpy(start, colour, CHANNELS);
    for (std::size_t done = CHANNELS; done < size; done *= 2) {
        std::memcpy(start + done, start, std::min(done, size - done));
    }
}

void fillTriangles(Pixels& pixels, const FrameVertex* vertices, std::size_t count)
{
    for (std::size_t first = 0; first + 2 < count; first += 3) {
        fillTriangle(pixels, snap(vertices[first]), snap(vertices[first + 1]), snap(vertices[first + 2]),
                     vertices[first].colour);
    }
}

}
