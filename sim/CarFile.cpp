// Car files read key by key: every refusal names the key's path and what was wrong with it.
#include "CarFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cfloat>
#include <cmath>
#include <initializer_list>

// The shipped cars are compiled in; a static library registers its resources only when asked.
static void initCarResources() { Q_INIT_RESOURCE(cars); }

namespace {

// The members of one JSON object, each taken once; a refusal carries the member's path.
class Fields
{
public:
    Fields(const QJsonObject &object, const QString &path, QString *why) : object_(object), path_(path), why_(why) {}

    // Refuses a key that is none of `known`.
    bool onlyKnown(std::initializer_list<const char *> known) const
    {
        for (auto it = object_.begin(); it != object_.end(); ++it) {
            bool found = false;
            for (const char *k : known) found = found || it.key() == QLatin1String(k);
            if (!found) return fail(it.key(), QStringLiteral("unknown field"));
        }
        return true;
    }
    // A number within [lo, hi].
    bool number(const char *key, double lo, double hi, double *out) const
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isUndefined()) return fail(key, QStringLiteral("missing"));
        if (!v.isDouble() || !std::isfinite(v.toDouble())) return fail(key, QStringLiteral("not a number"));
        const double d = v.toDouble();
        if (d < lo || d > hi)
            return fail(key, QStringLiteral("%1 is outside %2..%3").arg(d).arg(lo).arg(hi));
        *out = d;
        return true;
    }
    bool integer(const char *key, int lo, int hi, int *out) const
    {
        double d = 0;
        if (!number(key, -DBL_MAX, DBL_MAX, &d)) return false;
        if (d != std::floor(d)) return fail(key, QStringLiteral("not an integer"));
        if (d < lo || d > hi) return fail(key, QStringLiteral("%1 is outside %2..%3").arg(d).arg(lo).arg(hi));
        *out = int(d);
        return true;
    }
    // An array of objects, at most `limit` of them.
    bool objects(const char *key, int limit, QJsonArray *out) const
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isUndefined()) return fail(key, QStringLiteral("missing"));
        if (!v.isArray()) return fail(key, QStringLiteral("not an array"));
        *out = v.toArray();
        if (out->size() > limit) return fail(key, QStringLiteral("more than %1 entries").arg(limit));
        for (int i = 0; i < out->size(); ++i)
            if (!out->at(i).isObject())
                return *why_ = QStringLiteral("%1[%2]: not an object").arg(at(key)).arg(i), false;
        return true;
    }
    QString at(const QString &key) const { return path_.isEmpty() ? key : path_ + QLatin1Char('.') + key; }
    bool fail(const QString &key, const QString &what) const { return *why_ = at(key) + QStringLiteral(": ") + what, false; }
    bool fail(const char *key, const QString &what) const { return fail(QString::fromLatin1(key), what); }

private:
    QJsonObject object_;
    QString path_;
    QString *why_;
};

// A filter corner: 0 (none) or a frequency below half the sample rate; its order 1..8 when set.
bool readCorner(const Fields &f, const char *hzKey, const char *orderKey, double nyquist, double *hz, int *order)
{
    if (!f.number(hzKey, 0.0, nyquist, hz) || !f.integer(orderKey, 0, 8, order)) return false;
    if (*hz >= nyquist) return f.fail(hzKey, QStringLiteral("not below half the sample rate"));
    if (*hz > 0 && *order == 0) return f.fail(orderKey, QStringLiteral("0 while %1 is set").arg(QLatin1String(hzKey)));
    return true;
}

bool readOutput(const QJsonObject &o, const QString &path, double nyquist, CarOutput *out, QString *why)
{
    const Fields f(o, path, why);
    if (!f.onlyKnown({"channel", "distance_cm", "polarity", "level_db", "highpass_hz", "highpass_order", "lowpass_hz",
                      "lowpass_order", "peaks", "reflections"}))
        return false;
    if (!f.integer("channel", 1, 6, &out->channel) || !f.number("distance_cm", 0.0, 10000.0, &out->distanceCm) ||
        !f.integer("polarity", -1, 1, &out->polarity) || !f.number("level_db", -120.0, 40.0, &out->levelDb) ||
        !readCorner(f, "highpass_hz", "highpass_order", nyquist, &out->highpassHz, &out->highpassOrder) ||
        !readCorner(f, "lowpass_hz", "lowpass_order", nyquist, &out->lowpassHz, &out->lowpassOrder))
        return false;
    if (out->polarity == 0) return f.fail("polarity", QStringLiteral("not 1 or -1"));
    QJsonArray peaks, reflections;
    if (!f.objects("peaks", CarFile::MAX_ENTRIES, &peaks) || !f.objects("reflections", CarFile::MAX_ENTRIES, &reflections))
        return false;
    for (int i = 0; i < peaks.size(); ++i) {
        const Fields p(peaks.at(i).toObject(), f.at(QStringLiteral("peaks[%1]").arg(i)), why);
        CarPeak k;
        if (!p.onlyKnown({"hz", "gain_db", "q"}) || !p.number("hz", 1.0, nyquist, &k.hz) ||
            !p.number("gain_db", -40.0, 40.0, &k.gainDb) || !p.number("q", 0.05, 100.0, &k.q))
            return false;
        if (k.hz >= nyquist) return p.fail("hz", QStringLiteral("not below half the sample rate"));
        out->peaks.push_back(k);
    }
    for (int i = 0; i < reflections.size(); ++i) {
        const Fields r(reflections.at(i).toObject(), f.at(QStringLiteral("reflections[%1]").arg(i)), why);
        CarReflection k;
        if (!r.onlyKnown({"delay_ms", "gain"}) || !r.number("delay_ms", 0.0, 1000.0, &k.delayMs) ||
            !r.number("gain", -10.0, 10.0, &k.gain))
            return false;
        out->reflections.push_back(k);
    }
    return true;
}

QJsonObject outputJson(const CarOutput &o)
{
    QJsonArray peaks, reflections;
    for (const CarPeak &p : o.peaks) peaks.append(QJsonObject{{"hz", p.hz}, {"gain_db", p.gainDb}, {"q", p.q}});
    for (const CarReflection &r : o.reflections) reflections.append(QJsonObject{{"delay_ms", r.delayMs}, {"gain", r.gain}});
    return QJsonObject{{"channel", o.channel},          {"distance_cm", o.distanceCm},
                       {"polarity", o.polarity},        {"level_db", o.levelDb},
                       {"highpass_hz", o.highpassHz},   {"highpass_order", o.highpassOrder},
                       {"lowpass_hz", o.lowpassHz},     {"lowpass_order", o.lowpassOrder},
                       {"peaks", peaks},                {"reflections", reflections}};
}

}  // namespace

bool CarFile::read(const QByteArray &json, Car *car, QString *why)
{
    QJsonParseError err;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &err);
    if (err.error != QJsonParseError::NoError)
        return *why = QStringLiteral("line %1: %2").arg(json.left(err.offset).count('\n') + 1).arg(err.errorString()), false;
    if (!doc.isObject()) return *why = QStringLiteral("line 1: expected a JSON object"), false;
    const Fields f(doc.object(), QString(), why);
    Car c;
    if (!f.onlyKnown({"sample_rate", "latency_ms", "drift_ppm", "noise_dbfs", "outputs"}) ||
        !f.integer("sample_rate", 44100, 48000, &c.sampleRate))
        return false;
    if (c.sampleRate != 44100 && c.sampleRate != 48000) return f.fail("sample_rate", QStringLiteral("not 44100 or 48000"));
    QJsonArray outputs;
    if (!f.number("latency_ms", 0.0, 2000.0, &c.latencyMs) || !f.number("drift_ppm", -1000.0, 1000.0, &c.driftPpm) ||
        !f.number("noise_dbfs", -200.0, 0.0, &c.noiseDbfs) || !f.objects("outputs", 6, &outputs))
        return false;
    for (int i = 0; i < outputs.size(); ++i) {
        CarOutput o;
        const QString path = QStringLiteral("outputs[%1]").arg(i);
        if (!readOutput(outputs.at(i).toObject(), path, c.sampleRate / 2.0, &o, why)) return false;
        for (const CarOutput &before : c.outputs)
            if (before.channel == o.channel)
                return *why = QStringLiteral("%1.channel: channel %2 listed twice").arg(path).arg(o.channel), false;
        c.outputs.push_back(o);
    }
    *car = c;
    return true;
}

bool CarFile::load(const QString &path, Car *car, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return *why = QStringLiteral("%1: %2").arg(path, file.errorString()), false;
    QString reason;
    if (!read(file.readAll(), car, &reason)) return *why = QStringLiteral("%1: %2").arg(path, reason), false;
    return true;
}

QByteArray CarFile::write(const Car &car)
{
    QJsonArray outputs;
    for (const CarOutput &o : car.outputs) outputs.append(outputJson(o));
    const QJsonObject root{{"sample_rate", car.sampleRate}, {"latency_ms", car.latencyMs}, {"drift_ppm", car.driftPpm},
                           {"noise_dbfs", car.noiseDbfs},   {"outputs", outputs}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QStringList CarFile::shippedNames()
{
    return {QStringLiteral("sedan"), QStringLiteral("hatchback"), QStringLiteral("coupe")};
}

bool CarFile::shipped(const QString &name, Car *car, QString *why)
{
    initCarResources();
    if (!shippedNames().contains(name)) return *why = QStringLiteral("%1: no such car").arg(name), false;
    return load(QStringLiteral(":/cars/%1.json").arg(name), car, why);
}
