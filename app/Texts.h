// Every paired text of the program (Chinese, English) in one table, picked by LanguageFlag.
#pragma once

#include <QString>
#include <cstdint>

// 0 = Chinese (the start value), nonzero = English.
extern uint8_t LanguageFlag;

enum class Txt {
    NoticeTitle,
    ConnectError,       // a write to the processor failed
    NameMismatch,       // the processor answered with another name
    StatusOnline,
    StatusOffline,
    FilterOff,          // slope caption of a bypassed filter
    AboutHeading,
    AboutApplication,
    AboutFirmware,
    // Speaker positions by code 0..20 (channel naming); keep in code order.
    SpeakerFLTweeter, SpeakerFLMidrange, SpeakerFLWoofer, SpeakerFLFull,
    SpeakerFRTweeter, SpeakerFRMidrange, SpeakerFRWoofer, SpeakerFRFull,
    SpeakerRLTweeter, SpeakerRLMidrange, SpeakerRLWoofer, SpeakerRLFull,
    SpeakerRRTweeter, SpeakerRRMidrange, SpeakerRRWoofer, SpeakerRRFull,
    SpeakerCenter, SpeakerLSub, SpeakerRSub, SpeakerSub, SpeakerOff,
    // Channel-name menus: submenu titles and entries.
    NameMenuFL, NameMenuFR, NameMenuSL, NameMenuSR, NameMenuCEN, NameMenuSUB,
    NameEntryFull, NameEntryHigh, NameEntryMid, NameEntryLow,
    NameEntryCen, NameEntryLSub, NameEntryRSub, NameEntrySSub, NameEntryOff,
    // The left/right link dialog.
    LinkHeading, LinkRefHeading, LinkRefLeft, LinkRefRight, LinkParamHeading,
    LinkFilter, LinkEq, LinkEqFilter, LinkSync,
    Count_
};

struct TextPair {
    const char *zh;
    const char *en;
};

// The text of id in the current language.
QString T(Txt id);
// The text of id in the given language (0 = Chinese).
QString T(Txt id, uint8_t language);
