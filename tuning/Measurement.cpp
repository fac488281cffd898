// Import of measurement exports and FRD files.
#include "Measurement.h"

#include <QFileInfo>

bool LoadMeasurement(const QByteArray &bytes, const QString &fileName, Measurement &out, TextError &err)
{
    out = Measurement();
    err = TextError();
    const QString name = QFileInfo(fileName).fileName();
    if (name.endsWith(QLatin1String(".zma"), Qt::CaseInsensitive)) {
        err.fault = TextFault::Impedance;
        return false;
    }
    CurveTextRules rules;
    rules.minPoints = MEASUREMENT_MIN_POINTS;
    rules.valueColumn = "raw";  // AutoEq's measurement column
    if (!ReadCurveText(bytes, rules, out.curve, err)) return false;
    out.name = name;
    return true;
}

bool LoadMeasurementFile(const QString &path, Measurement &out, TextError &err)
{
    out = Measurement();
    if (QFileInfo(path).fileName().endsWith(QLatin1String(".zma"), Qt::CaseInsensitive)) {
        err = TextError();
        err.fault = TextFault::Impedance;
        return false;
    }
    QByteArray bytes;
    if (!ReadLimitedFile(path, bytes, err)) return false;
    return LoadMeasurement(bytes, path, out, err);
}
