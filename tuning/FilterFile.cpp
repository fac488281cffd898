// Reading and writing parametric filter lines.
#include "FilterFile.h"

#include <QList>
#include <algorithm>
#include <cmath>

#include "FreqCurve.h"
#include "ResponseMath.h"

namespace {

bool Number(const QByteArray &token, double &v)
{
    return ParseDecimal(token.constData(), token.constData() + token.size(), v) && std::isfinite(v);
}

bool Is(const QByteArray &token, const char *word) { return token.compare(word, Qt::CaseInsensitive) == 0; }

// The settings of one filter line after "Filter n:".
struct FilterLine {
    bool on = false;
    QByteArray type;
    double fc = NAN, gain = NAN, q = NAN;
};

FilterLine ReadFilterLine(const QList<QByteArray> &t, int first)
{
    FilterLine f;
    int i = first;
    if (i < t.size()) f.on = Is(t[i++], "ON");
    if (i < t.size()) f.type = t[i++].toUpper();
    for (; i < t.size(); ++i) {
        double v;
        if (Is(t[i], "Fc") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.fc = v;
        } else if (Is(t[i], "Gain") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.gain = v;
        } else if (Is(t[i], "Q") && i + 1 < t.size() && Number(t[i + 1], v)) {
            f.q = v;
        } else if (Is(t[i], "BW") && i + 2 < t.size() && Is(t[i + 1], "Oct") && Number(t[i + 2], v) && v > 0.0) {
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
    notes.push_back(FilterNote{line, kind, v, QByteArray()});
    return std::clamp(v, lo, hi);
}

}  // namespace

FilterImport ImportFilters(const QByteArray &text, const BandSet &current)
{
    FilterImport out;
    out.bands = current;
    for (BandCode &b : out.bands) b.gain = GAIN_ZERO;
    const QList<QByteArray> lines = text.split('\n');
    for (int n = 0; n < lines.size(); ++n) {
        const int line = n + 1;
        const QList<QByteArray> t = lines[n].simplified().split(' ');
        double v;
        if (t[0].toLower().startsWith("preamp")) {
            const QByteArray value = t[0].endsWith(':') ? t.value(1) : t[0].mid(t[0].indexOf(':') + 1);
            if (t[0].contains(':') && Number(value, v)) out.notes.push_back(FilterNote{line, FilterNoteKind::Preamp, v, {}});
            continue;
        }
        if (!t[0].toLower().startsWith("filter")) continue;
        int first = 0;
        while (first < t.size() && !t[first].endsWith(':')) ++first;
        if (first == t.size()) continue;  // "Filter Settings file" and other headings
        const FilterLine f = ReadFilterLine(t, first + 1);
        if (Is(f.type, "NONE")) continue;  // an unused slot
        if (!f.on) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::SwitchedOff, 0.0, {}});
            continue;
        }
        if (f.type != "PK" && f.type != "PEQ") {
            out.notes.push_back(FilterNote{line, FilterNoteKind::OtherType, 0.0, QString::fromUtf8(f.type)});
            continue;
        }
        if (std::isnan(f.fc) || std::isnan(f.gain) || std::isnan(f.q) || !(f.fc > 0.0) || !(f.q > 0.0)) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::Unreadable, 0.0, {}});
            continue;
        }
        if (out.peaking == BAND_COUNT) {
            out.notes.push_back(FilterNote{line, FilterNoteKind::BeyondBands, f.fc, {}});
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

QByteArray ExportFilters(const BandSet &bands, bool bypassed)
{
    double peak = 0.0;
    if (!bypassed) {
        const std::vector<double> total = BandsDb(bands, LogGrid(GRAPH_MIN_FREQ, GRAPH_MAX_FREQ, 48));
        peak = std::max(0.0, *std::max_element(total.begin(), total.end()));
    }
    QByteArray out = "Preamp: " + QByteArray::number(peak > 0.0 ? -std::ceil(peak * 10.0 - 1e-9) / 10.0 : 0.0, 'f', 1) +
                     " dB\n";
    for (int b = 0; b < BAND_COUNT; ++b) {
        out += "Filter " + QByteArray::number(b + 1) + (bypassed ? ": OFF PK Fc " : ": ON PK Fc ") +
               QByteArray::number(bands[b].freq) + " Hz Gain " + QByteArray::number(bands[b].gainDb(), 'f', 1) +
               " dB Q " + QByteArray::number(bands[b].q / 10.0, 'f', 2) + "\n";
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
