// What the microphone hears from the processor's input, in a car, for one state of the processor's memory.
#pragma once

#include "CarFile.h"
#include "ParamStore.h"
#include "ProcessorChannel.h"
#include "SpeakerPath.h"

#include <complex>
#include <vector>

// Each listed output's processor chain (from the memory, as SimProcessor::params() holds it) and speaker path,
// built once: the virtual car's transfer function, and the known answers a measurement is checked against.
// Times and responses leave the sound card's latency out.
class CarModel
{
public:
    using Complex = std::complex<double>;

    CarModel(const ParamBlock &memory, const Car &car);

    size_t outputs() const { return paths_.size(); }  // in the car's order
    const CarOutput &output(size_t i) const { return car_.outputs[i]; }
    bool sounds(size_t i) const { return chains_[i].gain() != 0.0; }
    // From the processor's input to the microphone at hz: all outputs, or output i alone.
    Complex response(double hz) const;
    Complex response(size_t i, double hz) const;
    // From the processor's input to output i's direct sound: its processor delay plus distance / 34.5 ms.
    double arrivalMs(size_t i) const { return chains_[i].delayMs() + paths_[i].delayMs(); }
    // To the last reflection of the output that sounds latest (0 without any sounding output).
    double longestMs() const;

private:
    Car car_;
    std::vector<ProcessorChannel> chains_;
    std::vector<SpeakerPath> paths_;
};
