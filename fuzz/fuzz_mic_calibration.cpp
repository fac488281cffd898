// Arbitrary text as a microphone calibration file: a loaded file has at least two ascending, finite points
// within ±60 dB and a sensitivity within ±60 dB; a refusal leaves nothing behind and names its reason and a
// line of the text (or none).
#include "FuzzInput.h"
#include "MicCalibration.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    MicCalibration cal;
    CalibrationError err;
    if (!ReadMicCalibration(text, cal, err)) {
        FUZZ_CHECK(cal.empty() && !cal.hasSens && cal.serial.isEmpty());
        FUZZ_CHECK(!err.reason.isEmpty() && err.line >= 0 && err.line <= text.count('\n') + 1);
        return 0;
    }
    FUZZ_CHECK(err.reason.isEmpty() && cal.curve.size() >= MIC_CALIBRATION_MIN_POINTS);
    FUZZ_CHECK(cal.curve.hz.size() == cal.curve.db.size());
    for (int i = 0; i < cal.curve.size(); ++i) {
        FUZZ_CHECK(std::isfinite(cal.curve.hz[size_t(i)]) && cal.curve.hz[size_t(i)] > 0.0);
        FUZZ_CHECK(std::fabs(cal.curve.db[size_t(i)]) <= 60.0);
        if (i > 0) FUZZ_CHECK(cal.curve.hz[size_t(i)] > cal.curve.hz[size_t(i - 1)]);
    }
    FUZZ_CHECK(!cal.hasSens ? cal.sensDb == 0.0 : std::fabs(cal.sensDb) <= 60.0);
    return 0;
}
