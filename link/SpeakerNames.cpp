// The speaker-position name table and the layout of the channel-name menus.
#include "SpeakerNames.h"

static_assert(int(Txt::SpeakerOff) - int(Txt::SpeakerFLTweeter) == SPK_OFF, "one name per position code");

const NameMenuGroup NameMenuGroups[NAME_GROUP_COUNT] = {
    {Txt::NameMenuFL, 4, {3, 0, 1, 2}, {Txt::NameEntryFull, Txt::NameEntryHigh, Txt::NameEntryMid, Txt::NameEntryLow}},
    {Txt::NameMenuFR, 4, {7, 4, 5, 6}, {Txt::NameEntryFull, Txt::NameEntryHigh, Txt::NameEntryMid, Txt::NameEntryLow}},
    {Txt::NameMenuSL, 4, {11, 8, 9, 10}, {Txt::NameEntryFull, Txt::NameEntryHigh, Txt::NameEntryMid, Txt::NameEntryLow}},
    {Txt::NameMenuSR, 4, {15, 12, 13, 14}, {Txt::NameEntryFull, Txt::NameEntryHigh, Txt::NameEntryMid, Txt::NameEntryLow}},
    {Txt::NameMenuCEN, 1, {SPK_CEN}, {Txt::NameEntryCen}},
    {Txt::NameMenuSUB, 3, {SPK_LSUB, SPK_RSUB, SPK_SSUB}, {Txt::NameEntryLSub, Txt::NameEntryRSub, Txt::NameEntrySSub}},
};

Txt SpeakerNameId(uint8_t code)
{
    if (code > SPK_OFF) code = SPK_OFF;
    return Txt(int(Txt::SpeakerFLTweeter) + code);
}

QString SpeakerName(uint8_t code, uint8_t language)
{
    return T(SpeakerNameId(code), language);
}

