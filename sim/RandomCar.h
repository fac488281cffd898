// Cars drawn from a seed, the same car for a seed on every machine, for tests and benchmarks.
#pragma once

#include "CarFile.h"
#include "ParamStore.h"

#include <cstdint>

// A drawn car runs at 48 kHz with 5..60 ms latency, no noise and no drift (a test sets those), and lists 1..6
// distinct outputs, each 30..400 cm away, of either polarity, -10..+3 dB, with a Butterworth high-pass
// (30..3000 Hz, order 1..4) and low-pass (above it, up to 18 kHz) each half of the time, 0..3 peaks
// (50 Hz..10 kHz, -9..+9 dB, Q 0.5..5) and 0..3 reflections (0.5..10 ms later, gain -0.5..+0.5).
class RandomCar
{
public:
    static Car draw(uint64_t seed);
    // A scene that suits a car as an installer would set it up: the processor's defaults, the outputs the car
    // does not list named "off", and the processor's crossovers (second order) at each speaker's own corners.
    static ParamBlock sceneFor(const Car &car);
};
