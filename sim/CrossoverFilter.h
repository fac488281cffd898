// One crossover filter of the processor, with the magnitude the response graph draws for it and a causal phase.
#pragma once

#include <complex>
#include <vector>

// Types 0 Butterworth, 1 Link, 2 the third type; order n 1..8; r is f/fc for a low-pass, fc/f for a high-pass.
//  - 0: Butterworth of order n.
//  - 1: order 1: first order (1 / (1 + s)); even n: Linkwitz-Riley, the Butterworth of order n/2 squared, so
//    |H| = 1 / (1 + r^n); odd n > 1: |H| = 1 / (1 + r^n) with its minimum phase.
//  - 2: order 1: first order; n > 1: |H| = (2n - 1) / (r^n + 2n - 1) with its minimum phase.
// The magnitudes without a rational realisation get the minimum phase from Bode's gain-phase relation,
// tabulated over ln r: a causal filter, as a processor's must be. Unknown types count as 0.
class CrossoverFilter
{
public:
    using Complex = std::complex<double>;

    CrossoverFilter(int type, int order, bool lowPass, double hz);
    Complex at(double f) const;

private:
    double lowPassMagnitude(double r) const;
    double minimumPhase(double r) const;  // of the low-pass at r

    int type_, order_;
    bool lowPass_;
    double hz_;
    std::vector<double> phase_;  // minimum phase of the low-pass on the grid of ln r, empty when rational
};
