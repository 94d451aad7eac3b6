// A bare GLUT window of the size its arguments give that draws only the two
// long, two-pixel-wide lines curve-viewer draws as its x and y axes, through
// the same camera: what the GL driver makes of such lines, with nothing of
// the viewer's around them.
//
// Usage: long_wide_lines WIDTH HEIGHT
#include <GL/glut.h>

#include <cstdio>
#include <cstdlib>

namespace {

const GLfloat HALF_LENGTH = 300.0f;

// Clears the window and draws the two lines through its centre; names the
// GL renderer on standard output the first time.
void drawLines()
{
    static bool rendererNamed = false;
    if (!rendererNamed) {
        std::printf("%s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        std::fflush(stdout);
        rendererNamed = true;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(0.0, 0.0, 10.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    glBegin(GL_LINES);
    glVertex3f(-HALF_LENGTH, 0.0f, 0.0f);
    glVertex3f(HALF_LENGTH, 0.0f, 0.0f);
    glVertex3f(0.0f, -HALF_LENGTH, 0.0f);
    glVertex3f(0.0f, HALF_LENGTH, 0.0f);
    glEnd();
    glutSwapBuffers();
}

}

// Opens the window at the size asked for and hands the thread to GLUT.
int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    if (argc != 3) {
        return 2;
    }
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(std::atoi(argv[1]), std::atoi(argv[2]));
    // Wholly on the screen, where it can be captured.
    glutInitWindowPosition(0, 0);
    glutCreateWindow("long-wide-lines");
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 1.0, 0.01, 1000.0);
    glMatrixMode(GL_MODELVIEW);
    glClearColor(0.2f, 0.2f, 0.7f, 1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLineWidth(2.0f);
    glutDisplayFunc(drawLines);
    glutMainLoop();
}
