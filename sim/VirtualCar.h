// A simulated sound card in a car: what is played goes through the simulated processor and the car's speakers
// to a microphone.
#pragma once

#include "AudioIo.h"
#include "CarFile.h"
#include "DriftResampler.h"
#include "ParamStore.h"

#include <cstdint>
#include <memory>
#include <mutex>

class SimProcessor;

// One device, "Virtual car", with two outputs and two inputs at the car's sample rate:
// - output 1 feeds the processor's input; each output listed in the car sounds through the processor's chain for
//   it and its speaker and path (CarModel, from the memory snapshot taken in prepare()); they add up at the
//   microphone, input 1, after the card's latency;
// - input 2 is the loopback: output 2 after the latency only;
// - at the microphone, its own clock (drift_ppm: its sample k is taken at card time k (1 + drift_ppm / 1e6)),
//   then white Gaussian noise of noise_dbfs RMS (0 dBFS = RMS 1.0) from the seed given at construction and the
//   number of prepare() calls before, so a run is reproducible; then both inputs clip at +-1.
// Everything linear happens in the frequency domain over the whole capture (FFTW), so every delay is exact to
// any fraction of a sample. A request for one input records the microphone alone; with one output, the
// loopback records silence.
// setPaced makes a capture last as long as it would on a real card (for the demo); setPlugged(false) makes the
// card vanish: devices() lists nothing, prepare refuses and a capture under way fails.
class VirtualCar : public AudioIo
{
public:
    static constexpr int MAX_SECONDS = 60;  // longest capture taken

    VirtualCar(const SimProcessor &processor, const Car &car, uint64_t noiseSeed = 1);
    // A virtual car of the shipped cars (CarFile::shippedNames()), e.g. for the demo; null with the reason.
    static std::unique_ptr<VirtualCar> shipped(const SimProcessor &processor, const QString &name, QString *why);

    static QString deviceName() { return QStringLiteral("Virtual car"); }
    const Car &car() const { return car_; }
    void setPaced(bool paced) { paced_ = paced; }
    void setPlugged(bool plugged) { plugged_ = plugged; }

    std::vector<AudioDevice> devices() override;
    bool prepare(const AudioRequest &request, QString *why) override;
    bool playRecord(const AudioRequest &request, AudioCapture &out, const std::atomic<bool> &cancel,
                    QString *why) override;

private:
    struct Snapshot {
        ParamBlock memory;
        uint64_t capture = 0;
        bool ready = false;
    };
    bool synthesize(const AudioRequest &request, const Snapshot &snap, AudioCapture &out,
                    const std::atomic<bool> &cancel) const;
    bool wait(double seconds, const std::atomic<bool> &cancel, QString *why) const;

    const SimProcessor &processor_;
    const Car car_;
    const uint64_t seed_;
    const DriftResampler resampler_;
    std::atomic<bool> paced_{false};
    std::atomic<bool> plugged_{true};
    std::mutex mutex_;  // guards snapshot_: written by prepare(), read by playRecord()
    std::unique_ptr<Snapshot> snapshot_;
    uint64_t captures_ = 0;  // window thread only
};
