// The readable form of a scene block and the field-by-field differences of two blocks.
#pragma once

#include <QByteArray>
#include <QStringList>

class SceneText
{
public:
    // Every block here is 4096 bytes as a scene file holds it (gains in the processor's encoding).

    // The global settings, then per output its name, levels, filters and the bands that are not flat
    // (all 31 with `allBands`). Stored codes outside a field's range read "code N (invalid)".
    static QStringList show(const QByteArray &block, bool allBands);
    // One line per differing field, e.g. "CH2 band 5 gain: -3.0 dB -> -4.5 dB", "CH1 high-pass: 80 Hz -> 100 Hz";
    // uninterpreted bytes as one line per region.
    static QStringList diff(const QByteArray &a, const QByteArray &b);
    // One filter of output ch (0 = high-pass, 1 = low-pass): "Butterworth -24 dB/Oct 80 Hz" or "OFF".
    static QString filter(const QByteArray &block, int which, int ch);
    // Whether band b of output ch is away from 0 dB.
    static bool bandShaped(const QByteArray &block, int ch, int band);
};
