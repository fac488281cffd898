// Speaker-position codes as the store holds them in ChName.
#pragma once

#include <cstdint>

// Position codes 0..20 as stored in ChName.
constexpr int SPEAKER_CODE_COUNT = 21;
constexpr uint8_t SPK_CEN = 16;
constexpr uint8_t SPK_LSUB = 17;
constexpr uint8_t SPK_RSUB = 18;
constexpr uint8_t SPK_SSUB = 19;  // any number of channels may be a single subwoofer
constexpr uint8_t SPK_OFF = 20;   // any number of channels may be off

// True when a channel holding this code takes the position from every other channel (codes 0..18).
constexpr bool SpeakerCodeIsExclusive(uint8_t code) { return code < SPK_SSUB; }
