// What one model operation changed: the views refresh exactly these parts.
#pragma once

#include "ParamStore.h"

#include <cstdint>

struct ModelChange {
    // Aspects of one band; several may be set. Applied by the views in this order.
    enum BandAspect : uint8_t {
        Gain = 1,       // the gain field, its slider (at the gain the model says it shows) and the band button
        Freq = 2,       // the frequency field
        Q = 4,          // the Q field
        MarkGain = 8,   // the marker moves to the gain's height, keeping its x
        MarkFreq = 16,  // the marker moves to the frequency's x, keeping its height (its label sits on it)
        Snap = 32,      // marker and label to the exact place of frequency and gain
        Label = 64,     // the label above its marker's frequency and gain
        Retype = 128,   // with Gain: the field shows the stored gain even when its text reads as that value
    };
    uint8_t band[CH_COUNT][BAND_COUNT] = {};
    bool output[CH_COUNT] = {};     // volume, delay, phase and mute of an output
    bool sync[CH_COUNT] = {};
    bool filter[CH_COUNT][2] = {};  // 0 = high-pass, 1 = low-pass
    bool eqBypass[CH_COUNT] = {};
    bool curve[CH_COUNT] = {};      // the response of an output is to be computed again
    bool master = false;
    bool mainMute = false;
    bool input = false;
    bool gate = false;
    bool names = false;
    bool links = false;
    bool delayUnit = false;
    bool memories = false;   // the A/B memories or which of them is active
    bool selection = false;  // another channel is shown (everything of the selected channel is refreshed)
    bool all = false;        // the whole store was replaced

    bool bandAny(int ch) const
    {
        for (uint8_t a : band[ch])
            if (a) return true;
        return false;
    }
};
