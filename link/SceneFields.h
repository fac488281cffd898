// The fields of a scene block as a table: where each lies, its valid codes, its readable text and JSON value.
#pragma once

#include "ParamStore.h"

#include <QByteArray>
#include <QString>

class QJsonValue;

// How a field's stored code reads. Every code is taken as the block holds it in a scene file (gains in the
// processor's encoding, 240 = 0 dB).
enum class FieldKind : uint8_t {
    Firmware,    // any 32-bit number
    Source,      // 0..2: "HI", "LOW", "OPT"
    Level,       // 0..600: code/10 - 60 dB
    Gate,        // 0..6: 0 = off
    Speaker,     // 0..20: speaker-position name
    Flag,        // 0..1: off / on
    Phase,       // 0..1: 0 or 180 degrees
    Delay,       // 0..1500: code/100 ms
    Freq,        // 20..20000 Hz
    Slope,       // 0..7: -6 .. -48 dB/Oct
    FilterType,  // 0..2: "Butterworth", "Linkwitz", "Bessel"
    Gain,        // 120..360: (code - 240)/10 dB
    Q,           // 4..100: code/10
};

struct SceneField {
    FieldKind kind;
    char key[17];       // JSON key inside its object
    char label[17];     // readable name after the channel / band prefix ("" for the filter frequency)
    int offset;         // byte offset of entry 0
    int width;          // 1, 2 or 4 bytes; entry i lies at offset + i * width
};

// A run of bytes that no field interprets (kept verbatim).
struct ByteRegion {
    int offset;
    int size;
};

class SceneFields
{
public:
    static constexpr int GLOBAL_COUNT = 4;
    static constexpr int OUTPUT_COUNT = 6;
    static constexpr int FILTER_COUNT = 4;
    static constexpr int BAND_FIELD_COUNT = 3;
    static constexpr int RESERVED_COUNT = 4;

    static const SceneField Globals[GLOBAL_COUNT];          // entry 0 only
    static const SceneField Outputs[OUTPUT_COUNT];          // entry = channel
    static const SceneField Filters[2][FILTER_COUNT];       // high-pass, low-pass; entry = channel
    static const SceneField Bands[BAND_FIELD_COUNT];        // entry = channel * 31 + band
    static const ByteRegion Reserved[RESERVED_COUNT];
    static constexpr ByteRegion Tail = {IMAGE_SIZE, STORE_SIZE - IMAGE_SIZE};
    static const char FilterKeys[2][10];    // "high_pass", "low_pass"
    static const char FilterLabels[2][10];  // "high-pass", "low-pass"

    static uint32_t code(const uint8_t *block, const SceneField &f, int entry);
    static void setCode(uint8_t *block, const SceneField &f, int entry, uint32_t code);

    static bool valid(FieldKind kind, uint32_t code);
    // The value with its unit, e.g. "-3.0 dB", "1.25 ms (43 cm)"; an invalid code reads "code N (invalid)".
    static QString text(FieldKind kind, uint32_t code);
    // A delay code (0.01 ms steps) as whole centimetres at 345 m/s, rounded half away from zero: the one
    // conversion of every delay shown in centimetres (15.00 ms is 517.5 cm, shown as 518 cm).
    static long delayCm(uint32_t code);
    // Appends the JSON text of a valid code (the shortest number that reads back, a word, true or false).
    static void writeJson(FieldKind kind, uint32_t code, QByteArray *out);
    // The code of a JSON value; false with the reason when the value has the wrong type, lies outside the
    // field's range or between its steps.
    static bool fromJson(FieldKind kind, const QJsonValue &v, uint32_t *code, QString *why);
};
