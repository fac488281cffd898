// The virtual car: the whole capture through the processor and the car in the frequency domain, then the
// microphone's noise, clock and clipping.
#include "VirtualCar.h"

#include "CarModel.h"
#include "SimProcessor.h"

#include <fftw3.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

namespace {

constexpr double RingSeconds = 1.0;  // room left after the longest path for the filters to ring out

// The smallest size >= n made of the factors 2, 3, 5 and 7 only, and even (FFTW is fast on those).
size_t fastSize(size_t n)
{
    for (size_t m = std::max<size_t>(n, 2);; ++m) {
        if (m % 2) continue;
        size_t r = m;
        for (size_t p : {2, 3, 5, 7})
            while (r % p == 0) r /= p;
        if (r == 1) return m;
    }
}

// Real transforms of one size over two buffers of its own.
class Transform
{
public:
    explicit Transform(size_t n) : n_(n)
    {
        time_ = fftw_alloc_real(n);
        bins_ = fftw_alloc_complex(n / 2 + 1);
        forward_ = fftw_plan_dft_r2c_1d(int(n), time_, bins_, FFTW_ESTIMATE);
        backward_ = fftw_plan_dft_c2r_1d(int(n), bins_, time_, FFTW_ESTIMATE);
    }
    ~Transform()
    {
        fftw_destroy_plan(forward_);
        fftw_destroy_plan(backward_);
        fftw_free(time_);
        fftw_free(bins_);
    }
    Transform(const Transform &) = delete;
    Transform &operator=(const Transform &) = delete;

    // Channel c of an interleaved block into the time buffer, zero-padded.
    void load(const std::vector<float> &play, int channels, int c, size_t frames)
    {
        std::fill(time_, time_ + n_, 0.0);
        for (size_t i = 0; i < frames; ++i) time_[i] = play[i * size_t(channels) + size_t(c)];
    }
    void forward() { fftw_execute(forward_); }
    void backward() { fftw_execute(backward_); }
    size_t size() const { return n_; }
    double *time() { return time_; }
    std::complex<double> &bin(size_t k) { return reinterpret_cast<std::complex<double> *>(bins_)[k]; }

private:
    size_t n_;
    double *time_;
    fftw_complex *bins_;
    fftw_plan forward_, backward_;
};

// Whether the request can be played on this car at all.
bool checkRequest(const AudioRequest &r, const Car &car, QString *why)
{
    const QString name = VirtualCar::deviceName();
    if ((!r.outputDevice.isEmpty() && r.outputDevice != name) || (!r.inputDevice.isEmpty() && r.inputDevice != name))
        return *why = QStringLiteral("no such sound card: the virtual car is \"%1\"").arg(name), false;
    if (r.sampleRate != car.sampleRate)
        return *why = QStringLiteral("the virtual car runs at %1 Hz, not %2 Hz").arg(car.sampleRate).arg(r.sampleRate), false;
    if (r.playChannels < 1 || r.playChannels > 2 || r.recordChannels < 1 || r.recordChannels > 2)
        return *why = QStringLiteral("the virtual car has 2 outputs and 2 inputs"), false;
    if (r.play.size() % size_t(r.playChannels))
        return *why = QStringLiteral("the block played is not a whole number of frames"), false;
    const size_t frames = r.play.size() / size_t(r.playChannels);
    if (r.recordFrames < 0 || size_t(r.recordFrames) < frames)
        return *why = QStringLiteral("fewer frames recorded than played"), false;
    if (r.recordFrames > VirtualCar::MAX_SECONDS * r.sampleRate)
        return *why = QStringLiteral("a capture is at most %1 s").arg(VirtualCar::MAX_SECONDS), false;
    return true;
}

// Standard normal samples from a 64-bit Mersenne twister (the same numbers with any standard library).
class Gaussian
{
public:
    explicit Gaussian(uint64_t seed) : engine_(seed) {}
    double next()
    {
        if (spare_) return spare_ = false, second_;
        const double u1 = (double(engine_() >> 11) + 0.5) / 9007199254740992.0;  // (0, 1)
        const double u2 = double(engine_() >> 11) / 9007199254740992.0;
        const double r = std::sqrt(-2.0 * std::log(u1));
        second_ = r * std::sin(2.0 * M_PI * u2);
        spare_ = true;
        return r * std::cos(2.0 * M_PI * u2);
    }

private:
    std::mt19937_64 engine_;
    bool spare_ = false;
    double second_ = 0.0;
};

float clipped(double v) { return float(std::clamp(v, -1.0, 1.0)); }

}  // namespace

VirtualCar::VirtualCar(const SimProcessor &processor, const Car &car, uint64_t noiseSeed)
    : processor_(processor), car_(car), seed_(noiseSeed)
{
    // Captures plan their transforms on worker threads, perhaps beside other users of FFTW.
    fftw_make_planner_thread_safe();
}

std::unique_ptr<VirtualCar> VirtualCar::shipped(const SimProcessor &processor, const QString &name, QString *why)
{
    Car car;
    if (!CarFile::shipped(name, &car, why)) return nullptr;
    return std::make_unique<VirtualCar>(processor, car);
}

std::vector<AudioDevice> VirtualCar::devices()
{
    if (!plugged_) return {};
    return {AudioDevice{deviceName(), 2, 2}};
}

bool VirtualCar::prepare(const AudioRequest &request, QString *why)
{
    if (!plugged_) return *why = QStringLiteral("the sound card \"%1\" is not connected").arg(deviceName()), false;
    if (!checkRequest(request, car_, why)) return false;
    auto snap = std::make_unique<Snapshot>();
    snap->memory = processor_.params();
    snap->capture = captures_++;
    snap->ready = true;
    std::lock_guard<std::mutex> lock(mutex_);
    snapshot_ = std::move(snap);
    return true;
}

bool VirtualCar::playRecord(const AudioRequest &request, AudioCapture &out, const std::atomic<bool> &cancel, QString *why)
{
    out = AudioCapture();
    const auto started = std::chrono::steady_clock::now();
    Snapshot snap;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (snapshot_) snap = *snapshot_;
    }
    if (!snap.ready) return *why = QStringLiteral("the capture was not prepared"), false;
    if (!checkRequest(request, car_, why)) return false;
    if (!plugged_) return *why = QStringLiteral("the sound card \"%1\" was disconnected").arg(deviceName()), false;
    AudioCapture capture;
    if (!synthesize(request, snap, capture, cancel)) return *why = QStringLiteral("cancelled"), false;
    if (request.stopOnClip) {  // as a card stops at the microphone's first clipped sample
        const int frames = capture.frames();
        for (int i = 0; i < frames; ++i)
            if (std::fabs(capture.samples[size_t(i) * size_t(capture.channels)]) >= AUDIO_CLIP_LEVEL) {
                capture.samples.resize(size_t(i + 1) * size_t(capture.channels));
                break;
            }
    }
    if (paced_) {
        const double spent = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        if (!wait(double(capture.frames()) / request.sampleRate - spent, cancel, why)) return false;
    }
    if (!plugged_) return *why = QStringLiteral("the sound card \"%1\" was disconnected").arg(deviceName()), false;
    out = std::move(capture);
    return true;
}

bool VirtualCar::wait(double seconds, const std::atomic<bool> &cancel, QString *why) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(std::max(0.0, seconds));
    while (std::chrono::steady_clock::now() < until) {
        if (cancel) return *why = QStringLiteral("cancelled"), false;
        if (!plugged_) return *why = QStringLiteral("the sound card \"%1\" was disconnected").arg(deviceName()), false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool VirtualCar::synthesize(const AudioRequest &request, const Snapshot &snap, AudioCapture &out,
                            const std::atomic<bool> &cancel) const
{
    const double rate = car_.sampleRate;
    const size_t frames = request.play.size() / size_t(request.playChannels);
    const size_t records = size_t(request.recordFrames);
    const double stretch = 1.0 + car_.driftPpm * 1e-6;

    const CarModel model(snap.memory, car_);
    const double longestMs = car_.latencyMs + model.longestMs();
    const size_t needed = std::max(frames + size_t(std::ceil((longestMs / 1000.0 + RingSeconds) * rate)),
                                   size_t(std::ceil(double(records) * stretch)) + 2 * DriftResampler::HALF + 2);
    Transform t(fastSize(needed));
    const size_t n = t.size();
    const auto phase = [&](size_t k, double ms) { return std::polar(1.0, -2.0 * M_PI * (double(k) * rate / double(n)) * ms / 1000.0); };

    out.sampleRate = car_.sampleRate;
    out.channels = request.recordChannels;
    out.samples.assign(records * size_t(out.channels), 0.0f);

    // The microphone on the card's clock: output 1 through every sounding output's chain and path.
    t.load(request.play, request.playChannels, 0, frames);
    t.forward();
    for (size_t k = 0; k <= n / 2; ++k) {
        if (k % 8192 == 0 && cancel) return false;
        const double hz = double(k) * rate / double(n);
        const std::complex<double> h = model.response(hz) * phase(k, car_.latencyMs);
        t.bin(k) *= h / double(n);
    }
    t.backward();
    if (cancel) return false;

    // The microphone's own clock, then its noise.
    std::vector<double> mic(records);
    if (stretch == 1.0) std::copy(t.time(), t.time() + records, mic.begin());
    else resampler_.resample(t.time(), n, stretch, mic);
    if (car_.noiseDbfs > -200.0) {
        Gaussian noise(seed_ * 0x9E3779B97F4A7C15ull + snap.capture);
        const double rms = std::pow(10.0, car_.noiseDbfs / 20.0);
        for (double &v : mic) v += rms * noise.next();
    }
    for (size_t i = 0; i < records; ++i) out.samples[i * size_t(out.channels)] = clipped(mic[i]);

    // The loopback: output 2 after the latency only.
    if (request.playChannels >= 2 && out.channels >= 2) {
        if (cancel) return false;
        t.load(request.play, request.playChannels, 1, frames);
        t.forward();
        for (size_t k = 0; k <= n / 2; ++k) t.bin(k) *= phase(k, car_.latencyMs) / double(n);
        t.backward();
        for (size_t i = 0; i < records; ++i) out.samples[i * size_t(out.channels) + 1] = clipped(t.time()[i]);
    }
    return !cancel;
}
