// True response in dB of one output's equaliser and crossovers, at any frequency.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ParamStore.h"

// One equaliser band in the store's host codes.
struct BandCode {
    uint16_t freq = 1000;  // Hz, 20..20000
    uint16_t gain = GAIN_ZERO;  // 0..240, 120 = 0 dB, 0.1 dB per code
    uint8_t q = 30;        // Q x 10, 4..100

    double gainDb() const { return (int(gain) - int(GAIN_ZERO)) / 10.0; }
    bool operator==(const BandCode &o) const { return freq == o.freq && gain == o.gain && q == o.q; }
};
using BandSet = std::array<BandCode, BAND_COUNT>;

// The 31 bands of output ch (0..5) as the store holds them.
BandSet BandsOf(const ParamBlock &block, int ch);

// Summed response of the bands in dB at each frequency: the peaking sections as the equaliser curve
// builds them at 48 kHz (bands at 0 dB are exactly flat and skipped).
std::vector<double> BandsDb(const BandSet &bands, const std::vector<double> &freqs);

// The output's equaliser (0 where it is bypassed) and the output's two crossovers, in dB at each frequency.
std::vector<double> OutputEqDb(const ParamBlock &block, int ch, const std::vector<double> &freqs);
std::vector<double> OutputCrossoverDb(const ParamBlock &block, int ch, const std::vector<double> &freqs);
