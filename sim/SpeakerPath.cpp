// A speaker's response and its echoes, evaluated exactly at any frequency.
#include "SpeakerPath.h"

#include "AnalogFilter.h"

#include <algorithm>
#include <cmath>

SpeakerPath::SpeakerPath(const CarOutput &output, int sampleRate)
    : output_(output), rate_(sampleRate), gain_(std::pow(10.0, output.levelDb / 20.0) * (output.polarity < 0 ? -1.0 : 1.0)),
      delayMs_(output.distanceCm / CarFile::SPEED_CM_PER_MS)
{
    for (const CarPeak &p : output.peaks) {
        // Peaking EQ of the audio-EQ cookbook, normalised by a0.
        const double A = std::pow(10.0, p.gainDb / 40.0);
        const double w0 = 2.0 * M_PI * p.hz / rate_;
        const double alpha = std::sin(w0) / (2.0 * p.q);
        const double a0 = 1.0 + alpha / A;
        peaks_.push_back({(1.0 + alpha * A) / a0, -2.0 * std::cos(w0) / a0, (1.0 - alpha * A) / a0, -2.0 * std::cos(w0) / a0,
                          (1.0 - alpha / A) / a0});
    }
}

double SpeakerPath::lastDelayMs() const
{
    double last = 0.0;
    for (const CarReflection &r : output_.reflections) last = std::max(last, r.delayMs);
    return delayMs_ + last;
}

SpeakerPath::Complex SpeakerPath::speaker(double hz) const
{
    Complex h = gain_;
    if (output_.highpassHz > 0) h *= AnalogFilter::butterworthPass(output_.highpassOrder, false, output_.highpassHz, hz);
    if (output_.lowpassHz > 0) h *= AnalogFilter::butterworthPass(output_.lowpassOrder, true, output_.lowpassHz, hz);
    if (peaks_.empty()) return h;
    const Complex z1 = std::polar(1.0, -2.0 * M_PI * hz / rate_);
    const Complex z2 = z1 * z1;
    for (const Section &s : peaks_) h *= (s.b0 + s.b1 * z1 + s.b2 * z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    return h;
}

SpeakerPath::Complex SpeakerPath::echoes(double hz) const
{
    Complex e = 1.0;
    for (const CarReflection &r : output_.reflections) e += r.gain * std::polar(1.0, -2.0 * M_PI * hz * r.delayMs / 1000.0);
    return e;
}

SpeakerPath::Complex SpeakerPath::response(double hz) const
{
    return speaker(hz) * std::polar(1.0, -2.0 * M_PI * hz * delayMs_ / 1000.0) * echoes(hz);
}
