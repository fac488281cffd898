// The sync group tables and the range checks of a group move.
#include "SyncGroup.h"

uint8_t SyncOn[CH_COUNT];
uint8_t SyncGroup[CH_COUNT];

namespace {

constexpr int MAX_VOLUME = 600;
constexpr int MAX_DELAY = 1500;

bool partnerLeavesRange(uint8_t ch, int delta, int limit, const uint16_t values[CH_COUNT])
{
    uint8_t partners[CH_COUNT];
    const int n = SyncPartners(ch, partners);
    for (int i = 0; i < n; ++i) {
        const int moved = int(values[partners[i]]) + delta;
        if (moved < 0 || moved > limit) return true;
    }
    return false;
}

}  // namespace

void ResetSyncGroup()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        SyncOn[ch] = 0;
        SyncGroup[ch] = 0;
    }
}

uint8_t SyncToggle(uint8_t ch)
{
    if (ch >= CH_COUNT) return 0;
    SyncOn[ch] = SyncOn[ch] ? 0 : 1;
    SyncGroup[ch] = SyncOn[ch];
    return SyncOn[ch];
}

bool SyncMember(uint8_t ch)
{
    return ch < CH_COUNT && SyncGroup[ch] != 0;
}

int SyncPartners(uint8_t ch, uint8_t out[CH_COUNT])
{
    if (!SyncMember(ch)) return 0;
    int n = 0;
    for (uint8_t j = 0; j < CH_COUNT; ++j)
        if (j != ch && SyncGroup[j]) out[n++] = j;
    return n;
}

bool Vol_Sync_Check(uint8_t ch, int delta)
{
    return partnerLeavesRange(ch, delta, MAX_VOLUME, ParamStore.ChVol);
}

bool Delay_Sync_Check(uint8_t ch, int delta)
{
    return partnerLeavesRange(ch, delta, MAX_DELAY, ParamStore.ChDelay);
}
