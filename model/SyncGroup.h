// The sync group: outputs whose volume, delay, polarity and mute move together.
#pragma once

#include "ParamStore.h"

#include <cstdint>

class SyncGroup
{
public:
    // Lit state of each sync button; 0 at start.
    uint8_t SyncOn[CH_COUNT] = {};
    // Membership per output; toggled together with SyncOn, so the two always agree.
    uint8_t Member[CH_COUNT] = {};

    // Flips the membership of ch (and its lit state); returns the new state.
    uint8_t toggle(uint8_t ch);
    // True when ch is a member of the group.
    bool member(uint8_t ch) const { return ch < CH_COUNT && Member[ch] != 0; }
    // The other members of ch's group in ascending order; none when ch itself is not a member.
    // Returns how many were written to out (at most CH_COUNT - 1).
    int partners(uint8_t ch, uint8_t out[CH_COUNT]) const;

    // True when ch is a member and moving some other member's volume by delta leaves 0..600.
    bool Vol_Sync_Check(const ParamBlock &s, uint8_t ch, int delta) const;
    // True when ch is a member and moving some other member's delay by delta leaves 0..1500.
    bool Delay_Sync_Check(const ParamBlock &s, uint8_t ch, int delta) const;

private:
    bool partnerLeavesRange(uint8_t ch, int delta, int limit, const uint16_t values[CH_COUNT]) const;
};
