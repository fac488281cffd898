// Several microphone positions as one result: power-averaged magnitude, timing and polarity of the first.
#pragma once

#include "CaptureResult.h"

#include <vector>

constexpr int MAX_POSITIONS = 9;

// The first position (the centre) gives the impulse, phase, arrival and polarity; the magnitude is the
// mean of the positions' powers; the SNR is the lowest; clipping and "no signal" of any position count.
// False with the reason when there are no, too many or unlike results (grid, unit, sample rate).
bool AveragePositions(const std::vector<CaptureResult> &positions, CaptureResult &out, QString *why);
