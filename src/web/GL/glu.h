/* The two GLU calls curve-viewer makes: its projection and its camera. */
#ifndef CURVE_VIEWER_WEB_GLU_H
#define CURVE_VIEWER_WEB_GLU_H

#include <GL/gl.h>

#ifdef __cplusplus
extern "C" {
#endif

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ);

#ifdef __cplusplus
}
#endif

#endif
