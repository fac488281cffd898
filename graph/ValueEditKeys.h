// Widget-free rules of the arrow-key and wheel steps of the value edits.
#pragma once

#include "CrossoverRules.h"

#include <QString>

// The edit families the window steps by key and wheel, found from an edit's object name.
enum class ValueEditKind { None, ChVol, ChDelay, EqGain, EqFreq, EqQ };

struct ValueEditRef {
    ValueEditKind kind = ValueEditKind::None;
    int index = -1;  // channel 0..5 or band 0..30
};

// "Edit_CHVol_3" -> channel 2, "Edit_EQ_Q_31" -> band 30; names are tested in the order
// CHVol, CHDelay, EQ_Gain, EQ_Freq, EQ_Q; numbers 0, above 6 (channels) or above 31 (bands) give None.
ValueEditRef ParseValueEditName(const QString &name);
