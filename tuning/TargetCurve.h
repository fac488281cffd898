// Target curves for the fit and the graph: flat, two built-in house curves, or a file of frequency/dB pairs.
#pragma once

#include <QByteArray>
#include <QString>

#include "CurveText.h"
#include "FreqCurve.h"

enum class TargetKind {
    Flat,  // 0 dB everywhere
    // Gentle downward tilt, a straight line in log frequency: +5.0 dB at 20 Hz, 0 dB near 632 Hz,
    // -5.0 dB at 20 kHz (about -1 dB per octave).
    Tilt,
    // Car curve with a low-frequency shelf: 20 Hz +8.0 dB, 60 Hz +8.0 dB, 200 Hz 0.0 dB, 1 kHz 0.0 dB,
    // 5 kHz -1.5 dB, 20 kHz -4.0 dB (straight lines in log frequency between the points).
    Car,
};

FreqCurve BuiltInTarget(TargetKind kind);

// A target file: lines that do not start with a number are skipped; the others hold frequency and dB
// (separators and decimal commas as in measurement files); frequencies must ascend; at least one point.
bool LoadTarget(const QByteArray &bytes, FreqCurve &out, TextError &err);
bool LoadTargetFile(const QString &path, FreqCurve &out, TextError &err);
