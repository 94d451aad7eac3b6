// The benchmark's baseline: the same 400x400 double-buffered RGB GLUT window
// as curve-viewer's, whose display callback only clears and swaps.
#ifdef __APPLE__
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif

namespace {

// Clears the window and shows it.
void clearAndSwap()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glutSwapBuffers();
}

}

// Opens the window and hands the thread to GLUT's event loop.
int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(400, 400);
    glutInitWindowPosition(100, 100);
    glutCreateWindow("bare");
    glClearColor(0.2f, 0.2f, 0.7f, 1.0f);
    glutDisplayFunc(clearAndSwap);
    glutMainLoop();
}
