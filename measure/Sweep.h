// An exponential sine sweep with faded ends, and the capture request that plays it.
#pragma once

#include "AudioIo.h"

#include <QString>

#include <vector>

constexpr double SWEEP_MIN_SECONDS = 0.5;
constexpr double SWEEP_MAX_SECONDS = 6.0;
// Silence played before the sweep: a sound card starting a stream may drop or repeat its first blocks.
constexpr double SWEEP_LEAD_SECONDS = 0.25;

struct SweepSettings {
    int sampleRate = 48000;     // 44100 or 48000
    double seconds = 1.5;       // 0.5 .. 6
    double levelDbfs = -12.0;   // peak level, -60 .. 0
    double startHz = 20.0;      // an output's high-pass corner, or 20 Hz
    double endHz = 20000.0;     // at most 0.45 of the sample rate is swept
    double tailSeconds = 1.0;   // recorded after the sweep: latency, decay and the noise estimate
    double leadSeconds = SWEEP_LEAD_SECONDS;  // silence before the sweep, 0 .. 1
    bool loopback = true;       // output 2 plays the sweep too, for the loopback input

    // Empty when the settings can be swept, else the reason.
    QString check() const;
};

class Sweep
{
public:
    explicit Sweep(const SweepSettings &settings);  // settings that fail check() are clamped into range
    const SweepSettings &settings() const { return settings_; }
    const std::vector<double> &samples() const { return samples_; }  // mono, at the settings' level
    double endHz() const { return endHz_; }  // the swept top (endHz limited by the sample rate)
    int leadFrames() const;
    int recordFrames() const;  // lead, sweep and tail
    // Two outputs and two inputs: after the lead, the sweep on output 1 (and 2 for the loopback), then silence.
    AudioRequest request(const QString &outputDevice, const QString &inputDevice) const;

private:
    SweepSettings settings_;
    double endHz_;
    std::vector<double> samples_;
};
