// Equaliser and crossover responses of an output in dB, from the response math without pixel factors.
#include "OutputResponse.h"

#include <cmath>

#include "ProcessorResponse.h"

BandSet BandsOf(const ParamBlock &block, int ch)
{
    BandSet out;
    for (int b = 0; b < BAND_COUNT; ++b)
        out[b] = BandCode{block.EqFreq[ch][b], block.EqGain[ch][b], block.EqQ[ch][b]};
    return out;
}

std::vector<double> BandsDb(const BandSet &bands, const std::vector<double> &freqs)
{
    std::vector<EqSection> sections;
    for (const BandCode &b : bands)
        if (b.gain != GAIN_ZERO) sections.push_back(BandSection(b.gain, b.freq, b.q));
    std::vector<double> out(freqs.size(), 0.0);
    if (sections.empty()) return out;
    for (size_t i = 0; i < freqs.size(); ++i) {
        double c1, c2;
        SectionCosines(freqs[i], c1, c2);
        double product = 1.0;
        for (const EqSection &s : sections) product *= SectionPower(s, c1, c2);
        out[i] = product > 0.0 && std::isfinite(product) ? 10.0 * std::log10(product) : 0.0;
    }
    return out;
}

std::vector<double> OutputEqDb(const ParamBlock &block, int ch, const std::vector<double> &freqs)
{
    if (ch < 0 || ch >= CH_COUNT || block.EqBypass[ch]) return std::vector<double>(freqs.size(), 0.0);
    return BandsDb(BandsOf(block, ch), freqs);
}

std::vector<double> OutputCrossoverDb(const ParamBlock &block, int ch, const std::vector<double> &freqs)
{
    std::vector<double> out(freqs.size(), 0.0);
    if (ch < 0 || ch >= CH_COUNT) return out;
    for (size_t i = 0; i < freqs.size(); ++i)
        out[i] = CrossoverDb(block.HpfFreq[ch], block.HpfSlope[ch], block.HpfBypass[ch], block.HpfType[ch], false,
                             freqs[i]) +
                 CrossoverDb(block.LpfFreq[ch], block.LpfSlope[ch], block.LpfBypass[ch], block.LpfType[ch], true,
                             freqs[i]);
    return out;
}
