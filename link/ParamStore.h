// The image of every processor parameter, byte for byte as the processor holds it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int CH_COUNT = 6;
constexpr int BAND_COUNT = 31;
constexpr int PAGE_SIZE = 20;
constexpr int PAGE_COUNT = 55;
constexpr int IMAGE_SIZE = PAGE_SIZE * PAGE_COUNT;  // 1100
constexpr int STORE_SIZE = 4096;
constexpr uint16_t GAIN_ZERO = 120;         // host encoding of 0 dB
constexpr uint16_t GAIN_DEVICE_OFFSET = 120;  // device encoding = host + 120

// Default centre frequencies of the 31 bands (ISO third octaves).
extern const uint16_t DefaultEqFreq[BAND_COUNT];
// Default speaker-position codes of CH1..CH6.
extern const uint8_t DefaultChName[CH_COUNT];

#pragma pack(push, 1)
// The 4096-byte block: the first 1100 bytes mirror the processor's memory (little-endian).
struct ParamBlock {
    uint32_t FirmwareVersion;            // 0
    uint8_t ChName[CH_COUNT];            // 4
    uint8_t InputSource;                 // 10
    uint8_t Reserved11[13];              // 11..23
    uint16_t MasterVol;                  // 24
    uint16_t ChVol[CH_COUNT];            // 26
    uint8_t ChMute[CH_COUNT];            // 38
    uint16_t ChDelay[CH_COUNT];          // 44
    uint8_t ChPhase[CH_COUNT];           // 56
    uint8_t EqBypass[CH_COUNT];          // 62
    uint16_t NoiseGate;                  // 68
    uint8_t Reserved70[10];              // 70..79
    uint16_t EqFreq[CH_COUNT][BAND_COUNT];  // 80
    uint16_t EqGain[CH_COUNT][BAND_COUNT];  // 452, host encoding in the store
    uint8_t EqQ[CH_COUNT][BAND_COUNT];      // 824
    uint8_t Reserved1010[6];             // 1010..1015
    uint16_t HpfFreq[CH_COUNT];          // 1016
    uint8_t HpfSlope[CH_COUNT];          // 1028
    uint8_t HpfBypass[CH_COUNT];         // 1034
    uint8_t HpfType[CH_COUNT];           // 1040
    uint16_t LpfFreq[CH_COUNT];          // 1046
    uint8_t LpfSlope[CH_COUNT];          // 1058
    uint8_t LpfBypass[CH_COUNT];         // 1064
    uint8_t LpfType[CH_COUNT];           // 1070
    uint8_t Reserved1076[24];            // 1076..1099
    uint8_t Tail[STORE_SIZE - IMAGE_SIZE];  // 1100..4095, never written by the controls

    uint8_t *bytes() { return reinterpret_cast<uint8_t *>(this); }
    const uint8_t *bytes() const { return reinterpret_cast<const uint8_t *>(this); }
    uint8_t *page(int p) { return bytes() + p * PAGE_SIZE; }
    const uint8_t *page(int p) const { return bytes() + p * PAGE_SIZE; }

    // Copies the equaliser of channel src (bypass and the 31 bands) to channel dst.
    void copyEqualiser(int dst, int src);
    // Writes the defaults of every channel and band (the parameter part of Init_All_Param).
    void setDefaults();
    // Corrects every field of a freshly downloaded image and converts the gains
    // from device to host encoding; the shadow gains receive the converted gains.
    void correctDownloaded(uint16_t shadow[CH_COUNT][BAND_COUNT]);
    // Limits the fields that the window cannot show sensibly (used for device-side changes too).
    static uint16_t correctedMasterVol(uint16_t v) { return v > 600 ? 600 : v; }
    static uint8_t correctedInputSource(uint32_t s) { return s > 2 ? 0 : uint8_t(s); }
};
#pragma pack(pop)

static_assert(sizeof(ParamBlock) == STORE_SIZE, "store block must be 4096 bytes");
static_assert(offsetof(ParamBlock, MasterVol) == 24, "layout");
static_assert(offsetof(ParamBlock, ChDelay) == 44, "layout");
static_assert(offsetof(ParamBlock, NoiseGate) == 68, "layout");
static_assert(offsetof(ParamBlock, EqFreq) == 80, "layout");
static_assert(offsetof(ParamBlock, EqGain) == 452, "layout");
static_assert(offsetof(ParamBlock, EqQ) == 824, "layout");
static_assert(offsetof(ParamBlock, HpfFreq) == 1016, "layout");
static_assert(offsetof(ParamBlock, LpfFreq) == 1046, "layout");
static_assert(offsetof(ParamBlock, LpfType) == 1070, "layout");
static_assert(offsetof(ParamBlock, Tail) == IMAGE_SIZE, "layout");
