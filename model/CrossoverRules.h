// Widget-free rules of the crossover controls and of the key and wheel steps: ranges, menu items, steps.
#pragma once

#include <cstdint>

constexpr uint16_t XOVER_MIN_FREQ = 20;
constexpr uint16_t XOVER_MAX_FREQ = 20000;
constexpr int XOVER_SLOPE_COUNT = 8;   // -6 .. -48 dB/Oct
constexpr int XOVER_SLOPE_OFF_ITEM = 8;  // the last slope menu item switches the filter off
constexpr int XOVER_TYPE_COUNT = 3;
constexpr uint8_t STEP_REPEAT_TICKS = 25;  // BtnRepeatDelay after a step

// One step of a crossover (or band) frequency. Slow steps are 1 Hz; fast steps grow with the
// frequency (11 Hz below 1 kHz, 101 Hz above, 2 Hz near the ends). The result stays in 20..20000.
uint16_t CrossoverStepFreq(uint16_t f, bool up, bool fast);

// Units applied by one key press: three for an auto-repeated key, else one.
constexpr int KeyStepUnits(bool autoRepeat) { return autoRepeat ? 3 : 1; }
// value moved by `units` steps of one in direction dir (+1 / -1); each step is taken only while
// the result stays in lo..hi, so the value stops at the range end.
int StepWithinRange(int value, int dir, int units, int lo, int hi);
