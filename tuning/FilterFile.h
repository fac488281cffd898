// Filter files: REW "Filter Settings" text for the Generic equaliser and Equalizer APO / AutoEq
// ParametricEQ.txt lines into an output's bands, and the output's bands back out as APO lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

#include "CurveText.h"
#include "OutputResponse.h"

// What the import did with a line other than taking a peaking filter as it stands.
enum class FilterNoteKind {
    Preamp,       // a preamp line: reported, not applied (the output volume sets the level)
    SwitchedOff,  // a filter marked OFF: skipped
    OtherType,    // not a peaking filter (LS, HS, LP, HP, NO, ...): skipped
    BeyondBands,  // a peaking filter after the 31st: skipped
    Unreadable,   // a filter line without a readable frequency, gain or Q: skipped
    FreqClamped,  // frequency limited to 20..20000 Hz
    GainClamped,  // gain limited to -12.0..+12.0 dB
    QClamped,     // Q limited to 0.4..10.0
};

struct FilterNote {
    int line = 0;
    FilterNoteKind kind = FilterNoteKind::Unreadable;
    double value = 0.0;  // the value as read (preamp dB, frequency, gain or Q)
    QString type;        // the filter type for OtherType

    // English summary line (command-line tool); the window builds its own from the fields.
    QString message() const;
};

struct FilterImport {
    BandSet bands{};
    int peaking = 0;  // bands filled from the file, from band 1 on
    std::vector<FilterNote> notes;
};

// Peaking filters fill bands 1..31 in order; the remaining bands are set flat (0 dB) and keep their
// frequency and Q. Frequencies are rounded to whole hertz, gains to 0.1 dB, Q to 0.1; out-of-limit values
// are clamped and noted. Lines that are neither filters nor a preamp (headers, comments) are ignored.
FilterImport ImportFilters(const QByteArray &text, const BandSet &current);
bool ImportFilterFile(const QString &path, const BandSet &current, FilterImport &out, TextError &err);

// "Preamp: -x dB" (minus the highest boost of the summed bands, so the output cannot clip) and one
// "Filter n: ON PK Fc f Hz Gain g dB Q q" line per band, all 31 (OFF when the equaliser is bypassed).
QByteArray ExportFilters(const BandSet &bands, bool bypassed);
