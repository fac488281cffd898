// Exponential sine sweep (Farina): the instantaneous frequency rises exponentially from start to end.
#include "Sweep.h"

#include <algorithm>
#include <cmath>

QString SweepSettings::check() const
{
    if (sampleRate != 44100 && sampleRate != 48000)
        return QStringLiteral("the sample rate must be 44100 or 48000 Hz, not %1").arg(sampleRate);
    if (!(seconds >= SWEEP_MIN_SECONDS && seconds <= SWEEP_MAX_SECONDS))
        return QStringLiteral("the sweep must last 0.5 to 6 s");
    if (!(levelDbfs >= -60.0 && levelDbfs <= 0.0)) return QStringLiteral("the sweep level must be -60 to 0 dBFS");
    if (!(startHz >= 10.0 && startHz * 2.0 <= std::min(endHz, 0.45 * sampleRate)))
        return QStringLiteral("the sweep must start at 10 Hz or above and span at least an octave");
    if (!(tailSeconds >= SWEEP_MIN_TAIL_SECONDS && tailSeconds <= 5.0))
        return QStringLiteral("the recorded tail must be %1 to 5 s").arg(SWEEP_MIN_TAIL_SECONDS);
    if (!(leadSeconds >= 0.0 && leadSeconds <= 1.0)) return QStringLiteral("the silence before the sweep must be 0 to 1 s");
    return QString();
}

Sweep::Sweep(const SweepSettings &settings) : settings_(settings)
{
    // Settings that fail check() are brought into range rather than trusted.
    SweepSettings &s = settings_;
    if (s.sampleRate != 44100) s.sampleRate = 48000;
    s.seconds = std::isfinite(s.seconds) ? std::clamp(s.seconds, SWEEP_MIN_SECONDS, SWEEP_MAX_SECONDS) : 1.5;
    s.levelDbfs = std::isfinite(s.levelDbfs) ? std::clamp(s.levelDbfs, -60.0, 0.0) : -12.0;
    s.tailSeconds = std::isfinite(s.tailSeconds) ? std::clamp(s.tailSeconds, SWEEP_MIN_TAIL_SECONDS, 5.0) : 1.0;
    s.leadSeconds = std::isfinite(s.leadSeconds) ? std::clamp(s.leadSeconds, 0.0, 1.0) : SWEEP_LEAD_SECONDS;
    endHz_ = std::isfinite(s.endHz) ? std::clamp(s.endHz, 20.0, 0.45 * s.sampleRate) : 0.45 * s.sampleRate;
    s.startHz = std::isfinite(s.startHz) ? std::clamp(s.startHz, 10.0, endHz_ / 2.0) : 20.0;
    s.endHz = endHz_;
    const double fs = settings_.sampleRate;
    const int n = int(std::lround(settings_.seconds * fs));
    rateL_ = settings_.seconds / std::log(endHz_ / settings_.startHz);
    amp_ = std::pow(10.0, settings_.levelDbfs / 20.0);
    // Fade-in over the first sixth of an octave, fade-out over the last 1/48 octave (half-Hann): the ends of
    // the band keep most of their energy and the clicks of a hard start or stop are gone.
    fadeIn_ = std::max(2, int(rateL_ * std::log(std::pow(2.0, 1.0 / 6.0)) * fs));
    fadeOut_ = std::max(2, int(rateL_ * std::log(std::pow(2.0, 1.0 / 48.0)) * fs));
    samples_.resize(size_t(n));
    for (int i = 0; i < n; ++i) samples_[size_t(i)] = at(i);
}

double Sweep::at(double frame) const
{
    const double n = double(samples_.size());
    if (frame < 0.0 || frame > n - 1.0) return 0.0;
    const double t = frame / settings_.sampleRate;
    double v = amp_ * std::sin(2.0 * M_PI * settings_.startHz * rateL_ * (std::exp(t / rateL_) - 1.0));
    if (frame < fadeIn_) v *= 0.5 - 0.5 * std::cos(M_PI * frame / fadeIn_);
    if (n - 1.0 - frame < fadeOut_) v *= 0.5 - 0.5 * std::cos(M_PI * (n - 1.0 - frame) / fadeOut_);
    return v;
}

std::vector<double> Sweep::stretched(double stretch) const
{
    std::vector<double> y(size_t(std::ceil(double(samples_.size()) / stretch)));
    for (size_t i = 0; i < y.size(); ++i) y[i] = at(double(i) * stretch);
    return y;
}

int Sweep::leadFrames() const { return int(std::lround(settings_.leadSeconds * settings_.sampleRate)); }

int Sweep::recordFrames() const
{
    return leadFrames() + copies() * int(samples_.size()) + int(std::lround(settings_.tailSeconds * settings_.sampleRate));
}

AudioRequest Sweep::request(const QString &outputDevice, const QString &inputDevice) const
{
    AudioRequest r;
    r.outputDevice = outputDevice;
    r.inputDevice = inputDevice;
    r.sampleRate = settings_.sampleRate;
    r.playChannels = 2;
    r.recordChannels = 2;
    r.recordFrames = recordFrames();
    r.stopOnClip = true;
    r.play.assign(size_t(r.recordFrames) * 2, 0.0f);
    for (int c = 0; c < copies(); ++c) {
        const size_t start = size_t(leadFrames()) + size_t(c) * samples_.size();
        for (size_t i = 0; i < samples_.size(); ++i) {
            r.play[2 * (start + i)] = float(samples_[i]);
            if (settings_.loopback) r.play[2 * (start + i) + 1] = float(samples_[i]);
        }
    }
    return r;
}
