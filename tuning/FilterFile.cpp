// Reading and writing parametric filter lines.
#include "FilterFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

#include "BandFitter.h"
#include "FilterResponse.h"
#include "FreqCurve.h"
#include "ProcessorResponse.h"

namespace {

// A word of the text, pointing into it: a file is read without copying its lines or words.
using Word = std::string_view;

// Byte tables: the bytes that separate words (tab, line feed, vertical tab, form feed, carriage return and
// space), and every byte in lower case (ASCII letters only).
struct ByteTables {
    std::array<bool, 256> space{};
    std::array<char, 256> lower{};
    constexpr ByteTables()
    {
        for (int c = 0; c < 256; ++c) lower[size_t(c)] = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        for (char c : {'\t', '\n', '\v', '\f', '\r', ' '}) space[uint8_t(c)] = true;
    }
};
constexpr ByteTables Bytes;

// Whether `w` starts with the lower-case `prefix`, in any case.
bool StartsWith(Word w, Word prefix)
{
    if (w.size() < prefix.size()) return false;
    const char *c = w.data();
    for (char p : prefix)
        if (Bytes.lower[uint8_t(*c++)] != p) return false;
    return true;
}

bool Is(Word w, Word lowerWord) { return w.size() == lowerWord.size() && StartsWith(w, lowerWord); }

bool EndsWithColon(Word w) { return !w.empty() && w.back() == ':'; }

bool Number(Word w, double &v) { return ParseDecimal(w.data(), w.data() + w.size(), v) && std::isfinite(v); }

// The whitespace-separated words of one line, into `out` (kept from line to line).
void SplitWords(const char *p, const char *end, std::vector<Word> &out)
{
    out.clear();
    ForEachWord(p, end, [](char c) { return Bytes.space[uint8_t(c)]; },
                [&out](const char *first, const char *last) { out.emplace_back(first, size_t(last - first)); });
}

// The settings of one filter line after "Filter n:".
struct FilterLine {
    bool on = false;
    Word type;
    double fc = NAN, gain = NAN, q = NAN, slope = NAN;
};

// A shelf's slope as "12dB" or "12 dB" between the type and "Fc".
bool Slope(const std::vector<Word> &t, size_t i, double &v)
{
    const Word w = t[i];
    if (w.size() > 2 && StartsWith(w.substr(w.size() - 2), "db")) return Number(w.substr(0, w.size() - 2), v);
    return i + 1 < t.size() && Is(t[i + 1], "db") && Number(w, v);
}

FilterLine ReadFilterLine(const std::vector<Word> &t, size_t first)
{
    FilterLine f;
    size_t i = first;
    if (i < t.size()) f.on = Is(t[i++], "on");
    if (i < t.size()) f.type = t[i++];
    for (; i < t.size(); ++i) {
        double v;
        if (Is(t[i], "fc") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.fc = v;
        } else if (Is(t[i], "gain") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.gain = v;
        } else if (Is(t[i], "q") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.q = v;
        } else if (Is(t[i], "bw") && i + 2 < t.size() && Is(t[i + 1], "oct") && Number(t[i + 2], v) && v > 0.0) {
            const double p = std::pow(2.0, v);
            f.q = std::sqrt(p) / (p - 1.0);
        } else if (std::isnan(f.fc) && std::isnan(f.slope) && Slope(t, i, v)) {
            f.slope = v;
        }
    }
    return f;
}

// The filter types read, by their names in the files.
struct TypeName {
    char name[6];
    FileFilterType type;
};
constexpr TypeName TypeNames[] = {
    {"pk", FileFilterType::Peaking},    {"peq", FileFilterType::Peaking},   {"modal", FileFilterType::Peaking},
    {"ls", FileFilterType::LowShelf},   {"lsc", FileFilterType::LowShelf},  {"lsq", FileFilterType::LowShelf},
    {"hs", FileFilterType::HighShelf},  {"hsc", FileFilterType::HighShelf}, {"hsq", FileFilterType::HighShelf},
    {"lp", FileFilterType::LowPass},    {"lpq", FileFilterType::LowPass},   {"hp", FileFilterType::HighPass},
    {"hpq", FileFilterType::HighPass},  {"no", FileFilterType::Notch},      {"ap", FileFilterType::AllPass},
};

bool TypeOf(Word w, FileFilterType &type)
{
    for (const TypeName &n : TypeNames)
        if (Is(w, n.name)) {
            type = n.type;
            return true;
        }
    return false;
}

// The line as a filter whose response can be computed: a frequency below 24 kHz, a gain where the type has
// one (within +-30 dB), a Q where one was given (0.05..100) and a slope where one was given (0..24 dB).
bool Readable(const FilterLine &l, FileFilterType type, FileFilter &f)
{
    const bool gained = type == FileFilterType::Peaking || type == FileFilterType::LowShelf ||
                        type == FileFilterType::HighShelf;
    if (!(l.fc > 0.0 && l.fc < 24000.0)) return false;
    if (gained && !(std::abs(l.gain) <= 30.0)) return false;
    if (type == FileFilterType::Peaking && std::isnan(l.q)) return false;
    if (!std::isnan(l.q) && !(l.q >= 0.05 && l.q <= 100.0)) return false;
    if (!std::isnan(l.slope) && !(l.slope > 0.0 && l.slope <= 24.0)) return false;
    f = FileFilter{type, l.fc, gained ? l.gain : 0.0, std::isnan(l.q) ? 0.0 : l.q, std::isnan(l.slope) ? 0.0 : l.slope};
    return true;
}

// Limits a value, noting it when it was outside.
// A value that rounds to the code range (step: the code's resolution) is taken without a note: the exporter's
// rounded Q of a band at the limit must read back as that band.
double Limit(double v, double lo, double hi, double step, int line, FilterNoteKind kind, std::vector<FilterNote> &notes)
{
    if (v >= lo && v <= hi) return v;
    if (!(v >= lo - step / 2 && v <= hi + step / 2)) notes.push_back(FilterNote{line, kind, v, QString()});
    return std::clamp(v, lo, hi);
}

// A "Preamp: x dB" line (also "Preamp:x"): its value as a note.
void ReadPreamp(const std::vector<Word> &t, int line, std::vector<FilterNote> &notes)
{
    const size_t colon = t[0].find(':');
    if (colon == Word::npos) return;
    const Word value = EndsWithColon(t[0]) ? (t.size() > 1 ? t[1] : Word()) : t[0].substr(colon + 1);
    double v;
    if (Number(value, v)) notes.push_back(FilterNote{line, FilterNoteKind::Preamp, v, QString()});
}

}  // namespace

namespace {

constexpr double DIRECT_GOOD_DB = 0.05;  // a direct mapping this close is kept without a fit
constexpr double IMPORT_MAX_BOOST_DB = 12.0;

double Rms(const std::vector<double> &a, const std::vector<double> &b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i) sum += (a[i] - b[i]) * (a[i] - b[i]);
    return a.empty() ? 0.0 : std::sqrt(sum / double(a.size()));
}

// Each peaking filter into the next free band as it stands, limited and noted; false when it cannot be done.
bool Direct(const std::vector<FileFilter> &filters, const std::vector<int> &lines, const std::vector<int> &free,
            BandSet &bands, std::vector<FilterNote> &notes)
{
    if (filters.size() > free.size()) return false;
    for (size_t k = 0; k < filters.size(); ++k) {
        const FileFilter &f = filters[k];
        if (f.type != FileFilterType::Peaking) return false;
        BandCode &b = bands[size_t(free[k])];
        const int line = lines[k];
        b.freq = uint16_t(std::lround(Limit(f.fc, GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 1.0, line, FilterNoteKind::FreqClamped, notes)));
        const double gain = Limit(f.gainDb, -12.0, 12.0, 0.1, line, FilterNoteKind::GainClamped, notes);
        b.gain = uint16_t(std::lround(gain * 10.0) + GAIN_ZERO);
        b.q = uint8_t(std::lround(Limit(ProcessorQ(f.q, b.gainDb()), 0.4, 10.0, 0.1, line, FilterNoteKind::QClamped, notes) * 10.0));
    }
    return true;
}

}  // namespace

FilterImport ImportFilters(const QByteArray &text, const BandSet &current, const std::array<bool, BAND_COUNT> &locked)
{
    FilterImport out;
    out.bands = current;
    std::vector<FileFilter> filters;
    std::vector<int> lines;
    std::vector<Word> t;
    t.reserve(16);
    const char *at = text.constData(), *const end = at + text.size();
    for (int line = 1; at; ++line) {
        const char *const eol = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)));
        SplitWords(at, eol ? eol : end, t);
        at = eol ? eol + 1 : nullptr;  // past the last line
        if (t.empty()) continue;
        if (StartsWith(t[0], "preamp")) {
            ReadPreamp(t, line, out.notes);
            continue;
        }
        if (!StartsWith(t[0], "filter")) continue;
        const size_t first = size_t(std::find_if(t.begin(), t.end(), EndsWithColon) - t.begin());
        if (first == t.size()) continue;  // "Filter Settings file" and other headings
        const FilterLine l = ReadFilterLine(t, first + 1);
        if (Is(l.type, "none")) continue;  // an unused slot
        if (!l.on) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::SwitchedOff, 0.0, QString()});
            continue;
        }
        FileFilterType type;
        if (!TypeOf(l.type, type)) {
            const QByteArray name = QByteArray(l.type.data(), int(l.type.size())).toUpper();
            out.notes.push_back(FilterNote{line, FilterNoteKind::OtherType, 0.0, QString::fromUtf8(name)});
            continue;
        }
        FileFilter f;
        if (!Readable(l, type, f)) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::Unreadable, 0.0, QString()});
            continue;
        }
        if (int(filters.size()) == FILTER_FILE_MAX_FILTERS) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::BeyondBands, f.fc, QString()});
            continue;
        }
        filters.push_back(f);
        lines.push_back(line);
    }
    out.filters = int(filters.size());
    if (filters.empty()) return out;  // refused: nothing changes

    // The file's response, the locked bands' response and the free bands (flat to begin with).
    const std::vector<double> hz = LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 48);
    std::vector<double> fileDb(hz.size(), 0.0);
    for (const FileFilter &f : filters) {
        const std::vector<double> one = FileFilterDb(f, hz);
        for (size_t i = 0; i < hz.size(); ++i) fileDb[i] += one[i];
    }
    std::vector<int> free;
    BandSet flat = current;
    for (int b = 0; b < BAND_COUNT; ++b) {
        if (locked[size_t(b)]) continue;
        free.push_back(b);
        flat[size_t(b)].gain = GAIN_ZERO;
    }
    const std::vector<double> lockedDb = BandsDb(flat, hz);

    BandSet direct = flat;
    std::vector<FilterNote> limits;
    const bool mapped = Direct(filters, lines, free, direct, limits);
    const double directRms = mapped ? Rms(BandsDb(direct, hz), fileDb) : HUGE_VAL;
    if (directRms > DIRECT_GOOD_DB && !free.empty()) {
        BandFitter::Problem problem{hz, fileDb, std::vector<bool>(hz.size(), true), IMPORT_MAX_BOOST_DB, 0.0};
        for (size_t i = 0; i < hz.size(); ++i) problem.wanted[i] -= lockedDb[i];
        BandSet fitted = flat;
        BandFitter(problem).fitBands(fitted, free);
        const double fittedRms = Rms(BandsDb(fitted, hz), fileDb);
        if (fittedRms < directRms) {
            out.bands = fitted;
            out.fitted = true;
            out.rmsDb = fittedRms;
            return out;
        }
    }
    if (mapped) {
        out.bands = direct;
        out.rmsDb = directRms;
        out.notes.insert(out.notes.end(), limits.begin(), limits.end());
        std::stable_sort(out.notes.begin(), out.notes.end(),
                         [](const FilterNote &a, const FilterNote &b) { return a.line < b.line; });
    } else {  // every band locked and no direct mapping: nothing can take the file
        out.bands = flat;
        out.rmsDb = Rms(lockedDb, fileDb);
    }
    return out;
}

bool ImportFilterFile(const QString &path, const BandSet &current, FilterImport &out, TextError &err,
                      const std::array<bool, BAND_COUNT> &locked)
{
    QByteArray bytes;
    if (!ReadLimitedFile(path, bytes, err)) return false;
    out = ImportFilters(bytes, current, locked);
    return true;
}

namespace {

// Appends a number as plain digits (the C locale's, whatever the program's locale), with `decimals` places
// for a fraction.
void AppendNumber(QByteArray &out, double v, int decimals)
{
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed, decimals).ptr;
    out.append(digits, int(end - digits));
}

void AppendNumber(QByteArray &out, int v)
{
    char digits[16];
    out.append(digits, int(std::to_chars(digits, digits + sizeof digits, v).ptr - digits));
}

}  // namespace

QByteArray ExportFilters(const BandSet &bands, bool bypassed)
{
    double peak = 0.0;
    if (!bypassed) {
        const std::vector<double> grid = LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 48);
        const std::vector<double> total = BandsDb(bands, grid);
        peak = std::max(0.0, *std::max_element(total.begin(), total.end()));
    }
    QByteArray out;
    out.reserve(64 * (BAND_COUNT + 1));
    out += "Preamp: ";
    AppendNumber(out, peak > 0.0 ? -std::ceil(peak * 10.0 - 1e-9) / 10.0 : 0.0, 1);
    out += " dB\n";
    for (int b = 0; b < BAND_COUNT; ++b) {
        out += "Filter ";
        AppendNumber(out, b + 1);
        out += bypassed ? ": OFF PK Fc " : ": ON PK Fc ";
        AppendNumber(out, bands[b].freq);
        out += " Hz Gain ";
        AppendNumber(out, bands[b].gainDb(), 1);
        out += " dB Q ";
        AppendNumber(out, CookbookQ(bands[b].q / 10.0, bands[b].gainDb()), 2);
        out += "\n";
    }
    return out;
}

QString FilterNote::message() const
{
    const QString at = QStringLiteral("line %1: ").arg(line);
    switch (kind) {
    case FilterNoteKind::Preamp: return at + QStringLiteral("preamp %1 dB not applied (set the output volume)").arg(value);
    case FilterNoteKind::SwitchedOff: return at + QStringLiteral("filter switched off, skipped");
    case FilterNoteKind::OtherType: return at + QStringLiteral("%1 filter skipped (a type not read)").arg(type);
    case FilterNoteKind::BeyondBands: return at + QStringLiteral("filter beyond the first %1 skipped").arg(FILTER_FILE_MAX_FILTERS);
    case FilterNoteKind::Unreadable: return at + QStringLiteral("filter without a readable frequency, gain and Q skipped");
    case FilterNoteKind::FreqClamped: return at + QStringLiteral("frequency %1 Hz limited to 20..20000 Hz").arg(value);
    case FilterNoteKind::GainClamped: return at + QStringLiteral("gain %1 dB limited to -12.0..+12.0 dB").arg(value);
    case FilterNoteKind::QClamped: return at + QStringLiteral("Q %1 limited to 0.4..10.0").arg(value);
    }
    return QString();
}
