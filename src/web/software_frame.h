// The frame drawn without WebGL: its triangles filled into RGBA pixels as GL
// fills them, for the page to put on a 2D canvas in one piece.
#ifndef SOFTWARE_FRAME_H
#define SOFTWARE_FRAME_H

#include <cstddef>
#include <vector>

namespace web {

// A corner of one of the frame's triangles, in device pixels from the lower
// left of the drawing buffer, with its colour.
struct FrameVertex {
    float x;
    float y;
    unsigned char colour[4];
};

// A drawing buffer in memory: RGBA rows from the top, as a canvas's image
// data holds them.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgba;
};

// Gives the pixels this size; what they hold then is undefined, as in a
// resized GL buffer.
void resizePixels(Pixels& pixels, int width, int height);

// Sets every pixel to the colour.
void clearPixels(Pixels& pixels, const unsigned char colour[4]);

// Fills the triangles, three vertices each, in the colour of each one's first
// vertex: a pixel is covered when its centre is inside, and a centre on an
// edge two triangles share is covered by one of them, as GL fills them.
void fillTriangles(Pixels& pixels, const FrameVertex* vertices, std::size_t count);

}

#endif
