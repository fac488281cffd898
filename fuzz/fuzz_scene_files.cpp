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
void checkScene(const uint8_t *image, const SceneCheck::Findings &all, int scene)
{
    int found[int(Field::LpfType) + 1] = {};
    for (const auto &f : all) {
        if (f.scene != scene) continue;
        FUZZ_CHECK(f.value < f.low || f.value > f.high);
        ++found[int(f.field)];
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

    // The corrected store saved as a file passes, but for the fields the correction leaves alone.
    fixed.correctDownloaded(shadow);
    checkCorrectedStore(fixed);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // The fuzzer's bytes are the start of a file of either kind; the rest of it repeats them.
    FuzzInput in(data, size);
    const bool all = (in.byte() & 15) == 0;
    const int fileSize = all ? SceneFile::ALL_SIZE : SceneFile::SINGLE_SIZE;
    if (in.empty()) return 0;
    static char buffer[SceneFile::ALL_SIZE];  // static: fresh pages each run would cost more than the run
    for (int at = 0; at < fileSize; at += int(size - 1))
        std::memcpy(buffer + at, data + 1, std::min(size - 1, size_t(fileSize - at)));
    const QByteArray file = QByteArray::fromRawData(buffer, fileSize);
    const auto *bytes = reinterpret_cast<const uint8_t *>(file.constData());
    static SceneCheck::Findings findings;
    if (all) {
        findings = SceneCheck::checkFile(file);
    } else {
        findings.clear();
        SceneCheck::checkImage(bytes, 0, &findings);
    }
    if (all) {
        for (int k = 1; k <= SCENE_COUNT; ++k) checkScene(bytes + (k - 1) * STORE_SIZE, findings, k);
    } else {
        checkScene(bytes, findings, 0);
    }
    for (const QString &line : SceneCheck::describeFirst(findings, 5)) FUZZ_CHECK(line.contains(QLatin1String(": ")));
    return 0;
}
