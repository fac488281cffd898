// Widget-free rules of the arrow-key and wheel steps of the value edits.
#pragma once

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

// Units applied by one key press: three for an auto-repeated key, else one.
constexpr int KeyStepUnits(bool autoRepeat) { return autoRepeat ? 3 : 1; }

// value moved by `units` steps of one in direction dir (+1 / -1); each step is taken only while
// the result stays in lo..hi, so the value stops at the range end.
int StepWithinRange(int value, int dir, int units, int lo, int hi);
