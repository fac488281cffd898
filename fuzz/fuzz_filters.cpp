// Arbitrary text as a filter file (REW filter settings, Equalizer APO / AutoEq), in memory: a file without a
// readable filter changes no band, otherwise every band is within the equaliser's limits; every note names a
// line of the file; the bands exported and imported again are the same bands.
#include "FilterFile.h"
#include "FuzzInput.h"

#include <algorithm>

namespace {
void checkImport(const FilterImport &in, const BandSet &current, const QByteArray &text, bool messages)
{
    FUZZ_CHECK(in.filters >= 0 && in.filters <= FILTER_FILE_MAX_FILTERS);
    FUZZ_CHECK(in.ok() || in.bands == current);
    for (const BandCode &c : in.bands) FUZZ_CHECK(c.freq >= 20 && c.freq <= 20000 && c.gain <= 240 && c.q >= 4 && c.q <= 100);
    FUZZ_CHECK(in.rmsDb >= 0.0);
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
    FUZZ_CHECK(back.filters == BAND_COUNT && !back.fitted && back.bands == in.bands);
    FUZZ_CHECK(back.notes.size() == 1 && back.notes[0].kind == FilterNoteKind::Preamp && back.notes[0].line == 1);
    // Switched off, every filter is skipped and the file is refused.
    const FilterImport off = ImportFilters(ExportFilters(in.bands, true), current);
    FUZZ_CHECK(!off.ok() && off.bands == current && off.notes.size() == 1 + BAND_COUNT);
    return 0;
}
