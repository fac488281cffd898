// REW-style text through QSaveFile, impulse WAVs through libsndfile.
#include "MeasurementExport.h"

#include <QFileInfo>
#include <QSaveFile>

#include <sndfile.h>

#include <cmath>

namespace {

bool Fail(QString *why, const QString &text)
{
    if (why) *why = text;
    return false;
}

QString TimingText(const CaptureResult &r)
{
    switch (r.timing) {
    case TimingReference::Loopback: return QStringLiteral("loopback timing reference");
    case TimingReference::PlaybackStart: return QStringLiteral("from the start of playback (sound card latency included)");
    case TimingReference::ReferenceOutput: return QStringLiteral("relative to output %1 (no loopback)").arg(r.referenceOutput);
    }
    return QString();
}

}  // namespace

QByteArray MeasurementText(const CaptureResult &r, const QString &name)
{
    QByteArray t;
    t += "* Measurement data measured by Kestrun\n";
    t += "* Measurement: " + name.toUtf8() + '\n';
    t += "* Format: 1/48 octave points, phase referred to the direct sound\n";
    t += "* Arrival: " + QByteArray::number(r.arrivalMs(), 'f', 4) + " ms, " + TimingText(r).toUtf8() + '\n';
    t += "* Polarity: " + PolarityText(r.polarity).toUtf8() + ", SNR " + QByteArray::number(r.snrDb, 'f', 1) + " dB\n";
    t += "*\n";
    t += r.unit == MagnitudeUnit::Spl ? "* Freq(Hz) SPL(dB) Phase(degrees)\n" : "* Freq(Hz) Magnitude(dB) Phase(degrees)\n";
    for (size_t i = 0; i < r.hz.size(); ++i) {
        t += QByteArray::number(r.hz[i], 'f', 6) + ' ' + QByteArray::number(r.magnitudeDb[i], 'f', 3) + ' '
             + QByteArray::number(r.phaseDeg[i], 'f', 4) + '\n';
    }
    return t;
}

bool WriteMeasurementText(const QString &path, const CaptureResult &result, const QString &name, QString *why)
{
    if (result.hz.empty()) return Fail(why, QStringLiteral("there is no response to write"));
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return Fail(why, f.errorString());
    f.write(MeasurementText(result, name));
    if (!f.commit()) return Fail(why, f.errorString());
    return true;
}

bool WriteImpulseWav(const QString &path, const CaptureResult &result, QString *why)
{
    if (result.impulse.empty() || result.sampleRate <= 0) return Fail(why, QStringLiteral("there is no impulse response to write"));
    // Written beside the target and renamed over it, so that a failure leaves the old file.
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return Fail(why, f.errorString());
    SF_INFO info{};
    info.samplerate = result.sampleRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE *snd = sf_open_fd(int(f.handle()), SFM_WRITE, &info, 0);
    if (!snd) {
        f.cancelWriting();
        return Fail(why, QString::fromUtf8(sf_strerror(nullptr)));
    }
    const sf_count_t n = sf_count_t(result.impulse.size());
    const bool written = sf_writef_float(snd, result.impulse.data(), n) == n;
    const bool closed = sf_close(snd) == 0;
    if (!written || !closed) {
        f.cancelWriting();
        return Fail(why, QStringLiteral("the impulse response could not be written"));
    }
    if (!f.commit()) return Fail(why, f.errorString());
    return true;
}

bool ReadImpulseWav(const QString &path, ImpulseFile &out, QString *why)
{
    out = ImpulseFile();
    SF_INFO info{};
    SNDFILE *snd = sf_open(QFileInfo(path).absoluteFilePath().toLocal8Bit().constData(), SFM_READ, &info);
    if (!snd) return Fail(why, QStringLiteral("not a sound file: %1").arg(QString::fromUtf8(sf_strerror(nullptr))));
    QString problem;
    if (info.channels != 1) problem = QStringLiteral("an impulse response has one channel, this file %1").arg(info.channels);
    else if (info.samplerate < 8000 || info.samplerate > 192000) problem = QStringLiteral("the sample rate %1 Hz is out of range").arg(info.samplerate);
    else if (info.frames <= 0 || info.frames > IMPULSE_MAX_FRAMES) problem = QStringLiteral("the file holds no or too many samples");
    if (problem.isEmpty()) {
        out.samples.resize(size_t(info.frames));
        if (sf_readf_float(snd, out.samples.data(), info.frames) != info.frames) problem = QStringLiteral("the file ends early");
        for (float v : out.samples)
            if (!std::isfinite(v)) problem = QStringLiteral("the file holds values that are not numbers");
    }
    sf_close(snd);
    if (!problem.isEmpty()) {
        out = ImpulseFile();
        return Fail(why, problem);
    }
    out.sampleRate = info.samplerate;
    return true;
}
