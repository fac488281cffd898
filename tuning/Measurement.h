// A measured frequency response of one output, imported from a REW text export or an FRD file.
#pragma once

#include <QByteArray>
#include <QString>

#include "CurveText.h"
#include "FreqCurve.h"

constexpr int MEASUREMENT_MIN_POINTS = 10;

struct Measurement {
    QString name;     // the file name without folder
    FreqCurve curve;  // SPL in dB per frequency; phase is not kept
};

// Reads a measurement from the bytes of a file; fileName decides only the name and the refusal of
// impedance files (.zma). On failure out is empty and err names the line and the reason.
bool LoadMeasurement(const QByteArray &bytes, const QString &fileName, Measurement &out, TextError &err);
// The same from a file on disk (at most 64 MiB are read).
bool LoadMeasurementFile(const QString &path, Measurement &out, TextError &err);
