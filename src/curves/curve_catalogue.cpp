#include "curve_catalogue.h"

#include <cmath>

std::uint32_t curveKind = 0;

const char* const curveLabels[CURVE_KIND_COUNT] = {
    "X=t, Y=sin(t)",
    "X=t, Y=sin(t*2)",
    "X=cos(t), Y=sin(t)",
    "X=2*cos(t), Y=2*sin(t)",
    "X=t, Y=2+sin(6*t)",
    "X=(2+sin(6*t))*cos(t), Y=(2+sin(6*t))*sin(t)",
};

// Sets (x, y) to the point of the current curve at parameter t.
void evaluateCurve(double t, double& x, double& y)
{
    switch (curveKind) {
    case 0:
        x = t;
        y = std::sin(t);
        break;
    case 1:
        x = t;
        y = std::sin(2.0 * t);
        break;
    case 2:
        x = std::cos(t);
        y = std::sin(t);
        break;
    case 3:
        x = 2.0 * std::cos(t);
        y = 2.0 * std::sin(t);
        break;
    case 4:
        x = t;
        y = std::sin(t * 6.0) + 2.0;
        break;
    case 5: {
        const double radius = std::sin(t * 6.0) + 2.0;
        x = std::cos(t) * radius;
        y = std::sin(t) * radius;
        break;
    }
    default:
        // No kind out of range is ever selected; should one appear, the origin
        // keeps every vertex finite and hides the strip where the axes cross.
        x = 0.0;
        y = 0.0;
        break;
    }
}

// Moves the selection on to the next curve kind, wrapping after the last.
void advanceCurveKind()
{
    curveKind = (curveKind + 1U) % CURVE_KIND_COUNT;
}
