// An exponential sine sweep with faded ends, and the capture request that plays it.
#pragma once

#include "AudioIo.h"

#include <QString>

#include <vector>

constexpr double SWEEP_MIN_SECONDS = 0.5;
constexpr double SWEEP_MAX_SECONDS = 6.0;
// Silence played before the sweep: a sound card starting a stream may drop or repeat its first blocks.
constexpr double SWEEP_LEAD_SECONDS = 0.25;
// The shortest recorded tail: the response's gate after a direct sound heard at once, and a card block more.
constexpr double SWEEP_MIN_TAIL_SECONDS = 0.35;

struct SweepSettings {
    int sampleRate = 48000;     // 44100 or 48000
    double seconds = 1.5;       // 0.5 .. 6
    double levelDbfs = -12.0;   // peak level, -60 .. 0
    double startHz = 20.0;      // an output's high-pass corner, or 20 Hz
    double endHz = 20000.0;     // at most 0.45 of the sample rate is swept
    double tailSeconds = 1.0;   // recorded after the sweep: latency, decay and the noise estimate
    double leadSeconds = SWEEP_LEAD_SECONDS;  // silence before the sweep, 0 .. 1
    bool loopback = true;       // output 2 plays the sweep too, for the loopback input
    // The sweep plays twice, back to back, in one recording: the second copy's delay after the first measures
    // the microphone's clock against the sound card's (a microphone with a clock of its own drifts).
    bool twice = true;

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
    int copies() const { return settings_.twice ? 2 : 1; }
    int recordFrames() const;  // lead, the sweep's copies and tail
    // The sweep as a clock running stretch times the card's records it: sample i is the sweep at card frame
    // i * stretch (0 outside it).
    std::vector<double> stretched(double stretch) const;
    // Two outputs and two inputs: after the lead, the sweep's copies on output 1 (and 2 for the loopback), then
    // silence; the capture stops when the microphone clips.
    AudioRequest request(const QString &outputDevice, const QString &inputDevice) const;

private:
    double at(double frame) const;  // the sweep at a card frame, between samples too

    SweepSettings settings_;
    double endHz_;
    double rateL_ = 0.0;  // seconds per neper of frequency
    double amp_ = 0.0;
    int fadeIn_ = 2, fadeOut_ = 2;
    std::vector<double> samples_;
};
