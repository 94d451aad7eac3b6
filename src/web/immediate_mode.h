// The browser's stand-in for the GL, GLU and GLUT calls curve-viewer makes:
// their shared state, and the frame's triangles, gathered in window pixels
// and handed to the page's WebGL canvas in as few draws as fit the batch, or
// without WebGL filled in software and put on its 2D canvas whole.
#ifndef IMMEDIATE_MODE_H
#define IMMEDIATE_MODE_H

#include <array>

namespace web {

// A 4x4 matrix in GL's column-major order.
using Matrix = std::array<double, 16>;

// Multiplies the current matrix by the given one on the right, as glMultMatrixd does.
void multiplyCurrentMatrix(const Matrix& factor);

// Starts a frame in a drawing buffer of this many device pixels, in which one
// window pixel takes pixelScale of them: on the page's WebGL canvas, or in
// software for its 2D canvas.
void beginFrame(int width, int height, double pixelScale, bool inSoftware);

// Hands what the frame still holds to the canvas.
void finishFrame();

// Draws a bitmap of rows from the top, each byte eight pixels with the
// leftmost in its highest bit, as glBitmap would at the raster position, and
// moves the raster position on by advance window pixels.
void drawBitmap(const unsigned char* rows, int height, int xOrigin, int yOrigin, int advance);

}

#endif
