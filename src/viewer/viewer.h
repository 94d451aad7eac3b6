// The viewer's GLUT callbacks and the pieces of the picture the display callback draws.
#ifndef VIEWER_H
#define VIEWER_H

#ifdef __APPLE__
#include <GLUT/glut.h>
#else
#include <GL/glut.h>
#endif

// Repaints the whole picture: axes, current curve and its label.
void display();

// Draws the x, y and z axes as three long segments through the origin.
void drawAxes();

// Draws the current curve as one line strip over the parameter range.
void drawCurve();

// Writes the current curve's formulas in the upper left of the picture.
void drawLabel();

// Shows the next curve on any key, exits upon Escape.
void keyboard(unsigned char key, int x, int y);

#endif
