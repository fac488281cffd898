// Seeded synthetic speaker-in-car responses for the fitter's tests and benchmark: smooth tilts, broad
// peaks and dips, narrow notches and measurement noise on the fit's 1/48-octave grid.
#pragma once

#include <cstdint>

#include "FreqCurve.h"

// The response for one seed (the same seed gives the same curve on every machine): 20 Hz..20 kHz, 1/48
// octave, around 80 dB. Made of a tilt of -1.5..+0.5 dB per octave, a bass rise of 0..6 dB below
// 60..150 Hz, a top roll-off of 0..6 dB above 8..16 kHz, 3..6 broad peaks and dips (+-2..7 dB, 0.2..0.8
// octave wide, 40 Hz..12 kHz), 2..4 narrow notches (3..15 dB deep, 0.02..0.06 octave, 100 Hz..15 kHz) and
// 0.3 dB of Gaussian noise per point.
FreqCurve SyntheticResponse(uint32_t seed);
