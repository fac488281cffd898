// The seam between the program and a sound card: play a block on its outputs while recording its inputs.
#pragma once

#include <QString>

#include <atomic>
#include <vector>

// A microphone sample this loud or louder (either sign) is clipped.
constexpr float AUDIO_CLIP_LEVEL = 0.9999f;

// One sound card as the system lists it.
struct AudioDevice {
    QString name;
    int inputs = 0;   // input channels
    int outputs = 0;  // output channels
};

// What one capture plays and records. Output 1 feeds the processor's input, output 2 the loopback;
// input 1 is the microphone, input 2 the loopback (output 2 wired back, or absent).
struct AudioRequest {
    QString outputDevice;         // a name from devices(); empty: the system's default
    QString inputDevice;
    int sampleRate = 48000;       // 44100 or 48000
    int playChannels = 2;
    int recordChannels = 2;
    std::vector<float> play;      // interleaved, playChannels per frame, full scale 1.0
    int recordFrames = 0;         // frames to record, at least as many as are played
    // The capture ends at the microphone's (input 1's) first clipped sample: a clipped sweep cannot be used, so
    // the rest of it is neither played nor waited for.
    bool stopOnClip = false;
};

// What one capture recorded.
struct AudioCapture {
    int sampleRate = 0;
    int channels = 0;
    std::vector<float> samples;   // interleaved, channels per frame
    // The frames recorded: the request's recordFrames, or fewer when stopOnClip ended the capture.
    int frames() const { return channels > 0 ? int(samples.size() / size_t(channels)) : 0; }
};

class AudioIo
{
public:
    virtual ~AudioIo() = default;
    // The devices that can play or record now.
    virtual std::vector<AudioDevice> devices() = 0;
    // Called on the window's thread right before a capture (a simulated card takes its snapshot of the
    // processor here). False with the reason when the capture cannot start.
    virtual bool prepare(const AudioRequest &request, QString *why)
    {
        (void)request;
        (void)why;
        return true;
    }
    // Plays and records; blocks the calling worker thread until done, cancelled (cancel turns true) or
    // failed. False with the reason on failure or cancel; out is then empty.
    virtual bool playRecord(const AudioRequest &request, AudioCapture &out, const std::atomic<bool> &cancel,
                            QString *why) = 0;
};
