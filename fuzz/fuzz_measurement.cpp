// Arbitrary text as a measurement export (REW text, FRD, or an impedance file by name), in memory: a loaded
// curve is ascending, finite and long enough and survives a round trip through text; a refusal names its
// reason and line; an impedance file is always refused.
#include "CurveChecks.h"
#include "Measurement.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0) return 0;
    static const QString names[] = {QStringLiteral("/car/CH1 front.txt"), QStringLiteral("woofer.FRD"), QStringLiteral("drive.zma")};
    const QString &name = names[data[0] % 3];
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char *>(data) + 1, int(size - 1));
    Measurement m;
    TextError err;
    const bool ok = LoadMeasurement(text, name, m, err);
    if (name.endsWith(QLatin1String(".zma"))) FUZZ_CHECK(!ok && err.fault == TextFault::Impedance);
    if (!ok) {
        checkRefusal(err, text);
        FUZZ_CHECK(m.curve.empty());
        return 0;
    }
    FUZZ_CHECK(err.ok() && m.name == name.section(QLatin1Char('/'), -1));
    checkCurve(m.curve, MEASUREMENT_MIN_POINTS);
    checkRoundTrip(m.curve, [&name](const QByteArray &t, FreqCurve &c) {
        Measurement again;
        TextError e;
        const bool loaded = LoadMeasurement(t, name, again, e);
        c = again.curve;
        return loaded;
    });
    return 0;
}
