// The built-in target curves and target files.
#include "TargetCurve.h"

FreqCurve BuiltInTarget(TargetKind kind)
{
    switch (kind) {
    case TargetKind::Tilt: return FreqCurve{{20.0, 20000.0}, {5.0, -5.0}};
    case TargetKind::Car:
        return FreqCurve{{20.0, 60.0, 200.0, 1000.0, 5000.0, 20000.0}, {8.0, 8.0, 0.0, 0.0, -1.5, -4.0}};
    case TargetKind::Flat: break;
    }
    return FreqCurve{{20.0, 20000.0}, {0.0, 0.0}};
}

bool LoadTarget(const QByteArray &bytes, FreqCurve &out, TextError &err)
{
    CurveTextRules rules;
    rules.skipWords = true;
    rules.minPoints = 1;
    rules.valueColumn = "target";
    return ReadCurveText(bytes, rules, out, err);
}

bool LoadTargetFile(const QString &path, FreqCurve &out, TextError &err)
{
    out = FreqCurve();
    QByteArray bytes;
    return ReadLimitedFile(path, bytes, err) && LoadTarget(bytes, out, err);
}
