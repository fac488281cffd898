// Frequency steps of the crossover step buttons.
#include "CrossoverRules.h"

uint16_t CrossoverStepFreq(uint16_t f, bool up, bool fast)
{
    int v = f;
    if (up) {
        if (v >= XOVER_MAX_FREQ) return XOVER_MAX_FREQ;
        if (!fast) v += 1;
        else if (v + 1 <= 999) v += 11;
        else if (v + 1 <= 19899) v += 101;
        else v += 2;
    } else {
        if (v <= XOVER_MIN_FREQ) return XOVER_MIN_FREQ;
        if (!fast) v -= 1;
        else if (v - 1 > 1000) v -= 101;
        else if (v - 1 >= 101) v -= 11;
        else if (v - 1 >= 21) v -= 2;
        else v = XOVER_MIN_FREQ;
    }
    // A frequency outside the range (a damaged image) comes back inside it.
    if (v > XOVER_MAX_FREQ) v = XOVER_MAX_FREQ;
    if (v < XOVER_MIN_FREQ) v = XOVER_MIN_FREQ;
    return uint16_t(v);
}

int StepWithinRange(int value, int dir, int units, int lo, int hi)
{
    if (value < lo) value = lo;  // a value from a damaged image comes back into the range first
    if (value > hi) value = hi;
    for (int i = 0; i < units; ++i) {
        const int next = value + (dir > 0 ? 1 : -1);
        if (next < lo || next > hi) break;
        value = next;
    }
    return value;
}
