// One output's response measured before a tuning and verified after it, on one frequency grid, for printing.
#pragma once

#include "FreqCurve.h"

#include <vector>

// Filled by whoever measured (the auto-tune, the window, the command line). The curves share `hz`; a curve
// shorter than `hz`, or empty, is drawn as far as it goes; values that are not finite leave a gap.
struct OutputComparison {
    int channel = 0;                // 0..5
    std::vector<double> hz;         // ascending
    std::vector<double> beforeDb;   // measured before the tuning
    std::vector<double> afterDb;    // verified after it
    std::vector<double> targetDb;   // the target on the same level; empty when there was none

    // The three curves read on one grid of 20 Hz..20 kHz (1/24 octave); each is left out (not a finite value)
    // outside its own span rather than held level beyond its ends. An empty target stays empty.
    static OutputComparison fromCurves(int channel, const FreqCurve &before, const FreqCurve &after,
                                       const FreqCurve &target);
};
