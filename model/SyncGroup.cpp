// The sync group tables and the range checks of a group move.
#include "SyncGroup.h"

#include "OutputValues.h"

uint8_t SyncGroup::toggle(uint8_t ch)
{
    if (ch >= CH_COUNT) return 0;
    SyncOn[ch] = SyncOn[ch] ? 0 : 1;
    Member[ch] = SyncOn[ch];
    return SyncOn[ch];
}

int SyncGroup::partners(uint8_t ch, uint8_t out[CH_COUNT]) const
{
    if (!member(ch)) return 0;
    int n = 0;
    for (uint8_t j = 0; j < CH_COUNT; ++j)
        if (j != ch && Member[j]) out[n++] = j;
    return n;
}

bool SyncGroup::partnerLeavesRange(uint8_t ch, int delta, int limit, const uint16_t values[CH_COUNT]) const
{
    uint8_t others[CH_COUNT];
    const int n = partners(ch, others);
    for (int i = 0; i < n; ++i) {
        const int moved = int(values[others[i]]) + delta;
        if (moved < 0 || moved > limit) return true;
    }
    return false;
}

bool SyncGroup::Vol_Sync_Check(const ParamBlock &s, uint8_t ch, int delta) const
{
    return partnerLeavesRange(ch, delta, OutputValues::MAX_VOLUME, s.ChVol);
}

bool SyncGroup::Delay_Sync_Check(const ParamBlock &s, uint8_t ch, int delta) const
{
    return partnerLeavesRange(ch, delta, OutputValues::MAX_DELAY, s.ChDelay);
}
