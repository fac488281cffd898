// The sound card through PortAudio: devices by name, play and record on the calling worker thread.
#pragma once

#include "AudioIo.h"

#include <mutex>

struct PaStreamParameters;

// PortAudio is brought up by the constructor and down by the destructor; its device list is the one found
// then. playRecord runs on a worker thread (never the window's): it opens one duplex stream, lets PortAudio's
// callback copy the blocks, and polls every 10 ms for the end, a cancel, a stream that stopped early or a card
// that no longer delivers (no frames for STALL_MS, or twice the expected time): each ends in a failure with
// the reason, never a hang. A block lost or repeated by the card (under- or overflow) fails the capture too.
// The calls into PortAudio are serialised; devices() may be called during a capture.
class PortAudioIo : public AudioIo
{
public:
    static constexpr int STALL_MS = 2000;

    PortAudioIo();
    ~PortAudioIo() override;
    PortAudioIo(const PortAudioIo &) = delete;
    PortAudioIo &operator=(const PortAudioIo &) = delete;

    // Empty when PortAudio came up, else its error.
    QString initError() const { return initError_; }

    std::vector<AudioDevice> devices() override;
    // Checks the devices by name and their channels from the list (cheap, for the window's thread); whether
    // they take the rate is tried by playRecord, as that opens the device.
    bool prepare(const AudioRequest &request, QString *why) override;
    bool playRecord(const AudioRequest &request, AudioCapture &out, const std::atomic<bool> &cancel,
                    QString *why) override;

private:
    // The stream parameters of a request, with the rate tried on the devices when tryRate; false with the
    // reason (lock held).
    bool parameters(const AudioRequest &request, PaStreamParameters &in, PaStreamParameters &out, bool tryRate,
                    QString *why);

    std::mutex mutex_;
    QString initError_;
};
