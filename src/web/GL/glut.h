/* The GLUT calls curve-viewer makes, for the browser: the page's canvas is the
 * window, its keys the keyboard and its animation frames the main loop. */
#ifndef CURVE_VIEWER_WEB_GLUT_H
#define CURVE_VIEWER_WEB_GLUT_H

#include <GL/gl.h>
#include <GL/glu.h>

#define GLUT_RGB 0
#define GLUT_DOUBLE 2
/* GLUT names a font by an address; this one is the fixed 8 by 13 pixel font. */
#define GLUT_BITMAP_8_BY_13 ((void*)3)

#ifdef __cplusplus
extern "C" {
#endif

void glutInit(int* argcp, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
void glutInitWindowPosition(int x, int y);
int glutCreateWindow(const char* title);
void glutDisplayFunc(void (*callback)(void));
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
void glutMainLoop(void);
void glutPostRedisplay(void);
void glutSwapBuffers(void);
void glutBitmapCharacter(void* font, int character);

#ifdef __cplusplus
}
#endif

#endif
