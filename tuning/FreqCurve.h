// A magnitude curve over frequency (ascending Hz, dB), read between its points on a logarithmic axis.
#pragma once

#include <vector>

struct FreqCurve {
    std::vector<double> hz;  // strictly ascending, all above 0
    std::vector<double> db;  // one value per frequency

    bool empty() const { return hz.empty(); }
    int size() const { return int(hz.size()); }
    // Value at f: linear in log frequency between points, the end values held beyond the ends.
    double at(double f) const;
    // Values at ascending frequencies, in one pass.
    std::vector<double> sample(const std::vector<double> &freqs) const;
    // Mean over log frequency between lo and hi (both limited to the curve's span); the value at the
    // nearer end when the span misses the curve.
    double meanDb(double lo, double hi) const;
    // Integral of the curve over ln f from the first point to f (f inside the span).
    double integralTo(double f) const;
};

// Frequencies spaced evenly in log frequency from lo to hi, both included, with pointsPerOctave per octave.
std::vector<double> LogGrid(double lo, double hi, int pointsPerOctave);
