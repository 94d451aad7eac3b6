// A stand-in for the few GL, GLU and GLUT calls of the viewer's callbacks that
// records what they were asked to draw instead of drawing it.
#ifndef GL_RECORDER_H
#define GL_RECORDER_H

#include <string>
#include <vector>

struct Vertex {
    float x;
    float y;
    float z;
};

struct Primitive {
    unsigned int mode = 0;
    std::vector<Vertex> vertices;
};

struct GlRecording {
    // Every call but glVertex3f and glutBitmapCharacter, with its arguments.
    std::vector<std::string> calls;
    std::vector<Primitive> primitives;
    // Characters drawn with the 8 by 13 bitmap font.
    std::string text;
    // Characters drawn with any other font.
    std::string textInOtherFonts;
    int redisplayRequests = 0;
};

// Forgets everything recorded so far.
void clearRecording();

// What the stand-in has recorded since the last clearRecording().
const GlRecording& recording();

#endif
