// Plausibility check of a scene image before it is sent: every parameter field against its valid range.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class SceneCheck
{
public:
    // The checked fields of the parameter image; the reserved bytes and the firmware version take any value.
    enum class Field : uint8_t {
        ChName, InputSource, MasterVol, ChVol, ChMute, ChDelay, ChPhase, EqBypass, NoiseGate,
        EqFreq, EqGain, EqQ, HpfFreq, HpfSlope, HpfBypass, HpfType, LpfFreq, LpfSlope, LpfBypass, LpfType,
    };
    // One field out of range.
    struct Finding {
        Field field;
        uint8_t scene;   // 1..9 in an all-scenes file, 0 in a single scene
        int8_t channel;  // 0..5, or -1 for a field of the whole processor
        int8_t band;     // 0..30 for an equaliser field, otherwise -1
        uint16_t value;  // as stored (gains in processor encoding)
        uint16_t low, high;
    };
    using Findings = std::vector<Finding>;

    // Fields out of range in one parameter image (IMAGE_SIZE bytes, processor encoding: gains 120..360),
    // appended to out in image order. scene is recorded in each finding.
    static void checkImage(const uint8_t *image, int scene, Findings *out);
    // A scene file: a ".ALL" image (every one of its nine scenes) or a ".SCE" image. Data too short for one
    // parameter image is not a scene file: the loader refuses it before anything is checked.
    static Findings checkFile(const QByteArray &data);

    // The field's name, the same in both languages (the names of the parameter table).
    static const char *fieldName(Field field);
    // One finding in language-neutral parts, e.g. "Mode3 CH2 EQ5 EqQ: 250 (4..100)"; label replaces the
    // field's name when given.
    static QString describe(const Finding &f, const QString &label = QString());
    // The first `limit` findings, described.
    static QStringList describeFirst(const Findings &findings, int limit);
};
