// The six parametric plane curves the viewer can show, their labels and the
// index of the one on screen. Pure arithmetic: nothing here draws.
#ifndef CURVE_CATALOGUE_H
#define CURVE_CATALOGUE_H

#include <cstdint>

// Number of curve kinds; the selection wraps around at this count.
constexpr std::uint32_t CURVE_KIND_COUNT = 6;

// Index of the curve currently shown, 0 at start, changed only by advanceCurveKind.
extern std::uint32_t curveKind;

// Formulas of each curve kind, as shown on screen above the plot.
extern const char* const curveLabels[CURVE_KIND_COUNT]; // NOLINT(readability-identifier-naming): a table, named as one

// Sets (x, y) to the point of the current curve at parameter t.
void evaluateCurve(double t, double& x, double& y);

// Moves the selection on to the next curve kind, wrapping after the last.
void advanceCurveKind();

#endif
