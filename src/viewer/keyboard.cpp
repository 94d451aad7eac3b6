#include "curve_catalogue.h"
#include "viewer.h"

#include <cstdlib>

namespace {

const unsigned char ESCAPE_KEY = 27;
// Escape is how the user ends the viewer, and it reports that as status 1.
const int ESCAPE_EXIT_STATUS = 1;

}

// Shows the next curve on any key, exits upon Escape.
void keyboard(unsigned char key, int /*x*/, int /*y*/)
{
    if (key == ESCAPE_KEY) {
        std::exit(ESCAPE_EXIT_STATUS);
    }
    advanceCurveKind();
    glutPostRedisplay();
}
