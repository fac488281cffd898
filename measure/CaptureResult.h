// What the analysis of one capture (or of several positions) tells: impulse, response, arrival, polarity, quality.
#pragma once

#include <QString>

#include <vector>

enum class Polarity { Positive, Negative, Ambiguous };

// What the arrival time is measured from.
enum class TimingReference {
    Loopback,        // the loopback input's arrival: the sound card's latency is taken out
    PlaybackStart,   // the sweep's first played frame: the sound card's latency is included
    ReferenceOutput  // the arrival of another output's capture (referenceOutput), without a loopback
};

enum class MagnitudeUnit { Relative, Spl };  // dB of the transfer (0 dB: heard as played), or dB SPL

struct CaptureResult {
    int sampleRate = 0;

    // The impulse response from a little before the timing reference on; sample impulseZero is the
    // reference's instant (the direct sound may arrive with it, and its leading half must not be cut).
    std::vector<float> impulse;
    int impulseZero = 0;

    // The response on the 1/48-octave grid from 20 Hz to 20 kHz, gated around the direct sound; the phase is
    // referred to the direct sound's arrival (the delay itself is in arrivalSamples). Microphone calibration
    // is applied. Values outside [validLowHz, validHighHz] (the swept band) carry no information.
    std::vector<double> hz;
    std::vector<double> magnitudeDb;
    std::vector<double> phaseDeg;  // -180..180
    MagnitudeUnit unit = MagnitudeUnit::Relative;
    double validLowHz = 0.0;
    double validHighHz = 0.0;

    // The direct sound's arrival after the timing reference, in samples (sub-sample resolution).
    double arrivalSamples = 0.0;
    TimingReference timing = TimingReference::PlaybackStart;
    int referenceOutput = 0;  // for TimingReference::ReferenceOutput: the output timed against
    double latencySamples = 0.0;  // with a loopback: its arrival after the sweep was played (the card's latency)
    // The microphone's clock against the card's, in ppm (positive: it runs slow, each of its frames later),
    // measured from the sweep's two copies; times and the impulse are corrected for it.
    double clockPpm = 0.0;

    Polarity polarity = Polarity::Ambiguous;
    double polarityConfidence = 0.0;  // 0..1: |cos| of the direct sound's phase, 0 when there is no signal

    double snrDb = 0.0;        // sweep power over the noise after it, at the microphone
    int clippedSamples = 0;    // microphone samples at full scale
    bool noSignal = false;     // the microphone heard nothing of the sweep (unplugged, muted)
    // > 0: the direct sound came this long after the sweep began playing (the sound card's latency included),
    // too late for the recorded tail to hold it and the gate; problem says so, and a longer tail hears it.
    double lateSeconds = 0.0;
    QString problem;           // empty, or why the capture cannot be used (English, for logs and the tool)

    bool clipped() const { return clippedSamples > 0; }
    bool usable() const { return problem.isEmpty() && !noSignal && !clipped(); }
    double arrivalMs() const { return sampleRate > 0 ? 1000.0 * arrivalSamples / sampleRate : 0.0; }
};

// Turns a capture timed from the start of playback into one timed from the reference output's capture
// (measured from the start of its own playback): for sound cards without a loopback.
void ReferTo(CaptureResult &result, const CaptureResult &reference, int referenceOutput);

// The text of a polarity for the tool's line: "+", "-" or "ambiguous".
QString PolarityText(Polarity p);
