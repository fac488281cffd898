// The processor's chain for one output, from its parameter memory.
#include "ProcessorChannel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double MinHz = 20.0, MaxHz = 20000.0;  // the crossover editors' range

double volumeDb(uint16_t v) { return std::min<uint16_t>(v, 600) / 10.0 - 60.0; }

}  // namespace

ProcessorChannel::ProcessorChannel(const ParamBlock &memory, int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    const bool fed = memory.InputSource != 2;
    if (fed && !memory.ChMute[ch]) {
        gain_ = std::pow(10.0, (volumeDb(memory.ChVol[ch]) + volumeDb(memory.MasterVol)) / 20.0);
        if (memory.ChPhase[ch]) gain_ = -gain_;
    }
    delayMs_ = memory.ChDelay[ch] > 1500 ? 0.0 : memory.ChDelay[ch] * 0.01;
    const auto crossover = [this](uint16_t hz, uint8_t slope, uint8_t bypass, uint8_t type, bool lowPass) {
        if (!bypass)
            crossovers_.emplace_back(type > 2 ? 0 : type, std::min<int>(slope, 7) + 1, lowPass,
                                     std::clamp(double(hz), MinHz, MaxHz));
    };
    crossover(memory.HpfFreq[ch], memory.HpfSlope[ch], memory.HpfBypass[ch], memory.HpfType[ch], false);
    crossover(memory.LpfFreq[ch], memory.LpfSlope[ch], memory.LpfBypass[ch], memory.LpfType[ch], true);
    if (memory.EqBypass[ch]) return;
    for (int b = 0; b < BAND_COUNT; ++b) {
        const uint16_t device = memory.EqGain[ch][b];
        const uint16_t host = device >= GAIN_DEVICE_OFFSET && device <= GAIN_DEVICE_OFFSET + 240 ? device - GAIN_DEVICE_OFFSET : GAIN_ZERO;
        if (host != GAIN_ZERO) bands_.push_back(BandSection(host, memory.EqFreq[ch][b], memory.EqQ[ch][b]));
    }
}

ProcessorChannel::Complex ProcessorChannel::shape(double hz) const
{
    Complex h = 1.0;
    for (const CrossoverFilter &x : crossovers_) h *= x.at(hz);
    if (bands_.empty()) return h;
    const Complex z1 = std::polar(1.0, -2.0 * M_PI * hz / RATE);  // z^-1
    const Complex z2 = z1 * z1;
    for (const EqSection &s : bands_) h *= (s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    return h;
}

ProcessorChannel::Complex ProcessorChannel::response(double hz) const
{
    return gain_ * shape(hz) * std::polar(1.0, -2.0 * M_PI * hz * delayMs_ / 1000.0);
}
