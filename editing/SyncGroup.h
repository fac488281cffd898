// The sync group: outputs whose volume, delay, polarity and mute move together.
#pragma once

#include "ParamStore.h"

#include <cstdint>

// Lit state of each sync button; 0 at start.
extern uint8_t SyncOn[CH_COUNT];
// Membership per output; toggled together with SyncOn, so the two always agree.
extern uint8_t SyncGroup[CH_COUNT];

// Empties the group and darkens every sync button's state.
void ResetSyncGroup();
// Flips the membership of ch (and its lit state); returns the new state.
uint8_t SyncToggle(uint8_t ch);
// True when ch is a member of the group.
bool SyncMember(uint8_t ch);
// The other members of ch's group in ascending order; none when ch itself is not a member.
// Returns how many were written to out (at most CH_COUNT - 1).
int SyncPartners(uint8_t ch, uint8_t out[CH_COUNT]);

// True when ch is a member and moving some other member's volume by delta leaves 0..600.
bool Vol_Sync_Check(uint8_t ch, int delta);
// True when ch is a member and moving some other member's delay by delta leaves 0..1500.
bool Delay_Sync_Check(uint8_t ch, int delta);
