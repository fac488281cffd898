// Time alignment by distance.
#include "TimeAlignment.h"

#include <algorithm>
#include <cmath>

Alignment AlignDelays(const std::array<double, CH_COUNT> &distance, DistanceUnit unit)
{
    Alignment out;
    const double toCm = unit == DistanceUnit::Inches ? 2.54 : 1.0;
    std::array<double, CH_COUNT> cm{};
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        cm[ch] = distance[ch] * toCm;
        if (!(cm[ch] >= 0.0) || !std::isfinite(cm[ch])) {
            out.badOutput = ch;
            return out;
        }
    }
    const double farthest = *std::max_element(cm.begin(), cm.end());
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        const double code = std::round((farthest - cm[ch]) / SPEED_OF_SOUND_CM_PER_MS * 100.0);
        out.limited[ch] = code > MAX_DELAY_CODE;
        out.delay[ch] = uint16_t(std::min(code, double(MAX_DELAY_CODE)));
    }
    out.ok = true;
    return out;
}
