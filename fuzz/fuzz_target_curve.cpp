// Arbitrary text as a target-curve file, in memory: a loaded target is ascending and finite with at least
// one point and survives a round trip through text; a refusal names its reason and line.
#include "CurveChecks.h"
#include "TargetCurve.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    FreqCurve target;
    TextError err;
    if (!LoadTarget(text, target, err)) {
        checkRefusal(err, text);
        return 0;
    }
    checkCurve(target, 1);
    checkRoundTrip(target, [](const QByteArray &t, FreqCurve &c) {
        TextError e;
        return LoadTarget(t, c, e);
    });
    return 0;
}
