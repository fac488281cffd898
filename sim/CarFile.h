// The car file: speakers, paths, latency, noise and clock drift of a virtual car, as JSON, read strictly.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A peaking section of a speaker (an audio-EQ-cookbook peaking biquad at the car's rate).
struct CarPeak {
    double hz = 1000.0;
    double gainDb = 0.0;
    double q = 1.0;
};

// A reflection: the output's direct sound again, delayMs later, times gain.
struct CarReflection {
    double delayMs = 0.0;
    double gain = 0.0;
};

// One processor output's speaker and its path to the microphone.
struct CarOutput {
    int channel = 1;            // processor output 1..6
    double distanceCm = 0.0;    // to the microphone, at 345 m/s
    int polarity = 1;           // +1 or -1
    double levelDb = 0.0;
    double highpassHz = 0.0;    // 0: none
    int highpassOrder = 0;      // Butterworth order 1..8 when highpassHz is set
    double lowpassHz = 0.0;
    int lowpassOrder = 0;
    std::vector<CarPeak> peaks;
    std::vector<CarReflection> reflections;
};

struct Car {
    int sampleRate = 48000;     // the sound card's rate: 44100 or 48000
    double latencyMs = 0.0;     // every path, the loopback too
    double driftPpm = 0.0;      // the microphone's sample k is taken at card time k * (1 + driftPpm / 1e6)
    double noiseDbfs = -200.0;  // white noise RMS at the microphone, 0 dBFS = RMS 1.0; -200: none
    std::vector<CarOutput> outputs;  // outputs not listed are silent
};

class CarFile
{
public:
    static constexpr int MAX_ENTRIES = 64;  // peaks or reflections of one output
    static constexpr double SPEED_CM_PER_MS = 34.5;

    // The car of a JSON text; false with the line of a syntax error, or the path of a key that is missing,
    // unknown, of the wrong type or out of range (e.g. "outputs[2].highpass_hz: not a number").
    static bool read(const QByteArray &json, Car *car, QString *why);
    static bool load(const QString &path, Car *car, QString *why);
    // The indented JSON text of a car (read gives it back).
    static QByteArray write(const Car &car);

    // The cars shipped with the program ("sedan", "hatchback", "coupe").
    static QStringList shippedNames();
    static bool shipped(const QString &name, Car *car, QString *why);
};
