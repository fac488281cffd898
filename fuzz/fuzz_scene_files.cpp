// Arbitrary bytes as a scene file, in memory, through the plausibility check: every finding is a field out
// of its range, and the check agrees with the correction a download applies (a field is reported exactly
// when the correction changes it, or, for the fields it leaves alone, when it lies outside its codes).
// A store that was corrected and saved again passes, but for those uncorrected fields.
#include "FuzzInput.h"
#include "ParamStore.h"
#include "SceneCheck.h"
#include "SceneFile.h"
#include "StoreChecks.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

namespace {
using Field = SceneCheck::Field;

template <class T>
int changed(const T *a, const T *b, int n)
{
    int count = 0;
    for (int i = 0; i < n; ++i) count += a[i] != b[i];
    return count;
}

template <class T>
int above(const T *a, int n, int high)
{
    int count = 0;
    for (int i = 0; i < n; ++i) count += a[i] > high;
    return count;
}

// One parameter image against its findings.
void checkScene(const uint8_t *image, const SceneCheck::Finding *from, const SceneCheck::Finding *to, int scene)
{
    int found[int(Field::LpfType) + 1] = {};
    for (const SceneCheck::Finding *f = from; f != to; ++f) {
        FUZZ_CHECK(f->scene == scene && (f->value < f->low || f->value > f->high));
        ++found[int(f->field)];
    }
    ParamBlock raw;
    std::memset(&raw, 0, sizeof raw);
    std::memcpy(&raw, image, IMAGE_SIZE);
    ParamBlock fixed = raw;
    uint16_t shadow[CH_COUNT][BAND_COUNT];
    fixed.correctDownloaded(shadow);
    // The gains change encoding when in range: undo that before comparing.
    for (auto &row : fixed.EqGain)
        for (auto &g : row) g = uint16_t(g + GAIN_DEVICE_OFFSET);
    const int bands = CH_COUNT * BAND_COUNT;
    FUZZ_CHECK(found[int(Field::InputSource)] == changed(&raw.InputSource, &fixed.InputSource, 1));
    FUZZ_CHECK(found[int(Field::MasterVol)] == changed(&raw.MasterVol, &fixed.MasterVol, 1));
    FUZZ_CHECK(found[int(Field::NoiseGate)] == changed(&raw.NoiseGate, &fixed.NoiseGate, 1));
    FUZZ_CHECK(found[int(Field::ChVol)] == changed(raw.ChVol, fixed.ChVol, CH_COUNT));
    FUZZ_CHECK(found[int(Field::ChMute)] == changed(raw.ChMute, fixed.ChMute, CH_COUNT));
    FUZZ_CHECK(found[int(Field::ChDelay)] == changed(raw.ChDelay, fixed.ChDelay, CH_COUNT));
    FUZZ_CHECK(found[int(Field::ChPhase)] == changed(raw.ChPhase, fixed.ChPhase, CH_COUNT));
    FUZZ_CHECK(found[int(Field::EqFreq)] == changed(raw.EqFreq[0], fixed.EqFreq[0], bands));
    FUZZ_CHECK(found[int(Field::EqGain)] == changed(raw.EqGain[0], fixed.EqGain[0], bands));
    FUZZ_CHECK(found[int(Field::EqQ)] == changed(raw.EqQ[0], fixed.EqQ[0], bands));
    FUZZ_CHECK(found[int(Field::HpfFreq)] == changed(raw.HpfFreq, fixed.HpfFreq, CH_COUNT));
    FUZZ_CHECK(found[int(Field::HpfSlope)] == changed(raw.HpfSlope, fixed.HpfSlope, CH_COUNT));
    FUZZ_CHECK(found[int(Field::HpfType)] == changed(raw.HpfType, fixed.HpfType, CH_COUNT));
    FUZZ_CHECK(found[int(Field::LpfFreq)] == changed(raw.LpfFreq, fixed.LpfFreq, CH_COUNT));
    FUZZ_CHECK(found[int(Field::LpfSlope)] == changed(raw.LpfSlope, fixed.LpfSlope, CH_COUNT));
    FUZZ_CHECK(found[int(Field::LpfType)] == changed(raw.LpfType, fixed.LpfType, CH_COUNT));
    FUZZ_CHECK(found[int(Field::ChName)] == above(raw.ChName, CH_COUNT, 20));
    FUZZ_CHECK(found[int(Field::EqBypass)] == above(raw.EqBypass, CH_COUNT, 1));
    FUZZ_CHECK(found[int(Field::HpfBypass)] == above(raw.HpfBypass, CH_COUNT, 1));
    FUZZ_CHECK(found[int(Field::LpfBypass)] == above(raw.LpfBypass, CH_COUNT, 1));

    // The corrected image (gains back in the processor's encoding) passes.
    checkCorrectedImage(fixed.bytes());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The fuzzer's bytes after the first are the start of a file, the rest of it repeats them. One input in
    // 16 makes an all-scenes file (nine scans).
    if (size < 2) return 0;
    const bool all = InputHash(data, size) % 16 == 0;
    const int fileSize = all ? SceneFile::ALL_SIZE : SceneFile::SINGLE_SIZE;
    static char buffer[SceneFile::ALL_SIZE];  // static: fresh pages each run would cost more than the run
    FillRepeating(buffer, fileSize, data + 1, size - 1);
    const QByteArray file = QByteArray::fromRawData(buffer, fileSize);
    const auto *bytes = reinterpret_cast<const uint8_t *>(file.constData());
    static SceneCheck::Findings findings;
    if (all) {
        findings = SceneCheck::checkFile(file);
    } else {
        findings.clear();
        SceneCheck::checkImage(bytes, 0, &findings);
    }
    // The findings come scene by scene; of an all-scenes file, the first byte picks the scene whose findings
    // are held against the correction (all nine would cost nine times as much to check).
    const int checked = all ? 1 + data[0] % SCENE_COUNT : 0;
    const SceneCheck::Finding *from = findings.data(), *end = from + findings.size();
    for (int k = checked ? 1 : 0; k <= (checked ? SCENE_COUNT : 0); ++k) {
        const SceneCheck::Finding *to = std::find_if(from, end, [k](const auto &f) { return f.scene != k; });
        if (k == checked) checkScene(bytes + (all ? k - 1 : 0) * STORE_SIZE, from, to, k);
        from = to;
    }
    FUZZ_CHECK(from == end);
    // The first finding as the window lists it.
    for (const QString &line : SceneCheck::describeFirst(findings, 1)) FUZZ_CHECK(line.contains(QLatin1String(": ")));
    return 0;
}
