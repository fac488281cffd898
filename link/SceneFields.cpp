// The scene field table and the conversions of stored codes to readable text and JSON values and back.
#include "SceneFields.h"

#include "SpeakerNames.h"

#include <charconv>
#include <cmath>

#include <QJsonValue>
#include <QStringList>

namespace {

// A value of a numeric kind is (code - zero) * mul / div, shown with `decimals` digits and `unit`.
// Kinds named by words are `named` instead; Flag is a JSON boolean.
struct KindInfo {
    uint32_t lo, hi;
    double zero;
    double mul, div;
    int decimals;
    char unit[8];
    bool named;
};

const char SourceNames[3][4] = {"HI", "LOW", "OPT"};
const char TypeNames[3][12] = {"Butterworth", "Linkwitz", "Bessel"};

// In FieldKind order.
const KindInfo Kinds[] = {
    {0, 0xFFFFFFFFu, 0, 1, 1, 0, "", false},        // Firmware
    {0, 2, 0, 1, 1, 0, "", true},                     // Source (SourceNames)
    {0, 600, 600, 1, 10, 1, " dB", false},            // Level
    {0, 6, 0, 1, 1, 0, "", false},                    // Gate
    {0, SPK_OFF, 0, 1, 1, 0, "", true},               // Speaker (names from the speaker table)
    {0, 1, 0, 1, 1, 0, "", false},                    // Flag
    {0, 1, 0, 180, 1, 0, "\u00b0", false},            // Phase
    {0, 1500, 0, 1, 100, 2, " ms", false},            // Delay
    {20, 20000, 0, 1, 1, 0, " Hz", false},            // Freq
    {0, 7, -1, -6, 1, 0, " dB/Oct", false},           // Slope
    {0, 2, 0, 1, 1, 0, "", true},                     // FilterType (TypeNames)
    {120, 360, 240, 1, 10, 1, " dB", false},          // Gain
    {4, 100, 0, 1, 10, 1, "", false},                 // Q
};
static_assert(sizeof Kinds / sizeof Kinds[0] == int(FieldKind::Q) + 1, "one entry per kind");

const KindInfo &info(FieldKind k) { return Kinds[int(k)]; }

double valueOf(const KindInfo &k, uint32_t code) { return (double(code) - k.zero) * k.mul / k.div; }

QString number(const KindInfo &k, double v) { return QString::number(v, 'f', k.decimals); }

// Kinds whose values are words rather than numbers.
bool named(FieldKind kind) { return info(kind).named; }

// The word of a valid code of a named kind.
QString nameOf(FieldKind kind, uint32_t code)
{
    if (kind == FieldKind::Speaker) return SpeakerName(uint8_t(code), 1);
    return QString::fromLatin1(kind == FieldKind::Source ? SourceNames[code] : TypeNames[code]);
}

// Appends a JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
void appendString(const QString &s, QByteArray *out)
{
    static const char Hex[] = "0123456789abcdef";
    *out += '"';
    for (const QChar c : s) {
        const ushort u = c.unicode();
        if (u >= 0x80) {
            *out += QString(c).toUtf8();
        } else if (u == '"' || u == '\\') {
            *out += '\\';
            *out += char(u);
        } else if (u < 0x20) {
            const char *named = u == 8 ? "\\b" : u == 9 ? "\\t" : u == 10 ? "\\n" : u == 12 ? "\\f" : u == 13 ? "\\r" : nullptr;
            if (named) *out += named;
            else *out += QByteArray("\\u00") + Hex[u >> 4] + Hex[u & 15];
        } else {
            *out += char(u);
        }
    }
    *out += '"';
}

// Appends a number in decimal digits.
void appendInteger(uint64_t v, QByteArray *out)
{
    char digits[20];
    out->append(digits, int(std::to_chars(digits, digits + sizeof digits, v).ptr - digits));
}

}  // namespace

const SceneField SceneFields::Globals[GLOBAL_COUNT] = {
    {FieldKind::Firmware, "firmware_version", "firmware version", 0, 4},
    {FieldKind::Source, "input_source", "input source", 10, 1},
    {FieldKind::Level, "master_volume_db", "master volume", 24, 2},
    {FieldKind::Gate, "noise_gate", "noise gate", 68, 2},
};

const SceneField SceneFields::Outputs[OUTPUT_COUNT] = {
    {FieldKind::Speaker, "name", "name", 4, 1},
    {FieldKind::Level, "volume_db", "volume", 26, 2},
    {FieldKind::Delay, "delay_ms", "delay", 44, 2},
    {FieldKind::Phase, "phase", "phase", 56, 1},
    {FieldKind::Flag, "mute", "mute", 38, 1},
    {FieldKind::Flag, "eq_bypass", "EQ bypass", 62, 1},
};

const SceneField SceneFields::Filters[2][FILTER_COUNT] = {
    {{FieldKind::Flag, "bypass", "bypass", 1034, 1},
     {FieldKind::FilterType, "type", "type", 1040, 1},
     {FieldKind::Slope, "slope_db_oct", "slope", 1028, 1},
     {FieldKind::Freq, "freq_hz", "", 1016, 2}},
    {{FieldKind::Flag, "bypass", "bypass", 1064, 1},
     {FieldKind::FilterType, "type", "type", 1070, 1},
     {FieldKind::Slope, "slope_db_oct", "slope", 1058, 1},
     {FieldKind::Freq, "freq_hz", "", 1046, 2}},
};

const SceneField SceneFields::Bands[BAND_FIELD_COUNT] = {
    {FieldKind::Freq, "freq_hz", "frequency", 80, 2},
    {FieldKind::Gain, "gain_db", "gain", 452, 2},
    {FieldKind::Q, "q", "Q", 824, 1},
};

const ByteRegion SceneFields::Reserved[RESERVED_COUNT] = {{11, 13}, {70, 10}, {1010, 6}, {1076, 24}};
const char SceneFields::FilterKeys[2][10] = {"high_pass", "low_pass"};
const char SceneFields::FilterLabels[2][10] = {"high-pass", "low-pass"};

uint32_t SceneFields::code(const uint8_t *block, const SceneField &f, int entry)
{
    const uint8_t *p = block + f.offset + entry * f.width;
    uint32_t v = 0;
    for (int i = f.width - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

void SceneFields::setCode(uint8_t *block, const SceneField &f, int entry, uint32_t code)
{
    uint8_t *p = block + f.offset + entry * f.width;
    for (int i = 0; i < f.width; ++i, code >>= 8) p[i] = uint8_t(code & 0xFF);
}

bool SceneFields::valid(FieldKind kind, uint32_t code)
{
    return code >= info(kind).lo && code <= info(kind).hi;
}

long SceneFields::delayCm(uint32_t code)
{
    return std::lround(code * 0.345);  // 0.345 cm of sound travel per 0.01 ms
}

QString SceneFields::text(FieldKind kind, uint32_t code)
{
    if (!valid(kind, code)) return QStringLiteral("code %1 (invalid)").arg(code);
    const KindInfo &k = info(kind);
    if (named(kind)) return nameOf(kind, code);
    switch (kind) {
    case FieldKind::Flag:
        return code ? QStringLiteral("on") : QStringLiteral("off");
    case FieldKind::Gate:
        return code ? QStringLiteral("level %1").arg(code) : QStringLiteral("off");
    case FieldKind::Delay:
        return number(k, valueOf(k, code)) + QLatin1String(k.unit) +
               QStringLiteral(" (%1 cm)").arg(delayCm(code));
    default:
        return number(k, valueOf(k, code)) + QString::fromUtf8(k.unit);
    }
}

void SceneFields::writeJson(FieldKind kind, uint32_t code, QByteArray *out)
{
    const KindInfo &k = info(kind);
    if (named(kind)) return appendString(nameOf(kind, code), out);
    if (kind == FieldKind::Flag) return void(*out += code ? "true" : "false");
    // value = steps / div exactly; its shortest decimal form has at most `decimals` fraction digits.
    const int64_t steps = std::llround((double(code) - k.zero) * k.mul);
    const uint64_t magnitude = uint64_t(steps < 0 ? -steps : steps), div = uint64_t(k.div);
    if (steps < 0) *out += '-';
    appendInteger(magnitude / div, out);
    uint64_t fraction = magnitude % div;
    if (fraction == 0) return;
    *out += '.';
    for (uint64_t unit = div / 10; unit > 0 && fraction > 0; unit /= 10) {
        *out += char('0' + fraction / unit);
        fraction %= unit;
    }
}

bool SceneFields::fromJson(FieldKind kind, const QJsonValue &v, uint32_t *code, QString *why)
{
    const KindInfo &k = info(kind);
    if (kind == FieldKind::Flag) {
        if (!v.isBool()) return *why = QStringLiteral("expected true or false"), false;
        *code = v.toBool() ? 1 : 0;
        return true;
    }
    if (named(kind)) {
        if (v.isString()) {
            const QString text = v.toString();
            for (uint32_t c = k.lo; c <= k.hi; ++c)
                if (text == nameOf(kind, c)) return *code = c, true;
        }
        QStringList all;
        for (uint32_t c = k.lo; c <= k.hi; ++c) all << nameOf(kind, c);
        *why = QStringLiteral("expected one of %1").arg(all.join(QLatin1String(", ")));
        return false;
    }
    if (!v.isDouble()) return *why = QStringLiteral("expected a number"), false;
    const double x = v.toDouble();
    const double steps = x * k.div / k.mul + k.zero;
    const double lo = valueOf(k, k.lo), hi = valueOf(k, k.hi);
    if (!(x >= std::min(lo, hi) && x <= std::max(lo, hi))) {
        *why = QStringLiteral("%1 is outside %2..%3")
                   .arg(QString::number(x, 'g', 10), number(k, std::min(lo, hi)), number(k, std::max(lo, hi)));
        return false;
    }
    const double r = std::round(steps);
    if (std::fabs(steps - r) > 1e-6) {
        *why = QStringLiteral("%1 is not a multiple of %2").arg(QString::number(x, 'g', 10), number(k, std::fabs(k.mul / k.div)));
        return false;
    }
    *code = uint32_t(r);
    return true;
}
