// The valid ranges of the parameter table and the scan of a scene image against them.
#include "SceneCheck.h"

#include "ParamStore.h"
#include "SceneFile.h"

#include <cstddef>

namespace {
// One field of the image: where it lies, how many entries it has and its valid range.
struct FieldRange {
    SceneCheck::Field field;
    char name[12];
    uint16_t offset;
    uint8_t width;     // 1 or 2 bytes, little-endian
    uint16_t entries;  // 1, one per channel, or one per channel and band
    uint16_t low, high;
};

constexpr uint16_t ONE = 1;
constexpr uint16_t PER_CH = CH_COUNT;
constexpr uint16_t PER_BAND = CH_COUNT * BAND_COUNT;

#define RANGE(f, entries, low, high) \
    { SceneCheck::Field::f, #f, offsetof(ParamBlock, f), sizeof(ParamBlock::f) / (entries), entries, low, high }

const FieldRange Ranges[] = {
    RANGE(ChName, PER_CH, 0, 20),
    RANGE(InputSource, ONE, 0, 2),
    RANGE(MasterVol, ONE, 0, 600),
    RANGE(ChVol, PER_CH, 0, 600),
    RANGE(ChMute, PER_CH, 0, 1),
    RANGE(ChDelay, PER_CH, 0, 1500),
    RANGE(ChPhase, PER_CH, 0, 1),
    RANGE(EqBypass, PER_CH, 0, 1),
    RANGE(NoiseGate, ONE, 0, 6),
    RANGE(EqFreq, PER_BAND, 20, 20000),
    RANGE(EqGain, PER_BAND, GAIN_DEVICE_OFFSET, 240 + GAIN_DEVICE_OFFSET),
    RANGE(EqQ, PER_BAND, 4, 100),
    RANGE(HpfFreq, PER_CH, 20, 20000),
    RANGE(HpfSlope, PER_CH, 0, 7),
    RANGE(HpfBypass, PER_CH, 0, 1),
    RANGE(HpfType, PER_CH, 0, 2),
    RANGE(LpfFreq, PER_CH, 20, 20000),
    RANGE(LpfSlope, PER_CH, 0, 7),
    RANGE(LpfBypass, PER_CH, 0, 1),
    RANGE(LpfType, PER_CH, 0, 2),
};
#undef RANGE

// Reports the entries of one field outside its range. One comparison an entry (the unsigned distance from
// the low end against the span), the findings gathered first: a scan runs over every entry of every scene
// in a file, and a damaged file may hold thousands.
template <int Width>
void checkEntries(const FieldRange &r, const uint8_t *image, int scene, SceneCheck::Findings *out)
{
    SceneCheck::Finding found[PER_BAND];
    SceneCheck::Finding *next = found;
    const bool perChannel = r.entries != ONE, perBand = r.entries == PER_BAND;
    const uint8_t *at = image + r.offset;
    const unsigned span = unsigned(r.high - r.low);
    for (int i = 0; i < r.entries; ++i, at += Width) {
        const uint16_t v = Width == 2 ? uint16_t(at[0] | at[1] << 8) : at[0];
        if (unsigned(v - r.low) <= span) continue;
        const int8_t ch = perChannel ? int8_t(perBand ? i / BAND_COUNT : i) : -1;
        const int8_t band = perBand ? int8_t(i % BAND_COUNT) : -1;
        *next++ = {r.field, uint8_t(scene), ch, band, v, r.low, r.high};
    }
    out->insert(out->end(), found, next);
}
}  // namespace

void SceneCheck::checkImage(const uint8_t *image, int scene, Findings *out)
{
    for (const FieldRange &r : Ranges) {
        if (r.width == 2) {
            checkEntries<2>(r, image, scene, out);
        } else {
            checkEntries<1>(r, image, scene, out);
        }
    }
}

SceneCheck::Findings SceneCheck::checkFile(const QByteArray &data)
{
    Findings out;
    const auto *bytes = reinterpret_cast<const uint8_t *>(data.constData());
    if (data.size() == SceneFile::ALL_SIZE) {
        for (int k = 1; k <= SCENE_COUNT; ++k) checkImage(bytes + (k - 1) * STORE_SIZE, k, &out);
    } else if (data.size() >= IMAGE_SIZE) {
        checkImage(bytes, 0, &out);
    }
    return out;
}

const char *SceneCheck::fieldName(Field field)
{
    for (const FieldRange &r : Ranges)
        if (r.field == field) return r.name;
    return "?";
}

QString SceneCheck::describe(const Finding &f, const QString &label)
{
    QString s;
    if (f.scene) s += QStringLiteral("Mode%1 ").arg(f.scene);
    if (f.channel >= 0) s += QStringLiteral("CH%1 ").arg(f.channel + 1);
    if (f.band >= 0) s += QStringLiteral("EQ%1 ").arg(f.band + 1);
    s += label.isEmpty() ? QString::fromLatin1(fieldName(f.field)) : label;
    return s + QStringLiteral(": %1 (%2..%3)").arg(f.value).arg(f.low).arg(f.high);
}

QStringList SceneCheck::describeFirst(const Findings &findings, int limit)
{
    QStringList lines;
    for (int i = 0; i < int(findings.size()) && i < limit; ++i) lines << describe(findings[size_t(i)]);
    return lines;
}
