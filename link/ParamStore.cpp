// Parameter store defaults and the correction of downloaded images.
#include "ParamStore.h"

#include <cstring>

const uint16_t DefaultEqFreq[BAND_COUNT] = {
    20,   25,   32,   40,   50,   63,   80,   100,  125,   160,   200,   250,   315,   400,   500,  630,
    800,  1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000, 20000};

const uint8_t DefaultChName[CH_COUNT] = {3, 7, 11, 15, 16, 19};

void ParamBlock::copyEqualiser(int dst, int src)
{
    EqBypass[dst] = EqBypass[src];
    for (int b = 0; b < BAND_COUNT; ++b) {
        EqFreq[dst][b] = EqFreq[src][b];
        EqGain[dst][b] = EqGain[src][b];
        EqQ[dst][b] = EqQ[src][b];
    }
}

void ParamBlock::setDefaults()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (int b = 0; b < BAND_COUNT; ++b) {
            EqFreq[ch][b] = DefaultEqFreq[b];
            EqGain[ch][b] = GAIN_ZERO;
            EqQ[ch][b] = 30;
        }
        ChName[ch] = DefaultChName[ch];
        ChMute[ch] = 0;
        ChDelay[ch] = 0;
        ChVol[ch] = 600;
        HpfFreq[ch] = 20;
        HpfSlope[ch] = 3;
        HpfBypass[ch] = 1;
        HpfType[ch] = 0;
        LpfFreq[ch] = 20000;
        LpfSlope[ch] = 3;
        LpfBypass[ch] = 1;
        LpfType[ch] = 0;
    }
}

void ParamBlock::correctDownloaded(uint16_t shadow[CH_COUNT][BAND_COUNT])
{
    InputSource = correctedInputSource(InputSource);
    MasterVol = correctedMasterVol(MasterVol);
    if (NoiseGate > 6) NoiseGate = 0;
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (int b = 0; b < BAND_COUNT; ++b) {
            const uint16_t g = EqGain[ch][b];
            const uint16_t host = (g >= 120 && g <= 360) ? uint16_t(g - GAIN_DEVICE_OFFSET) : GAIN_ZERO;
            EqGain[ch][b] = host;
            shadow[ch][b] = host;
            if (EqFreq[ch][b] < 20 || EqFreq[ch][b] > 20000) EqFreq[ch][b] = DefaultEqFreq[b];
            if (EqQ[ch][b] < 4 || EqQ[ch][b] > 100) EqQ[ch][b] = 30;
        }
        if (HpfFreq[ch] < 20 || HpfFreq[ch] > 20000) HpfFreq[ch] = 20;
        if (HpfType[ch] > 2) HpfType[ch] = 0;
        if (HpfSlope[ch] > 7) HpfSlope[ch] = 3;
        if (LpfFreq[ch] < 20 || LpfFreq[ch] > 20000) LpfFreq[ch] = 20000;
        if (LpfType[ch] > 2) LpfType[ch] = 0;
        if (LpfSlope[ch] > 7) LpfSlope[ch] = 3;
        if (ChVol[ch] > 600) ChVol[ch] = 600;
        if (ChDelay[ch] > 1500) ChDelay[ch] = 0;
        if (ChPhase[ch] > 1) ChPhase[ch] = 0;
        if (ChMute[ch] > 1) ChMute[ch] = 0;
    }
}
