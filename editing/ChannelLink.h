// Left/right link state and the copies that mirror edits to a linked partner.
#pragma once

#include "ParamStore.h"

#include <cstdint>
#include <functional>

// 1 = outputs r and c are linked; always symmetric, never on the diagonal.
extern uint8_t LinkMatrix[CH_COUNT][CH_COUNT];
// Groups a link of this channel carries: 0 = equaliser and filters, 1 = equaliser only, 2 = filters only
// (any other value acts as filters only).
extern uint8_t LinkMode[CH_COUNT];
// Reference side of the next link: 0 = left, anything else = right (0xFF = none).
extern uint8_t LinkDir;
// 1 once the dialog applied a link; 0 after an unlink.
extern uint8_t LinkPending;

struct LinkPair {
    uint8_t left;
    uint8_t right;
};
constexpr int LINK_PAIR_COUNT = 9;
extern const LinkPair LinkPairTable[LINK_PAIR_COUNT];

// Puts the link state back to its start values.
void ResetChannelLink();
// True when any entry of row ch is set.
bool ChannelIsLinked(uint8_t ch);

// Copies the groups chosen by LinkMode[src] from src to dst in the store; sends nothing.
void Link_Copy_Channel(uint8_t dst, uint8_t src);
// Copies band b of ch to every channel linked to ch (modes 0 and 1) and sends each copy while connected.
void EQ_Link_Copy(uint8_t ch, uint8_t band);
// Copies the high-pass / low-pass filter of src to its linked channels (modes 0 and 2), sending each copy.
void HPF_Link_Copy(uint8_t src);
void LPF_Link_Copy(uint8_t src);

// The dialog's apply, after it recorded LinkDir and LinkMode[CurCh]: links the selected channel to the
// channels that carry the partner position (ChName) and calls linked(ch) for the channel to show after each
// link. That call may change CurCh (the window switches its view), and every step reads CurCh afresh.
// Returns true when a link was made.
bool Link_Apply(const std::function<void(uint8_t)> &linked);
// Removes the first link of ch (lowest partner index), in both directions. False when ch has none.
bool Link_Remove_First(uint8_t ch);
