// The link tables and copy routines.
#include "ChannelLink.h"

#include "Commands.h"
#include "LinkState.h"

#include <cstring>

const LinkPair LinkPairTable[LINK_PAIR_COUNT] = {
    {3, 7}, {0, 4}, {1, 5}, {2, 6}, {11, 15}, {8, 12}, {9, 13}, {10, 14}, {17, 18},
};

bool ChannelLink::isLinked(uint8_t ch) const
{
    if (ch >= CH_COUNT) return false;
    for (int j = 0; j < CH_COUNT; ++j)
        if (LinkMatrix[ch][j]) return true;
    return false;
}

namespace {

void copyFilters(uint8_t dst, uint8_t src)
{
    ParamBlock &s = ParamStore;
    s.HpfBypass[dst] = s.HpfBypass[src];
    s.HpfType[dst] = s.HpfType[src];
    s.HpfFreq[dst] = s.HpfFreq[src];
    s.HpfSlope[dst] = s.HpfSlope[src];
    s.LpfBypass[dst] = s.LpfBypass[src];
    s.LpfType[dst] = s.LpfType[src];
    s.LpfFreq[dst] = s.LpfFreq[src];
    s.LpfSlope[dst] = s.LpfSlope[src];
}

void copyEqualiser(uint8_t dst, uint8_t src)
{
    ParamBlock &s = ParamStore;
    s.EqBypass[dst] = s.EqBypass[src];
    for (int b = 0; b < BAND_COUNT; ++b) {
        s.EqFreq[dst][b] = s.EqFreq[src][b];
        s.EqGain[dst][b] = s.EqGain[src][b];
        s.EqQ[dst][b] = s.EqQ[src][b];
    }
}

bool carriesFilters(uint8_t mode) { return mode != 1; }
bool carriesEqualiser(uint8_t mode) { return mode == 0 || mode == 1; }

}  // namespace

void ChannelLink::Link_Copy_Channel(uint8_t dst, uint8_t src)
{
    if (dst >= CH_COUNT || src >= CH_COUNT) return;
    const uint8_t mode = LinkMode[src];
    if (mode == 0) {
        copyFilters(dst, src);
        copyEqualiser(dst, src);
    } else if (mode == 1) {
        copyEqualiser(dst, src);
    } else {
        copyFilters(dst, src);
    }
}

void ChannelLink::EQ_Link_Copy(uint8_t ch, uint8_t band)
{
    if (ch >= CH_COUNT || band >= BAND_COUNT || !carriesEqualiser(LinkMode[ch])) return;
    for (uint8_t j = 0; j < CH_COUNT; ++j) {
        if (!LinkMatrix[ch][j]) continue;
        ParamStore.EqFreq[j][band] = ParamStore.EqFreq[ch][band];
        ParamStore.EqGain[j][band] = ParamStore.EqGain[ch][band];
        ParamStore.EqQ[j][band] = ParamStore.EqQ[ch][band];
        if (Link.Connected) CMD_EQ_BAND(j, band);
    }
}

void ChannelLink::HPF_Link_Copy(uint8_t src)
{
    if (src >= CH_COUNT || !carriesFilters(LinkMode[src])) return;
    for (uint8_t k = 0; k < CH_COUNT; ++k) {
        if (!LinkMatrix[src][k]) continue;
        ParamStore.HpfBypass[k] = ParamStore.HpfBypass[src];
        ParamStore.HpfType[k] = ParamStore.HpfType[src];
        ParamStore.HpfFreq[k] = ParamStore.HpfFreq[src];
        ParamStore.HpfSlope[k] = ParamStore.HpfSlope[src];
        if (Link.Connected) CMD_HPF(k);
    }
}

void ChannelLink::LPF_Link_Copy(uint8_t src)
{
    if (src >= CH_COUNT || !carriesFilters(LinkMode[src])) return;
    for (uint8_t k = 0; k < CH_COUNT; ++k) {
        if (!LinkMatrix[src][k]) continue;
        ParamStore.LpfBypass[k] = ParamStore.LpfBypass[src];
        ParamStore.LpfType[k] = ParamStore.LpfType[src];
        ParamStore.LpfFreq[k] = ParamStore.LpfFreq[src];
        ParamStore.LpfSlope[k] = ParamStore.LpfSlope[src];
        if (Link.Connected) CMD_LPF(k);
    }
}

void ChannelLink::setLink(uint8_t a, uint8_t b)
{
    LinkMatrix[a][b] = 1;
    LinkMatrix[b][a] = 1;
}

bool ChannelLink::Link_Apply(const std::function<uint8_t()> &selected, const std::function<void(uint8_t)> &linked)
{
    LinkPending = 1;
    if (selected() >= CH_COUNT) return false;
    const uint8_t p = ParamStore.ChName[selected()];
    const bool leftIsReference = LinkDir == 0;
    bool any = false;
    // First the selected channel is the reference and its partners follow it.
    for (const LinkPair &pair : LinkPairTable) {
        const uint8_t own = leftIsReference ? pair.left : pair.right;
        const uint8_t other = leftIsReference ? pair.right : pair.left;
        if (p != own) continue;
        for (uint8_t j = 0; j < CH_COUNT; ++j) {
            if (j == selected() || ParamStore.ChName[j] != other) continue;
            Link_Copy_Channel(j, selected());
            LinkMode[j] = LinkMode[selected()];
            setLink(selected(), j);
            any = true;
            if (linked) linked(j);
        }
    }
    if (any) return true;
    // Otherwise the selected channel follows a reference of the chosen side.
    for (const LinkPair &pair : LinkPairTable) {
        const uint8_t own = leftIsReference ? pair.left : pair.right;
        const uint8_t other = leftIsReference ? pair.right : pair.left;
        if (p != other) continue;
        for (uint8_t j = 0; j < CH_COUNT; ++j) {
            if (j == selected() || ParamStore.ChName[j] != own) continue;
            Link_Copy_Channel(selected(), j);
            setLink(selected(), j);
            any = true;
            if (linked) linked(selected());
        }
    }
    return any;
}

bool ChannelLink::Link_Remove_First(uint8_t ch)
{
    if (ch >= CH_COUNT) return false;
    for (int j = 0; j < CH_COUNT; ++j) {
        if (!LinkMatrix[ch][j] && !LinkMatrix[j][ch]) continue;
        LinkMatrix[ch][j] = 0;
        LinkMatrix[j][ch] = 0;
        return true;
    }
    return false;
}
