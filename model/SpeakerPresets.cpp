// Crossover presets by speaker position.
#include "SpeakerPresets.h"

#include "ParamStore.h"
#include "SpeakerCodes.h"

namespace {

constexpr FilterPreset Keep{FilterPreset::Keep, 0, -1};
constexpr FilterPreset Off{FilterPreset::Off, 0, -1};
constexpr FilterPreset on(uint16_t freq, int8_t slope = -1) { return {FilterPreset::On, freq, slope}; }

constexpr uint8_t SLOPE_24 = 3;  // -24dB/Oct
constexpr uint16_t HPF_END = 20;
constexpr uint16_t LPF_END = 20000;

constexpr CrossoverPreset Subwoofer{on(30), on(90, SLOPE_24)};

}  // namespace

CrossoverPreset SpeakerPreset(uint8_t ch, uint8_t code)
{
    const bool outerChannel = ch == 0 || ch == CH_COUNT - 1;
    if (code == SPK_CEN) return {on(300), on(3000, SLOPE_24)};
    if (code == SPK_LSUB || code == SPK_RSUB || code == SPK_SSUB) return Subwoofer;
    if (code > SPK_SSUB) return {Keep, Keep};
    // Codes 0..15: four positions of four entries each, tweeter, midrange, woofer, full range.
    switch (code % 4) {
    case 0:
        return {on(3000, SLOPE_24), Off};
    case 1:
        if (code == 1 && outerChannel) return {on(150, SLOPE_24), on(3000, SLOPE_24)};
        return {on(300, SLOPE_24), on(3000, SLOPE_24)};
    case 2:
        if ((code == 2 || code == 6) && !outerChannel) return Subwoofer;
        if (code == 2 && outerChannel) return {Off, on(150, SLOPE_24)};
        return {Off, on(300, SLOPE_24)};
    default:
        return {Off, Off};
    }
}

namespace {

// Filter fields of one side, copied out of the packed store and back.
struct FilterFields {
    uint8_t bypass;
    uint16_t freq;
    uint8_t slope;
};

FilterFields apply(const FilterPreset &p, FilterFields f, uint16_t endFreq)
{
    if (p.kind == FilterPreset::Keep) return f;
    f.bypass = p.kind == FilterPreset::Off ? 1 : 0;
    f.freq = p.kind == FilterPreset::Off ? endFreq : p.freq;
    if (p.slope >= 0) f.slope = uint8_t(p.slope);
    return f;
}

}  // namespace

void ApplySpeakerPreset(ParamBlock &s, uint8_t ch, uint8_t code)
{
    if (ch >= CH_COUNT) return;
    const CrossoverPreset p = SpeakerPreset(ch, code);
    const FilterFields h = apply(p.hpf, {s.HpfBypass[ch], s.HpfFreq[ch], s.HpfSlope[ch]}, HPF_END);
    s.HpfBypass[ch] = h.bypass;
    s.HpfFreq[ch] = h.freq;
    s.HpfSlope[ch] = h.slope;
    const FilterFields l = apply(p.lpf, {s.LpfBypass[ch], s.LpfFreq[ch], s.LpfSlope[ch]}, LPF_END);
    s.LpfBypass[ch] = l.bypass;
    s.LpfFreq[ch] = l.freq;
    s.LpfSlope[ch] = l.slope;
}
