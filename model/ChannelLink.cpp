// The link tables and copy routines.
#include "ChannelLink.h"

#include "ProcessorSession.h"

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

void copyFilters(ParamBlock &s, uint8_t dst, uint8_t src)
{
    s.HpfBypass[dst] = s.HpfBypass[src];
    s.HpfType[dst] = s.HpfType[src];
    s.HpfFreq[dst] = s.HpfFreq[src];
    s.HpfSlope[dst] = s.HpfSlope[src];
    s.LpfBypass[dst] = s.LpfBypass[src];
    s.LpfType[dst] = s.LpfType[src];
    s.LpfFreq[dst] = s.LpfFreq[src];
    s.LpfSlope[dst] = s.LpfSlope[src];
}

bool carriesFilters(uint8_t mode) { return mode != 1; }
bool carriesEqualiser(uint8_t mode) { return mode == 0 || mode == 1; }

}  // namespace

void ChannelLink::Link_Copy_Channel(ProcessorSession &p, uint8_t dst, uint8_t src)
{
    if (dst >= CH_COUNT || src >= CH_COUNT) return;
    const uint8_t mode = LinkMode[src];
    if (mode == 0) {
        copyFilters(p.ParamStore, dst, src);
        p.ParamStore.copyEqualiser(dst, src);
    } else if (mode == 1) {
        p.ParamStore.copyEqualiser(dst, src);
    } else {
        copyFilters(p.ParamStore, dst, src);
    }
}

void ChannelLink::EQ_Link_Copy(ProcessorSession &p, uint8_t ch, uint8_t band)
{
    if (ch >= CH_COUNT || band >= BAND_COUNT || !carriesEqualiser(LinkMode[ch])) return;
    for (uint8_t j = 0; j < CH_COUNT; ++j) {
        if (!LinkMatrix[ch][j]) continue;
        p.ParamStore.EqFreq[j][band] = p.ParamStore.EqFreq[ch][band];
        p.ParamStore.EqGain[j][band] = p.ParamStore.EqGain[ch][band];
        p.ParamStore.EqQ[j][band] = p.ParamStore.EqQ[ch][band];
        if (p.Link.Connected) CMD_EQ_BAND(p, j, band);
    }
}

void ChannelLink::HPF_Link_Copy(ProcessorSession &p, uint8_t src)
{
    if (src >= CH_COUNT || !carriesFilters(LinkMode[src])) return;
    for (uint8_t k = 0; k < CH_COUNT; ++k) {
        if (!LinkMatrix[src][k]) continue;
        p.ParamStore.HpfBypass[k] = p.ParamStore.HpfBypass[src];
        p.ParamStore.HpfType[k] = p.ParamStore.HpfType[src];
        p.ParamStore.HpfFreq[k] = p.ParamStore.HpfFreq[src];
        p.ParamStore.HpfSlope[k] = p.ParamStore.HpfSlope[src];
        if (p.Link.Connected) CMD_HPF(p, k);
    }
}

void ChannelLink::LPF_Link_Copy(ProcessorSession &p, uint8_t src)
{
    if (src >= CH_COUNT || !carriesFilters(LinkMode[src])) return;
    for (uint8_t k = 0; k < CH_COUNT; ++k) {
        if (!LinkMatrix[src][k]) continue;
        p.ParamStore.LpfBypass[k] = p.ParamStore.LpfBypass[src];
        p.ParamStore.LpfType[k] = p.ParamStore.LpfType[src];
        p.ParamStore.LpfFreq[k] = p.ParamStore.LpfFreq[src];
        p.ParamStore.LpfSlope[k] = p.ParamStore.LpfSlope[src];
        if (p.Link.Connected) CMD_LPF(p, k);
    }
}

void ChannelLink::setLink(uint8_t a, uint8_t b)
{
    LinkMatrix[a][b] = 1;
    LinkMatrix[b][a] = 1;
}

bool ChannelLink::Link_Apply(ProcessorSession &p, const std::function<uint8_t()> &selected, const std::function<void(uint8_t)> &linked)
{
    LinkPending = 1;
    if (selected() >= CH_COUNT) return false;
    const uint8_t position = p.ParamStore.ChName[selected()];
    const bool leftIsReference = LinkDir == 0;
    bool any = false;
    // First the selected channel is the reference and its partners follow it.
    for (const LinkPair &pair : LinkPairTable) {
        const uint8_t own = leftIsReference ? pair.left : pair.right;
        const uint8_t other = leftIsReference ? pair.right : pair.left;
        if (position != own) continue;
        for (uint8_t j = 0; j < CH_COUNT; ++j) {
            if (j == selected() || p.ParamStore.ChName[j] != other) continue;
            Link_Copy_Channel(p, j, selected());
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
        if (position != other) continue;
        for (uint8_t j = 0; j < CH_COUNT; ++j) {
            if (j == selected() || p.ParamStore.ChName[j] != own) continue;
            Link_Copy_Channel(p, selected(), j);
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
