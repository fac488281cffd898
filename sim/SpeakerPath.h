// One output's speaker and its way to the microphone, as the car file describes them.
#pragma once

#include "CarFile.h"

#include <complex>
#include <vector>

// level_db x polarity x a Butterworth high-pass x the same low-pass x the peaks (audio-EQ-cookbook peaking
// biquads at the car's rate), delayed by distance / 34.5 ms, plus each reflection a further delay_ms later
// times its gain. The filters are the analogue prototypes evaluated exactly (AnalogFilter).
class SpeakerPath
{
public:
    using Complex = std::complex<double>;

    SpeakerPath(const CarOutput &output, int sampleRate);

    double delayMs() const { return delayMs_; }  // of the direct sound
    double lastDelayMs() const;                  // of the latest reflection (the direct sound without any)
    // Level, polarity, filters and peaks at hz, without the delays.
    Complex speaker(double hz) const;
    // The direct sound and the reflections, relative to the direct sound: 1 + sum of gain x e^(-j w delay).
    Complex echoes(double hz) const;
    // Everything: speaker x direct delay x echoes.
    Complex response(double hz) const;

private:
    struct Section {
        double b0, b1, b2, a1, a2;
    };
    CarOutput output_;
    double rate_;
    double gain_;
    double delayMs_;
    std::vector<Section> peaks_;
};
