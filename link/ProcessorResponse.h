// The processor's true filter responses: crossover magnitudes and equaliser sections, without pixel factors.
#pragma once

#include <cstdint>

constexpr uint16_t GRAPH_MIN_FREQ = 20;
constexpr uint16_t GRAPH_MAX_FREQ = 20000;
constexpr double EQ_OMEGA_PER_HZ = 0.0001308997;  // band centre to radians, for the band coefficients only
constexpr double OMEGA_PER_HZ = 0.00013083333333333333;   // 6.28 / 48000
constexpr double TWO_OMEGA_PER_HZ = 0.00026166666666666667;

// One second-order section: b0, b1, b2, a1, a2 (a0 is 1).
struct EqSection {
    double b0, b1, b2, a1, a2;
};

// A corrupt image or file may hold any value; the responses only ever see values inside the editors' ranges.
inline double ClampFreq(double hz)
{
    if (!(hz >= GRAPH_MIN_FREQ)) return GRAPH_MIN_FREQ;  // also NaN
    return hz > GRAPH_MAX_FREQ ? GRAPH_MAX_FREQ : hz;
}
inline uint16_t ClampFreq(uint16_t hz)
{
    return hz < GRAPH_MIN_FREQ ? GRAPH_MIN_FREQ : (hz > GRAPH_MAX_FREQ ? GRAPH_MAX_FREQ : hz);
}
inline uint8_t ClampSlope(uint8_t slope) { return slope > 7 ? 7 : slope; }
inline uint8_t ClampQ(uint8_t q) { return q < 4 ? 4 : (q > 100 ? 100 : q); }
inline uint16_t ClampGain(uint16_t g) { return g > 240 ? 240 : g; }

// Magnitude of a crossover of type 0..2 and order n at ratio r; false for an unknown type.
bool CrossoverMagnitude(uint8_t type, int n, double r, double &mag);
// Crossover response in dB at hz (0 when bypassed or of an unknown type); slope and frequencies are limited.
double CrossoverDb(uint16_t freq, uint8_t slope, uint8_t bypass, uint8_t type, bool lowPass, double hz);
// Peaking section as the equaliser curve builds it: linear amplitude (10^(dB/20)), centre in Hz, Q.
EqSection PeakingSection(double amplitude, double freqHz, double q);
// Section of a band from its codes (gain 0..240, Hz, Q x 10), limited to the editors' ranges.
EqSection BandSection(uint16_t gainCode, uint16_t freq, uint8_t qCode);
// The two cosines at which a section is evaluated for a frequency at 48 kHz.
void SectionCosines(double hz, double &c1, double &c2);
// Power gain |H|^2 of a section for the cosines of SectionCosines (inline: the curves evaluate it per point).
inline double SectionPower(const EqSection &s, double c1, double c2)
{
    const double num = s.b0 * s.b0 + s.b1 * s.b1 + s.b2 * s.b2 + 2.0 * s.b0 * s.b1 * c1 + 2.0 * s.b1 * s.b2 * c1 +
                       2.0 * s.b0 * s.b2 * c2;
    const double den =
        1.0 + s.a1 * s.a1 + s.a2 * s.a2 + 2.0 * s.a1 * c1 + 2.0 * s.a1 * s.a2 * c1 + 2.0 * s.a2 * c2;
    return num / den;
}
// Response of one section in dB at hz (0 where the power has no logarithm).
double SectionDb(const EqSection &s, double hz);
