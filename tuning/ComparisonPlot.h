// A small before/after plot of one output's response: log frequency 20 Hz to 20 kHz, dB, with a legend.
#pragma once

#include "OutputComparison.h"

#include <QString>
#include <cstdint>

class QPainter;
class QRectF;

// Drawn with any painter (the PDF sheet, a widget); every size follows the painter's font, so the plot reads
// the same at print and screen resolution. Texts are drawn whole: the legend wraps, labels get their room.
class ComparisonPlot
{
public:
    enum Curve { Before, After, Target, CurveCount };

    // Fills `box` with a white plot area, its grid and labels, the curves and the legend below them.
    static void draw(QPainter &p, const QRectF &box, const OutputComparison &c, uint8_t language);
    // A curve's name in the legend (language 0 Chinese, 1 English).
    static QString curveName(Curve curve, uint8_t language);
    // The dB span shown: whole 10 dB steps around the curves, 30 to 60 dB high. False without a finite value.
    static bool dbSpan(const OutputComparison &c, double *top, double *bottom);
};
