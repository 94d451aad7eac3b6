#include "gl_recorder.h"

#include "viewer.h"

#include <sstream>

namespace {

GlRecording current;
bool insidePrimitive = false;

// Renders a call and its arguments the way a reader would write it.
template <typename... Args>
void recordCall(const char* name, Args... arguments)
{
    std::ostringstream call;
    call << name << '(';
    [[maybe_unused]] const char* separator = "";
    ((call << separator << arguments, separator = ", "), ...);
    call << ')';
    current.calls.push_back(call.str());
}

const char* primitiveName(GLenum mode)
{
    switch (mode) {
    case GL_LINES:
        return "GL_LINES";
    case GL_LINE_STRIP:
        return "GL_LINE_STRIP";
    default:
        return "other primitive";
    }
}

}

void clearRecording()
{
    current = GlRecording();
    insidePrimitive = false;
}

const GlRecording& recording()
{
    return current;
}

extern "C" {

void* glutBitmap8By13 = nullptr;

void glClear(GLbitfield mask)
{
    recordCall("glClear", mask == GL_COLOR_BUFFER_BIT ? "GL_COLOR_BUFFER_BIT" : "other buffers");
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue)
{
    recordCall("glColor3f", red, green, blue);
}

void glLoadIdentity()
{
    recordCall("glLoadIdentity");
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ)
{
    recordCall("gluLookAt", eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
}

void glBegin(GLenum mode)
{
    recordCall("glBegin", primitiveName(mode));
    current.primitives.push_back(Primitive{mode, {}});
    insidePrimitive = true;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (insidePrimitive) {
        current.primitives.back().vertices.push_back(Vertex{x, y, z});
    } else {
        recordCall("glVertex3f outside glBegin/glEnd", x, y, z);
    }
}

void glEnd()
{
    recordCall("glEnd");
    insidePrimitive = false;
}

void glRasterPos4dv(const GLdouble* position)
{
    recordCall("glRasterPos4dv", position[0], position[1], position[2], position[3]);
}

// The signature is GLUT's, font pointer included.
// cppcheck-suppress [constParameter, constParameterPointer]
void glutBitmapCharacter(void* font, int character)
{
    std::string& text = font == GLUT_BITMAP_8_BY_13 ? current.text : current.textInOtherFonts;
    text.push_back(static_cast<char>(character));
}

void glutSwapBuffers()
{
    recordCall("glutSwapBuffers");
}

void glutPostRedisplay()
{
    ++current.redisplayRequests;
}

}
