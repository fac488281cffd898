// One output of the simulated processor as its memory sets it: level, mute, polarity, delay, crossovers, equaliser.
#pragma once

#include "ParamStore.h"
#include "CrossoverFilter.h"
#include "ProcessorResponse.h"

#include <complex>
#include <vector>

// How the memory acts on what the card plays into the processor (where the processor's own behaviour is not
// fixed, the simplest reading):
// - The card feeds the analogue inputs: every output hears it with the high- or low-level input selected
//   (InputSource 0 or 1, a larger value counts as 0); with the optical input selected every output is silent.
// - Level: ChVol and MasterVol, each v/10 - 60 dB (above 600 counts as 600); ChMute silences the output;
//   ChPhase inverts it. The noise gate is not modelled (a measurement signal is never below it).
// - Delay: ChDelay x 0.01 ms, exact to any fraction of a sample (above 1500 counts as 0).
// - Crossovers: the high-pass and low-pass of CrossoverFilter (type, order slope + 1, corner), off when
//   bypassed; the magnitude is the graph's. Out-of-range codes are limited as the graph limits them.
// - Equaliser (unless EqBypass): the 31 bands as the graph's equaliser defines them (BandSection, from the
//   gain in the processor's encoding: host + 120), run as biquads at the processor's own 48 kHz whatever the
//   sound card's rate. A gain outside 120..360 counts as 0 dB; a band at 0 dB is exactly flat. The graph's two
//   fixed display sections are not part of the processor.
class ProcessorChannel
{
public:
    using Complex = std::complex<double>;
    static constexpr double RATE = 48000.0;

    // `memory` is the processor's memory (SimProcessor::params()), ch 0..5.
    ProcessorChannel(const ParamBlock &memory, int ch);

    double gain() const { return gain_; }  // linear and signed; 0 when silent
    double delayMs() const { return delayMs_; }
    // Crossovers and equaliser at hz, without gain and delay.
    Complex shape(double hz) const;
    // Everything: gain x shape x delay.
    Complex response(double hz) const;

private:
    double gain_ = 0.0;
    double delayMs_ = 0.0;
    std::vector<CrossoverFilter> crossovers_;  // those that are on
    std::vector<EqSection> bands_;  // the bands that are not flat
};
