// Speaker positions of the outputs: position codes, their names in both languages and the name-menu layout.
#pragma once

#include "SpeakerCodes.h"
#include "Texts.h"

#include <QString>
#include <cstdint>

// Text id of a position name; a code above 20 reads as OFF.
Txt SpeakerNameId(uint8_t code);
// Position name in the given language (0 = Chinese).
QString SpeakerName(uint8_t code, uint8_t language);

// One submenu of a channel-name menu: its title and its entries with their codes, in menu order.
struct NameMenuGroup {
    Txt title;
    int entryCount;
    uint8_t codes[4];
    Txt entries[4];
};
// The six submenus FL, FR, SL, SR, CEN, SUB; the OFF entry (code 20, NameEntryOff) follows them.
constexpr int NAME_GROUP_COUNT = 6;
extern const NameMenuGroup NameMenuGroups[NAME_GROUP_COUNT];
