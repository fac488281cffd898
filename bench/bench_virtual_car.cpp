// Cost of one virtual-car capture: a 1.5 s sweep with 0.5 s to spare at 48 kHz through a tuned processor
// (crossovers of every type, 12 active bands per output) and a shipped car, with and without clock drift.
#include <benchmark/benchmark.h>

#include <cmath>

#include "CarFile.h"
#include "SimProcessor.h"
#include "VirtualCar.h"

namespace {

void Capture(benchmark::State &state, const char *name)
{
    SimProcessor proc;
    ParamBlock &m = proc.params();
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        m.HpfBypass[ch] = m.LpfBypass[ch] = 0;
        m.HpfType[ch] = m.LpfType[ch] = uint8_t(ch % 3);
        m.HpfSlope[ch] = m.LpfSlope[ch] = uint8_t(ch + 1);
        m.HpfFreq[ch] = uint16_t(40 + 60 * ch), m.LpfFreq[ch] = uint16_t(18000 - 2000 * ch);
        for (int b = 2; b < BAND_COUNT; b += 5) m.EqGain[ch][b] = 240 + 40, m.EqGain[ch][b + 2] = 240 - 60;
    }
    QString why;
    const auto car = VirtualCar::shipped(proc, QString::fromLatin1(name), &why);
    const int rate = car->car().sampleRate;
    AudioRequest r;
    r.sampleRate = rate;
    const int frames = rate * 3 / 2;
    r.play.assign(size_t(frames) * 2, 0.0f);
    for (int n = 0; n < frames; ++n) {
        const double t = double(n) / rate, k = std::log(1000.0) / 1.5;
        r.play[size_t(n) * 2] = r.play[size_t(n) * 2 + 1] = float(0.25 * std::sin(2 * M_PI * 20.0 * (std::exp(k * t) - 1) / k));
    }
    r.recordFrames = rate * 2;
    std::atomic<bool> cancel{false};
    AudioCapture out;
    for (auto _ : state) {
        car->prepare(r, &why);
        benchmark::DoNotOptimize(car->playRecord(r, out, cancel, &why));
    }
}

}  // namespace

BENCHMARK_CAPTURE(Capture, sedan, "sedan")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Capture, coupe_drift, "coupe")->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
