#include "immediate_mode.h"
#include "software_frame.h"

#include <GL/gl.h>

#include <cmath>
#include <cstddef>

// The page's WebGL calls, and its 2D canvas's, in page.js.
extern "C" {
void pageClear(float red, float green, float blue, float alpha);
void pageDrawTriangles(const void* vertices, int count);
void pagePutPixels(const unsigned char* rgba, int width, int height);
}

namespace {

// Room for a whole frame of curve-viewer's: 1003 line segments and a label,
// six vertices to a segment and to each run of a glyph's row.
const std::size_t BATCH_CAPACITY = 16384;
const int BITMAP_WIDTH = 8;

struct ClipPoint {
    double x;
    double y;
    double z;
    double w;
};

struct WindowPoint {
    double x;
    double y;
};

const web::Matrix IDENTITY = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Everything GL keeps between calls, and the frame being drawn.
struct ImmediateMode {
    web::Matrix projection = IDENTITY;
    web::Matrix modelview = IDENTITY;
    GLenum matrixMode = GL_MODELVIEW;
    float clearColour[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    unsigned char colour[4] = {255, 255, 255, 255};
    float lineWidth = 1.0f;

    // Between glBegin and glEnd: the kind of lines, and the vertex that
    // starts the next segment.
    GLenum primitive = GL_LINES;
    bool hasSegmentStart = false;
    ClipPoint segmentStart{};

    bool rasterValid = false;
    WindowPoint raster{};

    int drawingWidth = 0;
    int drawingHeight = 0;
    double pixelScale = 1.0;
    // Without WebGL, the frame is drawn into these, and put on the canvas whole.
    bool inSoftware = false;
    web::Pixels pixels;

    web::FrameVertex batch[BATCH_CAPACITY];
    std::size_t batchCount = 0;
};

ImmediateMode state;

web::Matrix& currentMatrix()
{
    return state.matrixMode == GL_PROJECTION ? state.projection : state.modelview;
}

// Where the point of the plane lands in clip coordinates, through both matrices.
ClipPoint toClip(double x, double y, double z, double w)
{
    double eye[4];
    for (int row = 0; row < 4; ++row) {
        const web::Matrix& m = state.modelview;
        eye[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row] * w;
    }
    double clip[4];
    for (int row = 0; row < 4; ++row) {
        const web::Matrix& m = state.projection;
        clip[row] = m[row] * eye[0] + m[4 + row] * eye[1] + m[8 + row] * eye[2] + m[12 + row] * eye[3];
    }
    return ClipPoint{clip[0], clip[1], clip[2], clip[3]};
}

WindowPoint toWindow(const ClipPoint& point)
{
    return WindowPoint{(point.x / point.w + 1.0) * 0.5 * state.drawingWidth,
                       (point.y / point.w + 1.0) * 0.5 * state.drawingHeight};
}

ClipPoint between(const ClipPoint& from, const ClipPoint& to, double share)
{
    return ClipPoint{from.x + (to.x - from.x) * share, from.y + (to.y - from.y) * share,
                     from.z + (to.z - from.z) * share, from.w + (to.w - from.w) * share};
}

// Cuts the segment to the part between the near and the far plane; false if
// nothing of it is left. The sides are left to the canvas, which clips the
// widened segment as GL clips the segment before it widens it.
bool clipToDepthRange(ClipPoint& from, ClipPoint& to)
{
    // The near plane keeps z >= -w, the far plane z <= w.
    for (const double side : {1.0, -1.0}) {
        const double fromInside = from.w + side * from.z;
        const double toInside = to.w + side * to.z;
        if (fromInside < 0.0 && toInside < 0.0) {
            return false;
        }
        if (fromInside < 0.0) {
            from = between(from, to, fromInside / (fromInside - toInside));
        } else if (toInside < 0.0) {
            to = between(to, from, toInside / (toInside - fromInside));
        }
    }
    return true;
}

void flushBatch()
{
    if (state.batchCount == 0) {
        return;
    }
    if (state.inSoftware) {
        web::fillTriangles(state.pixels, state.batch, state.batchCount);
    } else {
        pageDrawTriangles(state.batch, static_cast<int>(state.batchCount));
    }
    state.batchCount = 0;
}

void addVertex(double x, double y)
{
    if (state.batchCount == BATCH_CAPACITY) {
        flushBatch();
    }
    web::FrameVertex& vertex = state.batch[state.batchCount++];
    vertex.x = static_cast<float>(x);
    vertex.y = static_cast<float>(y);
    for (int channel = 0; channel < 4; ++channel) {
        vertex.colour[channel] = state.colour[channel];
    }
}

// Adds the parallelogram with corners a - offset, a + offset, b - offset and b + offset.
void addParallelogram(WindowPoint a, WindowPoint b, WindowPoint offset)
{
    // Both triangles whole, so that no batch ends between them.
    if (state.batchCount + 6 > BATCH_CAPACITY) {
        flushBatch();
    }
    const WindowPoint corners[6] = {{a.x - offset.x, a.y - offset.y}, {a.x + offset.x, a.y + offset.y},
                                    {b.x + offset.x, b.y + offset.y}, {a.x - offset.x, a.y - offset.y},
                                    {b.x + offset.x, b.y + offset.y}, {b.x - offset.x, b.y - offset.y}};
    for (const WindowPoint& corner : corners) {
        addVertex(corner.x, corner.y);
    }
}

// Draws a segment as GL draws a wide line without smoothing: a parallelogram
// as wide as the line across its major axis, with ends along that axis.
void addSegment(ClipPoint from, ClipPoint to)
{
    if (!clipToDepthRange(from, to)) {
        return;
    }
    const WindowPoint a = toWindow(from);
    const WindowPoint b = toWindow(to);
    const double halfWidth = 0.5 * state.lineWidth * state.pixelScale;
    const bool xMajor = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
    addParallelogram(a, b, xMajor ? WindowPoint{0.0, halfWidth} : WindowPoint{halfWidth, 0.0});
}

unsigned char toByte(float channel)
{
    const float clamped = channel < 0.0f ? 0.0f : (channel > 1.0f ? 1.0f : channel);
    return static_cast<unsigned char>(std::lround(clamped * 255.0f));
}

}

namespace web {

void multiplyCurrentMatrix(const Matrix& factor)
{
    const Matrix left = currentMatrix();
    Matrix& product = currentMatrix();
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) {
                sum += left[k * 4 + row] * factor[column * 4 + k];
            }
            product[column * 4 + row] = sum;
        }
    }
}

void beginFrame(int width, int height, double pixelScale, bool inSoftware)
{
    state.drawingWidth = width;
    state.drawingHeight = height;
    state.pixelScale = pixelScale;
    state.inSoftware = inSoftware;
    state.batchCount = 0;
    if (inSoftware) {
        web::resizePixels(state.pixels, width, height);
    }
}

void finishFrame()
{
    flushBatch();
    if (state.inSoftware) {
        pagePutPixels(state.pixels.rgba.data(), state.pixels.width, state.pixels.height);
    }
}

void drawBitmap(const unsigned char* rows, int height, int xOrigin, int yOrigin, int advance)
{
    if (!state.rasterValid) {
        return;
    }
    // Each bitmap pixel covers pixelScale device pixels either way, from the
    // whole pixel the raster position falls in, less the bitmap's origin.
    const double scale = state.pixelScale;
    const double left = std::floor(state.raster.x - xOrigin * scale);
    const double bottom = std::floor(state.raster.y - yOrigin * scale);
    for (int row = 0; row < height; ++row) {
        const double y0 = bottom + (height - 1 - row) * scale;
        int column = 0;
        while (column < BITMAP_WIDTH) {
            const auto lit = [&](int at) { return at < BITMAP_WIDTH && ((rows[row] >> (7 - at)) & 1) != 0; };
            if (!lit(column)) {
                ++column;
                continue;
            }
            const int runStart = column;
            while (lit(column)) {
                ++column;
            }
            const double halfHeight = 0.5 * scale;
            addParallelogram(WindowPoint{left + runStart * scale, y0 + halfHeight},
                             WindowPoint{left + column * scale, y0 + halfHeight}, WindowPoint{0.0, halfHeight});
        }
    }
    state.raster.x += advance * scale;
}

}

void glClear(GLbitfield mask)
{
    if ((mask & GL_COLOR_BUFFER_BIT) == 0) {
        return;
    }
    flushBatch();
    if (state.inSoftware) {
        const unsigned char colour[4] = {toByte(state.clearColour[0]), toByte(state.clearColour[1]),
                                         toByte(state.clearColour[2]), toByte(state.clearColour[3])};
        web::clearPixels(state.pixels, colour);
    } else {
        pageClear(state.clearColour[0], state.clearColour[1], state.clearColour[2], state.clearColour[3]);
    }
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    state.clearColour[0] = red;
    state.clearColour[1] = green;
    state.clearColour[2] = blue;
    state.clearColour[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    state.colour[0] = toByte(red);
    state.colour[1] = toByte(green);
    state.colour[2] = toByte(blue);
    state.colour[3] = 255;
}

void glBegin(GLenum mode)
{
    state.primitive = mode;
    state.hasSegmentStart = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    const ClipPoint point = toClip(x, y, z, 1.0);
    if (!state.hasSegmentStart) {
        state.segmentStart = point;
        state.hasSegmentStart = true;
        return;
    }
    addSegment(state.segmentStart, point);
    // A strip goes on from this vertex; separate lines start afresh.
    state.segmentStart = point;
    state.hasSegmentStart = state.primitive == GL_LINE_STRIP;
}

void glEnd(void)
{
    state.hasSegmentStart = false;
}

void glLineWidth(GLfloat width)
{
    state.lineWidth = width;
}

void glMatrixMode(GLenum mode)
{
    state.matrixMode = mode;
}

void glLoadIdentity(void)
{
    currentMatrix() = IDENTITY;
}

void glRasterPos4dv(const GLdouble* v)
{
    const ClipPoint point = toClip(v[0], v[1], v[2], v[3]);
    const double w = point.w;
    // Outside the view volume the raster position is invalid and bitmaps draw nothing.
    state.rasterValid = std::fabs(point.x) <= w && std::fabs(point.y) <= w && std::fabs(point.z) <= w;
    if (state.rasterValid) {
        state.raster = toWindow(point);
    }
}
