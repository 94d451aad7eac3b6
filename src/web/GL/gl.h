/* The part of OpenGL 1.1 that curve-viewer calls, for the browser: drawn on
 * WebGL by the page's own immediate mode. */
#ifndef CURVE_VIEWER_WEB_GL_H
#define CURVE_VIEWER_WEB_GL_H

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef float GLfloat;
typedef double GLdouble;

#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_LINES 0x0001
#define GL_LINE_STRIP 0x0003
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701

#ifdef __cplusplus
extern "C" {
#endif

void glClear(GLbitfield mask);
void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glBegin(GLenum mode);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glEnd(void);
void glLineWidth(GLfloat width);
void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glRasterPos4dv(const GLdouble* v);

#ifdef __cplusplus
}
#endif

#endif
