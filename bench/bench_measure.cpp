// Cost of measuring: the analysis of one captured sweep (deconvolution, direct sound, gated response), and
// the setup of an analyzer (its FFT plans and the sweep's inverse).
#include <benchmark/benchmark.h>

#include "SweepAnalyzer.h"

#include <cmath>
#include <random>

namespace {

// The sweep heard 1,234 samples late at half level with a reflection and noise, and on the loopback 700.
AudioCapture Captured(const Sweep &sweep)
{
    const AudioRequest request = sweep.request(QString(), QString());
    AudioCapture c;
    c.sampleRate = request.sampleRate;
    c.channels = 2;
    c.samples.assign(request.play.size(), 0.0f);
    std::mt19937 rng(3);
    std::normal_distribution<float> noise(0.0f, 1e-4f);
    const int frames = request.recordFrames;
    for (int i = 0; i < frames; ++i) {
        auto played = [&](int at) { return at >= 0 ? request.play[2 * size_t(at)] : 0.0f; };
        c.samples[2 * size_t(i)] = 0.5f * played(i - 1234) + 0.3f * played(i - 1334) + noise(rng);
        c.samples[2 * size_t(i) + 1] = played(i - 700);
    }
    return c;
}

void Analysis(benchmark::State &state)
{
    SweepSettings s;
    s.seconds = double(state.range(0)) / 10.0;
    const Sweep sweep(s);
    SweepAnalyzer analyzer(sweep);
    const AudioCapture capture = Captured(sweep);
    for (auto _ : state) {
        CaptureResult r = analyzer.analyze(capture, AnalysisOptions());
        benchmark::DoNotOptimize(r.arrivalSamples);
    }
}
BENCHMARK(Analysis)->Arg(15)->Arg(60)->Unit(benchmark::kMillisecond);

void AnalyzerSetup(benchmark::State &state)
{
    const Sweep sweep{SweepSettings()};
    for (auto _ : state) {
        SweepAnalyzer analyzer(sweep);
        benchmark::DoNotOptimize(analyzer.fftSize());
    }
}
BENCHMARK(AnalyzerSetup)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
