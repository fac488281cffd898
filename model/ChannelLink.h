// Left/right link state and the copies that mirror edits to a linked partner.
#pragma once

#include "ParamStore.h"

#include <cstdint>
#include <functional>

class ProcessorSession;

struct LinkPair {
    uint8_t left;
    uint8_t right;
};
constexpr int LINK_PAIR_COUNT = 9;
extern const LinkPair LinkPairTable[LINK_PAIR_COUNT];

class ChannelLink
{
public:
    // 1 = outputs r and c are linked; always symmetric, never on the diagonal.
    uint8_t LinkMatrix[CH_COUNT][CH_COUNT] = {};
    // Groups a link of this channel carries: 0 = equaliser and filters, 1 = equaliser only, 2 = filters only
    // (any other value acts as filters only).
    uint8_t LinkMode[CH_COUNT] = {};
    // Reference side of the next link: 0 = left, anything else = right (0xFF = none).
    uint8_t LinkDir = 0;
    // 1 once the dialog applied a link; 0 after an unlink.
    uint8_t LinkPending = 0;

    // True when any entry of row ch is set.
    bool isLinked(uint8_t ch) const;

    // Copies the groups chosen by LinkMode[src] from src to dst in the store; sends nothing.
    void Link_Copy_Channel(ProcessorSession &p, uint8_t dst, uint8_t src);
    // Copies band b of ch to every channel linked to ch (modes 0 and 1) and sends each copy while connected.
    void EQ_Link_Copy(ProcessorSession &p, uint8_t ch, uint8_t band);
    // Copies the high-pass / low-pass filter of src to its linked channels (modes 0 and 2), sending each copy.
    void HPF_Link_Copy(ProcessorSession &p, uint8_t src);
    void LPF_Link_Copy(ProcessorSession &p, uint8_t src);

    // Applies a link of channel `ch` with the side and mode recorded by the dialog: links ch to the channels
    // that carry the partner position (ChName) and calls linked(c) for the channel to show after each link.
    // That call may change the selected channel, so `selected` is asked afresh at every step.
    // Returns true when a link was made.
    bool Link_Apply(ProcessorSession &p, const std::function<uint8_t()> &selected, const std::function<void(uint8_t)> &linked);
    // Removes the first link of ch (lowest partner index), in both directions. False when ch has none.
    bool Link_Remove_First(uint8_t ch);

private:
    void setLink(uint8_t a, uint8_t b);
};
