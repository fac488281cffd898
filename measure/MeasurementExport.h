// Writing a result as REW-style text (with phase) and its impulse response as WAV, and reading a WAV impulse.
#pragma once

#include "CaptureResult.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The text export: '*' comment lines (name, timing, polarity, SNR) then "freq spl phase" per grid point.
QByteArray MeasurementText(const CaptureResult &result, const QString &name);
// Written atomically (QSaveFile); false with the reason.
bool WriteMeasurementText(const QString &path, const CaptureResult &result, const QString &name, QString *why);

// The impulse as a mono 32-bit float WAV at the result's rate (libsndfile); false with the reason.
bool WriteImpulseWav(const QString &path, const CaptureResult &result, QString *why);

struct ImpulseFile {
    int sampleRate = 0;
    std::vector<float> samples;
};
constexpr long long IMPULSE_MAX_FRAMES = 10LL * 192000;  // 10 s at the highest rate
// A mono impulse from a WAV (or any file libsndfile reads), at most IMPULSE_MAX_FRAMES; false with the reason.
bool ReadImpulseWav(const QString &path, ImpulseFile &out, QString *why);
