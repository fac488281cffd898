// Reading and writing parametric filter lines.
#include "FilterFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

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
    double fc = NAN, gain = NAN, q = NAN;
};

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
        }
    }
    return f;
}

// Limits a value, noting it when it was outside.
double Limit(double v, double lo, double hi, int line, FilterNoteKind kind, std::vector<FilterNote> &notes)
{
    if (v >= lo && v <= hi) return v;
    notes.push_back(FilterNote{line, kind, v, QString()});
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

FilterImport ImportFilters(const QByteArray &text, const BandSet &current)
{
    FilterImport out;
    out.bands = current;
    for (BandCode &b : out.bands) b.gain = GAIN_ZERO;
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
        const FilterLine f = ReadFilterLine(t, first + 1);
        if (Is(f.type, "none")) continue;  // an unused slot
        if (!f.on) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::SwitchedOff, 0.0, QString()});
            continue;
        }
        if (!Is(f.type, "pk") && !Is(f.type, "peq")) {
            const QByteArray type = QByteArray(f.type.data(), int(f.type.size())).toUpper();
            out.notes.push_back(FilterNote{line, FilterNoteKind::OtherType, 0.0, QString::fromUtf8(type)});
            continue;
        }
        if (std::isnan(f.fc) || std::isnan(f.gain) || std::isnan(f.q) || !(f.fc > 0.0) || !(f.q > 0.0)) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::Unreadable, 0.0, QString()});
            continue;
        }
        if (out.peaking == BAND_COUNT) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::BeyondBands, f.fc, QString()});
            continue;
        }
        BandCode &b = out.bands[out.peaking++];
        b.freq = uint16_t(std::lround(Limit(f.fc, GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, line, FilterNoteKind::FreqClamped,
                                            out.notes)));
        b.gain = uint16_t(std::lround(Limit(f.gain, -12.0, 12.0, line, FilterNoteKind::GainClamped, out.notes) * 10.0) +
                          GAIN_ZERO);
        b.q = uint8_t(std::lround(Limit(f.q, 0.4, 10.0, line, FilterNoteKind::QClamped, out.notes) * 10.0));
    }
    return out;
}

bool ImportFilterFile(const QString &path, const BandSet &current, FilterImport &out, TextError &err)
{
    QByteArray bytes;
    if (!ReadLimitedFile(path, bytes, err)) return false;
    out = ImportFilters(bytes, current);
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
        static const std::vector<double> grid = LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 48);
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
        AppendNumber(out, bands[b].q / 10.0, 2);
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
    case FilterNoteKind::OtherType: return at + QStringLiteral("%1 filter skipped (only peaking filters are taken)").arg(type);
    case FilterNoteKind::BeyondBands: return at + QStringLiteral("filter beyond the 31 bands skipped");
    case FilterNoteKind::Unreadable: return at + QStringLiteral("filter without a readable frequency, gain and Q skipped");
    case FilterNoteKind::FreqClamped: return at + QStringLiteral("frequency %1 Hz limited to 20..20000 Hz").arg(value);
    case FilterNoteKind::GainClamped: return at + QStringLiteral("gain %1 dB limited to -12.0..+12.0 dB").arg(value);
    case FilterNoteKind::QClamped: return at + QStringLiteral("Q %1 limited to 0.4..10.0").arg(value);
    }
    return QString();
}
