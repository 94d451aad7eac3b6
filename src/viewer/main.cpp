#include "viewer.h"

namespace {

const int WINDOW_WIDTH = 400;
const int WINDOW_HEIGHT = 400;
const int WINDOW_X = 100;
const int WINDOW_Y = 100;
const char* const WINDOW_TITLE = "foo!";

const GLdouble FIELD_OF_VIEW_DEGREES = 45.0;
const GLdouble ASPECT_RATIO = 1.0;
const GLdouble NEAR_PLANE = 0.01;
const GLdouble FAR_PLANE = 1000.0;

const GLfloat CLEAR_RED = 0.2f;
const GLfloat CLEAR_GREEN = 0.2f;
const GLfloat CLEAR_BLUE = 0.7f;
const GLfloat CLEAR_ALPHA = 1.0f;
const GLfloat LINE_WIDTH = 2.0f;

// Fixes the projection and the drawing state that never change afterwards.
void initGraphics()
{
    // The projection is loaded once: a resized window keeps this square aspect
    // and its picture stretches with it.
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(FIELD_OF_VIEW_DEGREES, ASPECT_RATIO, NEAR_PLANE, FAR_PLANE);
    // The drawing pass relies on the modelview matrix being the current one.
    glMatrixMode(GL_MODELVIEW);
    glClearColor(CLEAR_RED, CLEAR_GREEN, CLEAR_BLUE, CLEAR_ALPHA);
    glLineWidth(LINE_WIDTH);
}

}

// Opens the window, sets up drawing and hands the thread to GLUT's event loop.
int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    glutInitWindowPosition(WINDOW_X, WINDOW_Y);
    glutCreateWindow(WINDOW_TITLE);
    initGraphics();
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutMainLoop();
}
