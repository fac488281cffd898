// A signal read at slightly stretched times: Kaiser-windowed sinc interpolation from a table of phases.
#pragma once

#include <cstddef>
#include <vector>

// out[k] = in(k * stretch), in being the band-limited signal of the samples (zero outside them). The kernel is a
// sinc windowed by a Kaiser window (beta 10, 64 taps each side: flat to about 22.8 kHz at 48 kHz, images and
// ripple below -100 dB), tabulated at 1024 phases per sample and interpolated linearly between phases.
class DriftResampler
{
public:
    static constexpr int HALF = 64;
    static constexpr int PHASES = 1024;

    DriftResampler();
    // Fills out (its size decides how many samples) from in; stretch close to 1.
    void resample(const double *in, size_t inSize, double stretch, std::vector<double> &out) const;

private:
    std::vector<double> table_;  // (PHASES + 1) rows of 2 HALF taps: row p is the kernel at offsets p / PHASES - i
};
