#include "curve_catalogue.h"
#include "viewer.h"

namespace {

// The camera stands this far out on the positive z axis, looking at the origin.
const GLdouble EYE_DISTANCE = 10.0;
const GLfloat AXIS_HALF_LENGTH = 300.0f;
const double FIRST_PARAMETER = -5.0;
const double PARAMETER_STEP = 0.01;
const double LAST_PARAMETER_BOUND = 5.0;
const GLfloat CURVE_PLANE_Z = 0.0f;
// Homogeneous position that lands near the upper left corner of the picture.
const GLdouble LABEL_RASTER_POSITION[4] = {-3.5, 3.5, 0.0, 1.0};

}

// Repaints the whole picture: axes, current curve and its label.
void display()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, EYE_DISTANCE, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    drawAxes();
    drawCurve();
    drawLabel();
    glutSwapBuffers();
}

// Draws the x, y and z axes as three long segments through the origin.
void drawAxes()
{
    glBegin(GL_LINES);
    glVertex3f(-AXIS_HALF_LENGTH, 0.0f, 0.0f);
    glVertex3f(AXIS_HALF_LENGTH, 0.0f, 0.0f);
    glVertex3f(0.0f, -AXIS_HALF_LENGTH, 0.0f);
    glVertex3f(0.0f, AXIS_HALF_LENGTH, 0.0f);
    glVertex3f(0.0f, 0.0f, -AXIS_HALF_LENGTH);
    glVertex3f(0.0f, 0.0f, AXIS_HALF_LENGTH);
    glEnd();
}

// Draws the current curve as one line strip over the parameter range.
void drawCurve()
{
    glBegin(GL_LINE_STRIP);
    // The parameter is accumulated by repeated addition, not recomputed from a
    // sample count: in double precision that gives exactly 1001 vertices.
    double t = FIRST_PARAMETER;
    do {
        double x = 0.0;
        double y = 0.0;
        evaluateCurve(t, x, y);
        glVertex3f(static_cast<GLfloat>(x), static_cast<GLfloat>(y), CURVE_PLANE_Z);
        t += PARAMETER_STEP;
    } while (t <= LAST_PARAMETER_BOUND);
    glEnd();
}

// Writes the current curve's formulas in the upper left of the picture.
void drawLabel()
{
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos4dv(LABEL_RASTER_POSITION);
    for (const char* character = curveLabels[curveKind]; *character != '\0'; ++character) {
        glutBitmapCharacter(GLUT_BITMAP_8_BY_13, static_cast<unsigned char>(*character));
    }
}
