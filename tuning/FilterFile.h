// Filter files: REW "Filter Settings" text for the Generic equaliser and Equalizer APO / AutoEq
// ParametricEQ.txt lines into an output's bands by their response, and the bands back out as APO lines.
#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

#include "CurveText.h"
#include "OutputResponse.h"

// What the import did with a line other than taking a peaking filter as it stands.
enum class FilterNoteKind {
    Preamp,       // a preamp line: reported, not applied (the output volume sets the level)
    SwitchedOff,  // a filter marked OFF: skipped
    OtherType,    // a filter type not read (BP, ...): skipped
    BeyondBands,  // a filter after the FILTER_FILE_MAX_FILTERS-th: skipped
    Unreadable,   // a filter line without a readable frequency, gain or Q (or one out of reach): skipped
    // Only when each peaking filter went into a band as it stands:
    FreqClamped,  // frequency limited to 20..20000 Hz
    GainClamped,  // gain limited to -12.0..+12.0 dB
    QClamped,     // the band's Q limited to 0.4..10.0
};

struct FilterNote {
    int line = 0;
    FilterNoteKind kind = FilterNoteKind::Unreadable;
    double value = 0.0;  // the value as read (preamp dB, frequency, gain or Q)
    QString type;        // the filter type for OtherType

    // English summary line (command-line tool); the window builds its own from the fields.
    QString message() const;
};

constexpr int FILTER_FILE_MAX_FILTERS = 64;

struct FilterImport {
    BandSet bands{};      // the output's bands after the import; unchanged when nothing was read
    int filters = 0;      // filters read (0: the file is refused and changes nothing)
    bool fitted = false;  // fitted to the file's response (false: each peaking filter went into a band)
    double rmsDb = 0.0;   // RMS difference of the bands' response to the file's, 1/48 octave, 20 Hz..20 kHz
    std::vector<FilterNote> notes;

    bool ok() const { return filters > 0; }
};

// The file's intended response is the sum of its filters' audio-EQ-cookbook responses at 48 kHz
// (FilterResponse.h): peaking (PK, PEQ), shelves (LS, HS, LSC, HSC, with a Q, a slope such as "12dB", or
// neither), low and high pass (LP, HP, LPQ, HPQ), notch (NO) and all-pass (AP). The preamp is noted, not
// applied (the output volume sets the level). When the file holds only peaking filters, no more than the
// free bands and within the processor's limits, each goes into a free band as it stands, its Q converted
// (ProcessorQ); otherwise, or when that misses the response by more than 0.05 dB RMS, the free bands are
// fitted to the response (BandFitter, gain -12..+12 dB) and the closer of the two is kept. Locked bands keep
// their values and their response counts; free bands not used are set flat and keep frequency and Q.
// Lines that are neither filters nor a preamp (headers, comments) are ignored.
FilterImport ImportFilters(const QByteArray &text, const BandSet &current,
                           const std::array<bool, BAND_COUNT> &locked = {});
bool ImportFilterFile(const QString &path, const BandSet &current, FilterImport &out, TextError &err,
                      const std::array<bool, BAND_COUNT> &locked = {});

// "Preamp: -x dB" (minus the highest boost of the summed bands, so the output cannot clip) and one
// "Filter n: ON PK Fc f Hz Gain g dB Q q" line per band, all 31 (OFF when the equaliser is bypassed), q
// the cookbook Q of the band's peaking section (CookbookQ), so that the cookbook response of each line is
// the band's response.
QByteArray ExportFilters(const BandSet &bands, bool bypassed);
