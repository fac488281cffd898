// Fractional-octave smoothing of a magnitude curve.
#pragma once

#include "FreqCurve.h"

enum class Smoothing { None, Oct24, Oct12, Oct6, Oct3 };

// Width of the smoothing window in octaves (0 for None).
double SmoothingWidth(Smoothing s);

// Each point becomes the mean over log frequency of the curve within half the width on either side
// (the window is cut at the ends of the curve). The mean is taken of the dB values.
FreqCurve Smooth(const FreqCurve &curve, Smoothing s);
