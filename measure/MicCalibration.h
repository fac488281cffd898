// A measurement microphone's calibration file and the sound level calibration of the input.
#pragma once

#include "CurveText.h"
#include "FreqCurve.h"

#include <QByteArray>
#include <QString>

#include <cmath>

// The common text format: an optional first line "Sens Factor =-1.23dB, SERNO: 1234567" (quotes optional,
// further "name =value" fields allowed), then frequency/dB lines with an optional phase column, '*' comments.
// The phase column is read past: the microphone's phase is taken as flat.
struct MicCalibration {
    FreqCurve curve;      // the microphone's deviation in dB; it is subtracted from what is measured
    double sensDb = 0.0;  // the sensitivity factor of the first line, 0 without one
    bool hasSens = false;
    QString serial;       // SERNO of the first line, empty without one

    bool empty() const { return curve.empty(); }
};

struct CalibrationError {
    int line = 0;     // 1-based, 0 for the whole file
    QString reason;   // English
    QString message() const { return line > 0 ? QStringLiteral("line %1: %2").arg(line).arg(reason) : reason; }
};

constexpr int MIC_CALIBRATION_MIN_POINTS = 2;

// Reads a calibration file from its bytes; on failure out is empty and err names the line and the reason.
bool ReadMicCalibration(const QByteArray &bytes, MicCalibration &out, CalibrationError &err);
// The same from a file (at most 64 MiB are read).
bool ReadMicCalibrationFile(const QString &path, MicCalibration &out, CalibrationError &err);

// The sound level calibration: the level in dBFS the input reads for 94 dB SPL (a calibrator on the
// microphone). Measured magnitudes become dB SPL with it.
struct SplCalibration {
    double dbfsAt94 = NAN;
    bool valid() const { return std::isfinite(dbfsAt94) && dbfsAt94 < 0.0 && dbfsAt94 > -120.0; }
};
