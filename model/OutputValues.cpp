// Formats and entry rules of the output volume and delay fields.
#include "OutputValues.h"

#include "SceneFields.h"

#include <QDateTime>
#include <QDebug>
#include <cmath>

namespace OutputValues {

QString volumeText(int v)
{
    return QString::number(v / 10.0 - 60.0, 'f', 1) + QStringLiteral("dB");
}

bool parseVolume(const QString &text, double *db)
{
    bool ok = false;
    const double x = text.toDouble(&ok);
    if (!ok || !(x >= -60.0 && x <= 0.0)) return false;  // the negated test refuses NaN too
    *db = x;
    return true;
}

int volumeCode(double db)
{
    return int((db + 60.0) * 10.0 + 0.5);
}

QString delayText(uint16_t d, uint32_t unit)
{
    if (unit == 1) return QString::number(SceneFields::delayCm(d)) + QStringLiteral("cm");
    return QString::number(d * 0.01, 'f', 2) + QStringLiteral("ms");
}

QString delayDisplay(uint16_t d, uint32_t unit)
{
    if (unit != 1) traceValue(__FILE__, __LINE__, QStringLiteral("GetDelayDisplayStr"), d * 0.01);
    return delayText(d, unit == 1 ? 1 : 0);
}

void traceValue(const char *file, int line, const QString &function, double value)
{
    qDebug().noquote() << "[" << file << ":" << line << ":" << function
                       << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz")) << "]"
                       << value;
}

bool parseDelay(QString text, uint32_t unit, double *r)
{
    if (text.contains(QLatin1String("cm")) || text.contains(QLatin1String("ms"))) text.chop(2);
    bool ok = false;
    const double x = text.toDouble(&ok);
    if (!ok) return false;
    const double v = unit == 1 ? x * STEPS_PER_CM : x * 100.0;
    if (!(v >= 0.0 && v <= MAX_DELAY)) return false;
    *r = v;
    return true;
}

uint16_t delayCode(double r)
{
    return uint16_t(r + 0.5);
}

}  // namespace OutputValues
