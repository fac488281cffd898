// Arbitrary text as a filter file (REW filter settings, Equalizer APO / AutoEq), in memory: the bands it
// fills are within the equaliser's limits, the others are flat and keep their frequency and Q, every note
// names a line of the file; the bands exported and imported again are the same bands.
#include "FilterFile.h"
#include "FuzzInput.h"

#include <algorithm>

namespace {
void checkImport(const FilterImport &in, const BandSet &current, const QByteArray &text, bool messages)
{
    FUZZ_CHECK(in.peaking >= 0 && in.peaking <= BAND_COUNT);
    for (int b = 0; b < BAND_COUNT; ++b) {
        const BandCode &c = in.bands[size_t(b)];
        if (b < in.peaking) {
            FUZZ_CHECK(c.freq >= 20 && c.freq <= 20000 && c.gain <= 240 && c.q >= 4 && c.q <= 100);
        } else {
            FUZZ_CHECK(c.gain == GAIN_ZERO && c.freq == current[size_t(b)].freq && c.q == current[size_t(b)].q);
        }
    }
    const int lines = text.count('\n') + 1;
    for (const FilterNote &n : in.notes) {
        FUZZ_CHECK(n.line >= 1 && n.line <= lines);
        FUZZ_CHECK(!messages || !n.message().isEmpty());
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    // The output's bands before the import (valid codes): the first byte shifts them away from the defaults.
    BandSet current;
    for (int b = 0; b < BAND_COUNT; ++b)
        current[size_t(b)] = {uint16_t(std::min(20000, DefaultEqFreq[b] + data[0] % 7)), uint16_t(b * 7 % 241),
                              uint8_t(4 + (b + data[0]) % 97)};
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    const FilterImport in = ImportFilters(text, current);
    // The notes' texts and the round trip through the exporter (the slow part: the summed response and two
    // imports of 32 lines) for one input in 32.
    const bool full = InputHash(data, size) % 32 == 0;
    checkImport(in, current, text, full);
    if (!full) return 0;
    const QByteArray exported = ExportFilters(in.bands, false);
    const FilterImport back = ImportFilters(exported, current);
    checkImport(back, current, exported, false);
    FUZZ_CHECK(back.peaking == BAND_COUNT && back.bands == in.bands);
    FUZZ_CHECK(back.notes.size() == 1 && back.notes[0].kind == FilterNoteKind::Preamp && back.notes[0].line == 1);
    // Switched off, every band is skipped and the output stays flat.
    const FilterImport off = ImportFilters(ExportFilters(in.bands, true), current);
    FUZZ_CHECK(off.peaking == 0 && off.notes.size() == 1 + BAND_COUNT);
    return 0;
}
