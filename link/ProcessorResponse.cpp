// The processor's crossover and equaliser responses, shared by the graph, the tuning tools and the simulator.
#include "ProcessorResponse.h"

#include <cmath>

// Magnitude of the crossover of the given type and order at ratio r; false for an unknown type.
bool CrossoverMagnitude(uint8_t type, int n, double r, double &mag)
{
    switch (type) {
    case 0:  // Butterworth
        mag = 1.0 / std::sqrt(1.0 + std::pow(r, 2 * n));
        return true;
    case 1:  // Link
        mag = n == 1 ? 1.0 / std::sqrt(1.0 + r * r) : 1.0 / (1.0 + std::pow(r, n));
        return true;
    case 2:  // Bessel
        mag = n == 1 ? 1.0 / std::sqrt(1.0 + r * r) : (2.0 * n - 1.0) / (std::pow(r, n) + 2.0 * n - 1.0);
        return true;
    default:
        return false;
    }
}

EqSection PeakingSection(double amplitude, double freqHz, double q)
{
    const double A = amplitude;
    const double w0 = freqHz * EQ_OMEGA_PER_HZ;
    const double D = A >= 1.0 ? 4.0 * q : 4.0 * q * A;
    const double s = std::sin(w0);
    const double r = (D - s) / (D + s);
    EqSection c;
    c.b0 = 0.5 * ((1.0 + r) + (1.0 - r) * A);
    c.b1 = -std::cos(w0) * (1.0 + r);
    c.b2 = 0.5 * ((1.0 + r) - (1.0 - r) * A);
    c.a1 = c.b1;
    c.a2 = r;
    return c;
}

EqSection BandSection(uint16_t gainCode, uint16_t freq, uint8_t qCode)
{
    return PeakingSection(std::pow(10.0, (double(ClampGain(gainCode)) - 120.0) / 200.0), ClampFreq(freq),
                          ClampQ(qCode) / 10.0);
}

void SectionCosines(double hz, double &c1, double &c2)
{
    c1 = std::cos(hz * OMEGA_PER_HZ);
    c2 = std::cos(hz * TWO_OMEGA_PER_HZ);
}

double SectionDb(const EqSection &s, double hz)
{
    double c1, c2;
    SectionCosines(hz, c1, c2);
    const double p = SectionPower(s, c1, c2);
    if (!(p > 0.0) || std::isinf(p)) return 0.0;
    return 10.0 * std::log10(p);
}

double CrossoverDb(uint16_t freq, uint8_t slope, uint8_t bypass, uint8_t type, bool lowPass, double hz)
{
    if (bypass || !(hz > 0.0)) return 0.0;
    const double wc = ClampFreq(freq) * OMEGA_PER_HZ;
    const double w = hz * 6.28 / 48000.0;
    double mag;
    if (!CrossoverMagnitude(type, ClampSlope(slope) + 1, lowPass ? w / wc : wc / w, mag)) return 0.0;
    return mag > 1e-15 ? 20.0 * std::log10(mag) : -300.0;  // far outside the pass band the power overflows
}
