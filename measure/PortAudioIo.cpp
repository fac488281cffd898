// Duplex PortAudio stream with a callback copying blocks, watched by the worker thread with time-outs.
#include "PortAudioIo.h"

#include <portaudio.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace {

bool Fail(QString *why, const QString &text)
{
    if (why) *why = text;
    return false;
}

QString PaText(PaError e) { return QString::fromUtf8(Pa_GetErrorText(e)); }

// What the callback and the watching thread share for one capture.
struct Transfer {
    const float *play = nullptr;
    int playChannels = 0;
    size_t playFrames = 0;
    float *record = nullptr;
    int recordChannels = 0;
    size_t recordFrames = 0;
    bool stopOnClip = false;
    std::atomic<size_t> done{0};  // frames recorded
    std::atomic<bool> clipped{false};  // stopOnClip ended the capture at frame done
    std::atomic<int> dropouts{0};  // blocks the card lost or repeated (underflow, overflow)
    bool flowing = false;          // the callback's own: a block came without a dropout
};

constexpr PaStreamCallbackFlags DROPOUT = paInputUnderflow | paInputOverflow | paOutputUnderflow | paOutputOverflow;
constexpr double MIN_LATENCY_S = 0.2;  // larger blocks than the card's default: a busy computer drops less

int Callback(const void *input, void *output, unsigned long frames, const PaStreamCallbackTimeInfo *,
             PaStreamCallbackFlags flags, void *user)
{
    Transfer &t = *static_cast<Transfer *>(user);
    float *out = static_cast<float *>(output);
    // Starting a duplex stream, the card hands out silence for input (flagged) until its first recorded
    // block; what is played before then may never reach a loopback or monitor. So the request is played and
    // recorded from the first block that comes without a flag; once sound flows, every lost or repeated
    // block counts.
    if (!t.flowing) {
        if ((flags & DROPOUT) || !input) {
            std::memset(out, 0, frames * size_t(t.playChannels) * sizeof(float));
            return paContinue;
        }
        t.flowing = true;
    } else if (flags & DROPOUT) {
        t.dropouts.fetch_add(1, std::memory_order_relaxed);
    }
    const size_t at = t.done.load(std::memory_order_relaxed);
    const size_t playN = at < t.playFrames ? std::min<size_t>(frames, t.playFrames - at) : 0;
    if (playN > 0) std::memcpy(out, t.play + at * size_t(t.playChannels), playN * size_t(t.playChannels) * sizeof(float));
    std::memset(out + playN * size_t(t.playChannels), 0, (frames - playN) * size_t(t.playChannels) * sizeof(float));
    const size_t recN = std::min<size_t>(frames, t.recordFrames - at);
    float *rec = t.record + at * size_t(t.recordChannels);
    if (input) std::memcpy(rec, input, recN * size_t(t.recordChannels) * sizeof(float));
    else std::memset(rec, 0, recN * size_t(t.recordChannels) * sizeof(float));
    for (size_t i = 0; t.stopOnClip && i < recN; ++i)
        if (std::fabs(rec[i * size_t(t.recordChannels)]) >= AUDIO_CLIP_LEVEL) {
            t.done.store(at + i + 1, std::memory_order_release);
            t.clipped.store(true, std::memory_order_release);
            return paComplete;
        }
    t.done.store(at + recN, std::memory_order_release);
    return at + recN >= t.recordFrames ? paComplete : paContinue;
}

// The index of the device with that name able to play (or record), the default one for an empty name.
PaDeviceIndex FindDevice(const QString &name, bool output)
{
    if (name.isEmpty()) return output ? Pa_GetDefaultOutputDevice() : Pa_GetDefaultInputDevice();
    const QByteArray utf8 = name.toUtf8();
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo *d = Pa_GetDeviceInfo(i);
        if (d && utf8 == d->name && (output ? d->maxOutputChannels : d->maxInputChannels) > 0) return i;
    }
    return paNoDevice;
}

}  // namespace

PortAudioIo::PortAudioIo()
{
    const PaError e = Pa_Initialize();
    if (e != paNoError) initError_ = QStringLiteral("the sound system cannot start: %1").arg(PaText(e));
}

PortAudioIo::~PortAudioIo()
{
    if (initError_.isEmpty()) Pa_Terminate();
}

std::vector<AudioDevice> PortAudioIo::devices()
{
    std::vector<AudioDevice> list;
    std::lock_guard<std::mutex> lock(mutex_);
    if (!initError_.isEmpty()) return list;
    for (PaDeviceIndex i = 0; i < Pa_GetDeviceCount(); ++i) {
        const PaDeviceInfo *d = Pa_GetDeviceInfo(i);
        if (d) list.push_back({QString::fromUtf8(d->name), d->maxInputChannels, d->maxOutputChannels});
    }
    return list;
}

bool PortAudioIo::parameters(const AudioRequest &request, PaStreamParameters &in, PaStreamParameters &out,
                             bool tryRate, QString *why)
{
    if (!initError_.isEmpty()) return Fail(why, initError_);
    if (request.sampleRate != 44100 && request.sampleRate != 48000)
        return Fail(why, QStringLiteral("the sample rate must be 44100 or 48000 Hz, not %1").arg(request.sampleRate));
    if (request.playChannels < 1 || request.recordChannels < 1 || request.recordFrames <= 0
        || request.play.size() % size_t(request.playChannels) != 0
        || request.play.size() / size_t(request.playChannels) > size_t(request.recordFrames))
        return Fail(why, QStringLiteral("the capture request is malformed"));
    const PaDeviceIndex o = FindDevice(request.outputDevice, true), i = FindDevice(request.inputDevice, false);
    auto label = [](const QString &n) { return n.isEmpty() ? QStringLiteral("the default sound card") : QStringLiteral("\"%1\"").arg(n); };
    if (o == paNoDevice) return Fail(why, QStringLiteral("%1 cannot play: it is not there").arg(label(request.outputDevice)));
    if (i == paNoDevice) return Fail(why, QStringLiteral("%1 cannot record: it is not there").arg(label(request.inputDevice)));
    const PaDeviceInfo *od = Pa_GetDeviceInfo(o), *id = Pa_GetDeviceInfo(i);
    if (od->maxOutputChannels < request.playChannels)
        return Fail(why, QStringLiteral("%1 has %2 outputs, %3 are needed").arg(label(request.outputDevice)).arg(od->maxOutputChannels).arg(request.playChannels));
    if (id->maxInputChannels < request.recordChannels)
        return Fail(why, QStringLiteral("%1 has %2 inputs, %3 are needed").arg(label(request.inputDevice)).arg(id->maxInputChannels).arg(request.recordChannels));
    out = {o, request.playChannels, paFloat32, std::max(MIN_LATENCY_S, od->defaultHighOutputLatency), nullptr};
    in = {i, request.recordChannels, paFloat32, std::max(MIN_LATENCY_S, id->defaultHighInputLatency), nullptr};
    if (!tryRate) return true;
    const PaError e = Pa_IsFormatSupported(&in, &out, request.sampleRate);
    if (e != paFormatIsSupported)
        return Fail(why, QStringLiteral("the sound card does not play and record at %1 Hz: %2").arg(request.sampleRate).arg(PaText(e)));
    return true;
}

bool PortAudioIo::prepare(const AudioRequest &request, QString *why)
{
    std::lock_guard<std::mutex> lock(mutex_);
    PaStreamParameters in{}, out{};
    return parameters(request, in, out, false, why);
}

bool PortAudioIo::playRecord(const AudioRequest &request, AudioCapture &capture, const std::atomic<bool> &cancel,
                             QString *why)
{
    capture = AudioCapture();
    std::vector<float> recorded(size_t(std::max(0, request.recordFrames)) * size_t(std::max(0, request.recordChannels)));
    Transfer t;
    t.play = request.play.data();
    t.playChannels = request.playChannels;
    t.playFrames = request.playChannels > 0 ? request.play.size() / size_t(request.playChannels) : 0;
    t.record = recorded.data();
    t.recordChannels = request.recordChannels;
    t.recordFrames = size_t(std::max(0, request.recordFrames));
    t.stopOnClip = request.stopOnClip && request.recordChannels > 0;
    PaStream *stream = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        PaStreamParameters in{}, out{};
        if (!parameters(request, in, out, true, why)) return false;
        PaError e = Pa_OpenStream(&stream, &in, &out, request.sampleRate, paFramesPerBufferUnspecified, paClipOff, Callback, &t);
        if (e != paNoError) return Fail(why, QStringLiteral("the sound card cannot be opened: %1").arg(PaText(e)));
        e = Pa_StartStream(stream);
        if (e != paNoError) {
            Pa_CloseStream(stream);
            return Fail(why, QStringLiteral("the sound card cannot start: %1").arg(PaText(e)));
        }
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto deadline = start + std::chrono::milliseconds(2 * 1000LL * request.recordFrames / request.sampleRate + STALL_MS);
    auto lastProgress = start;
    size_t lastDone = 0;
    QString failure;
    const auto ended = [&t] { return t.clipped.load(std::memory_order_acquire) || t.done.load(std::memory_order_acquire) >= t.recordFrames; };
    while (!ended()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const auto now = Clock::now();
        const size_t done = t.done.load(std::memory_order_acquire);
        if (done != lastDone) {
            lastDone = done;
            lastProgress = now;
        }
        if (ended()) break;
        if (cancel.load()) {
            failure = QStringLiteral("cancelled");
            break;
        }
        const PaError active = Pa_IsStreamActive(stream);
        if (active < 0) failure = QStringLiteral("the sound card failed: %1").arg(PaText(active));
        else if (active == 0) failure = QStringLiteral("the sound card stopped before the capture was complete");
        else if (now - lastProgress > std::chrono::milliseconds(STALL_MS) || now > deadline)
            failure = QStringLiteral("the sound card stopped delivering sound (unplugged or taken by another program?)");
        if (!failure.isEmpty()) break;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (failure.isEmpty()) Pa_StopStream(stream);
        else Pa_AbortStream(stream);
        Pa_CloseStream(stream);
    }
    // A lost or repeated block moves the sweep against itself: the capture cannot be analysed.
    if (failure.isEmpty() && t.dropouts.load() > 0)
        failure = QStringLiteral("the sound card dropped sound %1 times during the sweep (the computer was too busy?)").arg(t.dropouts.load());
    if (!failure.isEmpty()) return Fail(why, failure);
    capture.sampleRate = request.sampleRate;
    capture.channels = request.recordChannels;
    recorded.resize(t.done.load() * size_t(request.recordChannels));
    capture.samples = std::move(recorded);
    return true;
}
