// Delays from the distances between each output's speaker and the listening position.
#pragma once

#include <array>
#include <cstdint>

#include "ParamStore.h"

constexpr double SPEED_OF_SOUND_CM_PER_MS = 34.5;  // 345 m/s, as the delay's centimetre display
constexpr uint16_t MAX_DELAY_CODE = 1500;          // 15.00 ms in steps of 0.01 ms

enum class DistanceUnit { Centimetres, Inches };

struct Alignment {
    bool ok = false;
    int badOutput = -1;  // the first output whose distance is negative or not a number
    std::array<uint16_t, CH_COUNT> delay{};   // ChDelay codes, 0.01 ms each
    std::array<bool, CH_COUNT> limited{};     // the delay needed was beyond 15.00 ms and was limited
};

// The farthest output gets 0; each other (d_max - d) / c, rounded to the nearest 0.01 ms.
Alignment AlignDelays(const std::array<double, CH_COUNT> &distance, DistanceUnit unit);
