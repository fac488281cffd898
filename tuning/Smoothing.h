// Fractional-octave smoothing of a magnitude curve.
#pragma once

#include "FreqCurve.h"

enum class Smoothing { None, Oct24, Oct12, Oct6, Oct3 };

// Width of the smoothing window in octaves (0 for None).
double SmoothingWidth(Smoothing s);

// Each point becomes the mean over log frequency of the curve within half the width on either side
// (the window is cut at the ends of the curve). The mean is taken of the dB values.
FreqCurve Smooth(const FreqCurve &curve, Smoothing s);

// Variable smoothing, as REW's "Var": 1/48 octave up to 100 Hz, widening in proportion to log frequency to
// 1/3 octave at 10 kHz and above (about 1/6 octave at 1 kHz). The comb filtering of reflections, which moves
// with the microphone, is averaged out where bands cannot follow it; the low end keeps its detail.
FreqCurve SmoothVariable(const FreqCurve &curve);
