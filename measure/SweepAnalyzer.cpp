// Deconvolution by spectral division with FFTW, then the direct sound, the gated response and the quality.
#include "SweepAnalyzer.h"

#include "DirectSound.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double REGULARISATION = 1e-7;  // of the sweep's peak power: keeps the division bounded off-band
constexpr double NO_SIGNAL_SNR_DB = 10.0;
constexpr double SURE_POLARITY_SNR_DB = 20.0;
constexpr double LATE_RATIO = 10.0;  // a direct sound after the searched part stands 20 dB above its peak
constexpr double NOISE_SECONDS = 0.2;

int NextPow2(int v)
{
    int n = 1;
    while (n < v) n *= 2;
    return n;
}

// The smallest even size >= v with no prime factor above 7: FFTW is fast on those.
int FastSize(int v)
{
    for (int m = std::max(v + v % 2, 2);; m += 2) {
        int r = m;
        for (int p : {2, 3, 5, 7})
            while (r % p == 0) r /= p;
        if (r == 1) return m;
    }
}

fftw_complex *Fc(std::complex<double> *p) { return reinterpret_cast<fftw_complex *>(p); }

// out[k] = in[k] * (a + b e^(2 pi i k shift / n)) for k in [0, count): a time advance by shift when a = 0, b = 1.
// The phasor turns by multiplication, exact again every 256 bins.
void Advance(const std::complex<double> *in, std::complex<double> *out, int count, double shift, int n, double a = 0.0,
             double b = 1.0)
{
    const double step = 2.0 * M_PI * shift / n;
    const std::complex<double> turn = std::polar(1.0, step);
    std::complex<double> p;
    for (int k = 0; k < count; ++k) {
        p = k % 256 == 0 ? std::polar(1.0, step * k) : p * turn;
        out[k] = in[k] * (a + b * p);
    }
}

// The band the division keeps, above the sweep: 1 to its top, a raised-cosine taper over a quarter octave
// (at most to 0.47 of the sample rate). Zero-phase, so its ringing is symmetric but short (< 1 ms).
double TopWeight(double f, double hi, double fs)
{
    const double hi1 = std::max(hi, std::min(hi * std::pow(2.0, 0.25), 0.47 * fs));
    if (f <= hi) return 1.0;
    if (f >= hi1) return 0.0;
    return 0.5 + 0.5 * std::cos(M_PI * (f - hi) / (hi1 - hi));
}

// Below the sweep: a 4th-order Butterworth high-pass an octave under its start. It is causal, so gating
// just before the direct sound cuts none of its (long, low) ringing; the response divides it out again.
std::complex<double> LowWeight(double f, double lo)
{
    if (f <= 0.0) return 0.0;
    const std::complex<double> s(0.0, f / (0.5 * lo));
    return s * s * s * s / ((s * s + 0.7653668647 * s + 1.0) * (s * s + 1.8477590650 * s + 1.0));
}

}  // namespace

SweepAnalyzer::SweepAnalyzer(const Sweep &sweep, double gateMs, double preMs)
    : sweep_(sweep),
      drift_(int(std::lround((gateMs + preMs) * sweep.settings().sampleRate / 1000.0)),
             int(std::lround((gateMs + preMs) * sweep.settings().sampleRate / 4000.0)), int(sweep.samples().size()))
{
    const SweepSettings &s = sweep_.settings();
    const double fs = s.sampleRate;
    n_ = FastSize(sweep_.recordFrames());
    gateFrames_ = int(std::lround(gateMs * fs / 1000.0));
    preFrames_ = int(std::lround(preMs * fs / 1000.0));
    m_ = NextPow2(4 * (gateFrames_ + preFrames_));
    // FFTW's planner keeps global tables: with its lock on, analyzers may be built on several threads.
    fftw_make_planner_thread_safe();
    real_ = fftw_alloc_real(size_t(n_));
    bins_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(size_t(n_ / 2 + 1)));
    complex_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(size_t(n_)));
    gate_ = fftw_alloc_real(size_t(m_));
    gateBins_ = reinterpret_cast<std::complex<double> *>(fftw_alloc_complex(size_t(m_ / 2 + 1)));
    forward_ = fftw_plan_dft_r2c_1d(n_, real_, Fc(bins_), FFTW_ESTIMATE);
    backward_ = fftw_plan_dft_c2r_1d(n_, Fc(bins_), real_, FFTW_ESTIMATE);
    analyticPlan_ = fftw_plan_dft_1d(n_, Fc(complex_), Fc(complex_), FFTW_BACKWARD, FFTW_ESTIMATE);
    gatePlan_ = fftw_plan_dft_r2c_1d(m_, gate_, Fc(gateBins_), FFTW_ESTIMATE);

    invert(sweep_.samples(), inverse_);
    double peak = 0.0;
    for (int k = 0; k <= n_ / 2; ++k) peak = std::max(peak, std::abs(bins_[k]));
    matched_.resize(size_t(n_ / 2 + 1));
    for (int k = 0; k <= n_ / 2; ++k) matched_[size_t(k)] = std::abs(bins_[k]) / peak;
    unturn_.resize(size_t(n_ / 2 + 1));
    for (int k = 0; k <= n_ / 2; ++k) {
        const std::complex<double> low = LowWeight(k * fs / n_, s.startHz);
        unturn_[size_t(k)] = std::abs(low) > 0.0 ? std::conj(low) / std::abs(low) : 1.0;
    }
    micAnalytic_.resize(size_t(n_));
    loopAnalytic_.resize(size_t(n_));
    micBins_.resize(size_t(n_ / 2 + 1));
}

SweepAnalyzer::~SweepAnalyzer()
{
    for (fftw_plan p : {forward_, backward_, analyticPlan_, gatePlan_}) fftw_destroy_plan(p);
    fftw_free(real_);
    fftw_free(bins_);
    fftw_free(complex_);
    fftw_free(gate_);
    fftw_free(gateBins_);
}

double SweepAnalyzer::bandWeight(double hz) const
{
    // Times what the regularised division passes of the sweep's spectrum |X|^2 / (|X|^2 + r): below the sweep's
    // start it has little energy, and the division keeps less of the band there than the weights alone say.
    const double fs = sweep_.settings().sampleRate;
    const double k = std::clamp(hz * n_ / fs, 0.0, n_ / 2 - 1.0);
    const int k0 = int(k);
    const double m = std::norm(matched_[size_t(k0)]) * (k0 + 1 - k) + std::norm(matched_[size_t(k0 + 1)]) * (k - k0);
    const double kept = m / (m + REGULARISATION);
    return TopWeight(hz, sweep_.endHz(), fs) * std::abs(LowWeight(hz, sweep_.settings().startHz)) * kept;
}

void SweepAnalyzer::invert(const std::vector<double> &x, std::vector<std::complex<double>> &inverse)
{
    const SweepSettings &s = sweep_.settings();
    std::fill(real_, real_ + n_, 0.0);
    std::copy(x.begin(), x.begin() + std::min<ptrdiff_t>(ptrdiff_t(x.size()), n_), real_);
    fftw_execute(forward_);
    double peak = 0.0;
    for (int k = 0; k <= n_ / 2; ++k) peak = std::max(peak, std::norm(bins_[k]));
    inverse.resize(size_t(n_ / 2 + 1));
    for (int k = 0; k <= n_ / 2; ++k) {
        const double f = k * double(s.sampleRate) / n_;
        const std::complex<double> w = TopWeight(f, sweep_.endHz(), s.sampleRate) * LowWeight(f, s.startHz);
        inverse[size_t(k)] = w * std::conj(bins_[k]) / (std::norm(bins_[k]) + REGULARISATION * peak);
    }
}

void SweepAnalyzer::deconvolve(const AudioCapture &capture, int channel, const std::vector<std::complex<double>> &inverse)
{
    const int frames = std::min(sweep_.recordFrames(), int(capture.samples.size()) / capture.channels);
    std::fill(real_, real_ + n_, 0.0);
    for (int i = 0; i < frames; ++i) real_[i] = capture.samples[size_t(i) * size_t(capture.channels) + size_t(channel)];
    fftw_execute(forward_);
    if (channel == 0) std::copy(bins_, bins_ + n_ / 2 + 1, micBins_.begin());
    for (int k = 0; k <= n_ / 2; ++k) bins_[k] *= inverse[size_t(k)];
}

void SweepAnalyzer::analytic(std::vector<std::complex<double>> &analytic, const std::vector<std::complex<double>> &factor)
{
    // The analytic signal: the positive frequencies doubled, the negative ones dropped.
    complex_[0] = 0.0;
    for (int k = 1; k < n_ / 2; ++k) complex_[k] = 2.0 * bins_[k] * factor[size_t(k)];
    complex_[n_ / 2] = 0.0;
    std::fill(complex_ + n_ / 2 + 1, complex_ + n_, std::complex<double>());
    fftw_execute(analyticPlan_);
    const double scale = 1.0 / n_;
    for (int i = 0; i < n_; ++i) analytic[size_t(i)] = complex_[i] * scale;
}

bool SweepAnalyzer::late(const std::vector<std::complex<double>> &analytic, const DirectSound &early, int searchEnd,
                         CaptureResult &r) const
{
    const int frames = sweep_.recordFrames();
    if (searchEnd < 0 || searchEnd >= frames) return false;
    const DirectSound after = FindDirectSound(analytic.data(), n_, searchEnd, frames);
    if (!after.found || !(early.peak > 0.0) || after.peak < LATE_RATIO * early.peak) return false;
    r.lateSeconds = (after.time - sweep_.leadFrames()) / sweep_.settings().sampleRate;
    r.problem = QStringLiteral("the sound arrived %1 s after the sweep began, later than the recorded tail allows (the "
                               "sound card's latency)").arg(r.lateSeconds, 0, 'f', 2);
    return true;
}

double SweepAnalyzer::snrDb(const AudioCapture &capture, int channel, double start) const
{
    const int frames = std::min(sweep_.recordFrames(), int(capture.samples.size()) / capture.channels);
    const int sweepFrames = sweep_.copies() * int(sweep_.samples().size());
    const int s0 = std::clamp(int(start), 0, frames), s1 = std::min(frames, s0 + sweepFrames);
    const int n0 = std::max(frames - int(NOISE_SECONDS * capture.sampleRate), std::min(frames - 1, s1 + gateFrames_));
    auto power = [&](int a, int b) {
        double sum = 0.0;
        for (int i = a; i < b; ++i) {
            const double v = capture.samples[size_t(i) * size_t(capture.channels) + size_t(channel)];
            sum += v * v;
        }
        return b > a ? sum / (b - a) : 0.0;
    };
    const double ps = power(s0, s1), pn = power(std::max(0, n0), frames);
    const double snr = 10.0 * std::log10(std::max(ps - pn, 1e-30) / std::max(pn, 1e-30));
    return std::clamp(snr, -100.0, 200.0);
}

CaptureResult SweepAnalyzer::analyze(const AudioCapture &capture, const AnalysisOptions &options)
{
    const SweepSettings &s = sweep_.settings();
    CaptureResult r;
    r.sampleRate = s.sampleRate;
    r.timing = s.loopback ? TimingReference::Loopback : TimingReference::PlaybackStart;
    r.validLowHz = s.startHz;
    r.validHighHz = sweep_.endHz();
    const int needChannels = s.loopback ? 2 : 1;
    if (capture.sampleRate != s.sampleRate) {
        r.problem = QStringLiteral("the capture is at %1 Hz, the sweep at %2 Hz").arg(capture.sampleRate).arg(s.sampleRate);
        return r;
    }
    const int frames = sweep_.recordFrames();
    for (int i = 0, n = std::min(frames, capture.frames()); i < n; ++i)
        if (std::fabs(capture.samples[size_t(i) * size_t(capture.channels)]) >= AUDIO_CLIP_LEVEL) ++r.clippedSamples;
    if (capture.channels < needChannels || capture.frames() < frames) {
        r.problem = r.clipped() ? QStringLiteral("the microphone clipped; the sweep was stopped")
                                : QStringLiteral("the capture is shorter or has fewer inputs than the sweep needs");
        return r;
    }
    // The direct sound must leave a whole gate inside the recording.
    const int period = int(sweep_.samples().size());
    const int searchEnd = frames - sweep_.copies() * period - gateFrames_;
    double reference = sweep_.leadFrames();  // without a loopback: the first frame of the sweep
    if (s.loopback) {
        deconvolve(capture, 1, inverse_);
        analytic(loopAnalytic_, unturn_);
        const DirectSound loop = FindDirectSound(loopAnalytic_.data(), n_, 0, searchEnd);
        if (!loop.found || snrDb(capture, 1, loop.time) < NO_SIGNAL_SNR_DB) {
            if (!late(loopAnalytic_, loop, searchEnd, r))
                r.problem = QStringLiteral("the loopback input (2) hears nothing: wire output 2 to input 2, or measure without the loopback");
            return r;
        }
        reference = loop.time;
        r.latencySamples = reference - sweep_.leadFrames();
    }
    deconvolve(capture, 0, inverse_);
    analytic(micAnalytic_, unturn_);
    DirectSound direct = FindDirectSound(micAnalytic_.data(), n_, 0, searchEnd);
    r.snrDb = direct.found ? snrDb(capture, 0, direct.time) : 0.0;
    if (!direct.found || r.snrDb < NO_SIGNAL_SNR_DB) {
        r.noSignal = !late(micAnalytic_, direct, searchEnd, r);
        return r;
    }
    double stretch = 1.0;  // the microphone's frame k is the card's frame k * stretch
    if (sweep_.copies() == 1 && std::isfinite(options.clockPpm) && std::fabs(options.clockPpm) > 1e-2) {
        // The clock an earlier sweep read: the recording divided by the sweep as that clock records it.
        stretch = 1.0 + options.clockPpm * 1e-6;
        r.clockPpm = options.clockPpm;
        invert(sweep_.stretched(stretch), drifted_);
        for (int k = 0; k <= n_ / 2; ++k) bins_[k] = micBins_[size_t(k)] * drifted_[size_t(k)];
        analytic(micAnalytic_, unturn_);
        direct = FindDirectSound(micAnalytic_.data(), n_, 0, searchEnd);
        if (!direct.found) {
            r.noSignal = true;
            return r;
        }
    } else if (sweep_.copies() == 2) {
        // Compared causal (the zero-phase low band limit rings long before the direct sound) and weighted by the
        // sweep's spectrum, so that the noise is white, not raised where the sweep is weak.
        analytic(micAnalytic_, matched_);
        stretch = drift_.stretch(micAnalytic_.data(), n_, direct.time, period);
        if (!(stretch > 0.0)) {
            r.problem = QStringLiteral("the two sweeps of the capture differ: the microphone's clock cannot be measured");
            return r;
        }
        r.clockPpm = (stretch - 1.0) * 1e6;
        // The microphone's spectrum (kept by deconvolve) divided by the sweep on its clock; then both copies
        // averaged: the first plus the second moved back by its spacing, each at half weight.
        const std::vector<std::complex<double>> *inverse = &inverse_;
        if (std::fabs(stretch - 1.0) > 1e-8) {
            invert(sweep_.stretched(stretch), drifted_);
            inverse = &drifted_;
        }
        for (int k = 0; k <= n_ / 2; ++k) micBins_[size_t(k)] *= (*inverse)[size_t(k)];
        const double spacing = period / stretch;
        Advance(micBins_.data(), bins_, n_ / 2 + 1, spacing, n_, 0.5, 0.5);
        analytic(micAnalytic_, unturn_);
        // Half copies lie a spacing before and after: the search stays between them.
        const int from = std::max(0, int(direct.time - 0.5 * spacing));
        direct = FindDirectSound(micAnalytic_.data(), n_, from, std::min(n_, int(direct.time + 0.5 * spacing)));
    }
    std::copy(bins_, bins_ + n_ / 2 + 1, micBins_.begin());
    r.arrivalSamples = direct.time * stretch - reference;
    const double c = direct.cosine();
    r.polarityConfidence = std::fabs(c);
    if (r.polarityConfidence >= DirectSound::SURE_COS && r.snrDb >= SURE_POLARITY_SNR_DB)
        r.polarity = c > 0.0 ? Polarity::Positive : Polarity::Negative;

    // The impulse from the reference on (on the microphone's clock): the spectrum advanced by the reference's
    // (fractional) time; it ends before a second copy's half would show.
    const double start = reference / stretch;
    Advance(micBins_.data(), bins_, n_ / 2 + 1, start, n_);
    fftw_execute(backward_);
    int length = std::max(0, searchEnd + gateFrames_ - int(std::ceil(start)));
    if (sweep_.copies() == 2) length = std::min(length, int(direct.time + period / stretch - start) - preFrames_);
    r.impulseZero = preFrames_;
    r.impulse.resize(size_t(preFrames_ + std::max(0, length)));
    for (int i = 0; i < int(r.impulse.size()); ++i) r.impulse[size_t(i)] = float(real_[(i - preFrames_ + n_) % n_] / n_);
    response(r, options, direct.time - start + r.impulseZero);
    return r;
}

void SweepAnalyzer::response(CaptureResult &r, const AnalysisOptions &options, double a)
{
    const int start = std::max(0, int(std::floor(a)) - preFrames_);
    const int length = std::max(0, std::min(preFrames_ + gateFrames_, int(r.impulse.size()) - start));
    // Half-Hann fade-in over the first half of the lead (only where there is a lead), fade-out over the
    // last fifth of the gate.
    const int fadeIn = start > 0 ? std::max(1, std::min(preFrames_ / 2, int(a - start) / 2)) : 0;
    const int fadeOut = std::max(1, length / 5);
    std::fill(gate_, gate_ + m_, 0.0);
    for (int i = 0; i < length; ++i) {
        double w = 1.0;
        if (i < fadeIn) w = 0.5 - 0.5 * std::cos(M_PI * i / fadeIn);
        if (length - 1 - i < fadeOut) w *= 0.5 - 0.5 * std::cos(M_PI * (length - 1 - i) / fadeOut);
        gate_[i] = r.impulse[size_t(start + i)] * w;
    }
    fftw_execute(gatePlan_);
    const SweepSettings &s = sweep_.settings();
    const double fs = s.sampleRate;
    const double offset = options.spl.valid() ? s.levelDbfs + 94.0 - options.spl.dbfsAt94 : 0.0;
    r.unit = options.spl.valid() ? MagnitudeUnit::Spl : MagnitudeUnit::Relative;
    r.hz = LogGrid(20.0, 20000.0, 48);
    r.magnitudeDb.resize(r.hz.size());
    r.phaseDeg.resize(r.hz.size());
    // Each bin with the direct sound's delay taken out, so that the phase turns slowly between bins.
    auto bin = [this, a, start](int k) { return gateBins_[k] * std::polar(1.0, 2.0 * M_PI * k * (a - start) / m_); };
    for (size_t i = 0; i < r.hz.size(); ++i) {
        const double k = std::min(r.hz[i] * m_ / fs, m_ / 2 - 1.0);
        const int k0 = int(k);
        const double t = k - k0;
        std::complex<double> v = bin(k0) * (1.0 - t) + bin(k0 + 1) * t;
        const std::complex<double> low = LowWeight(r.hz[i], s.startHz);
        if (std::abs(low) > 0.1) v /= low;
        double db = 20.0 * std::log10(std::max(std::abs(v), 1e-12)) + offset;
        if (options.mic && !options.mic->empty()) db -= options.mic->curve.at(r.hz[i]);
        r.magnitudeDb[i] = db;
        r.phaseDeg[i] = std::arg(v) * 180.0 / M_PI;
    }
}
