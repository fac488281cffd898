// Analogue Butterworth prototypes evaluated exactly at one frequency.
#pragma once

#include <complex>

class AnalogFilter
{
public:
    using Complex = std::complex<double>;

    // Butterworth low-pass of order n (1..8) at s normalised to the corner (s = j f / fc): 1 / B_n(s), the
    // normalised Butterworth polynomial as cascaded second-order sections (and one first-order section when n is odd).
    static Complex butterworth(int n, Complex s);
    // A Butterworth low-pass or high-pass (s -> 1/s) of order n at fc, evaluated at f Hz.
    static Complex butterworthPass(int n, bool lowPass, double fc, double f);
};
