// Crossover presets that suit a speaker position, written into a channel when it is named.
#pragma once

#include "ParamStore.h"

#include <cstdint>

// One filter of a preset. Keep leaves the filter alone; Off sets bypass and the end frequency;
// On clears bypass and sets the frequency. slope < 0 keeps the stored slope. The type is never touched.
struct FilterPreset {
    enum Kind : uint8_t { Keep, Off, On };
    Kind kind;
    uint16_t freq;
    int8_t slope;
};

struct CrossoverPreset {
    FilterPreset hpf;
    FilterPreset lpf;
};

// The preset for position code on channel ch (0..5), with the per-channel exceptions.
CrossoverPreset SpeakerPreset(uint8_t ch, uint8_t code);
// Writes that preset into the channel's filter fields of the store; sends nothing.
void ApplySpeakerPreset(ParamBlock &s, uint8_t ch, uint8_t code);
