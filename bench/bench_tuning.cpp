// Cost of the tuning tools: the PEQ and GEQ fits of one output, and the import of a long measurement.
#include <benchmark/benchmark.h>
#include <cmath>
#include <random>

#include "AutoEq.h"
#include "GraphOverlay.h"
#include "Measurement.h"
#include "TargetCurve.h"

namespace {

// A car-like 1/48-octave measurement (481 points, 20 Hz .. 20 kHz): 25 random resonances and cancellations
// on a rising bass, with a fixed seed.
FreqCurve CarMeasurement()
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    BandSet bands;
    for (int b = 0; b < BAND_COUNT; ++b) {
        bands[b] = b < 25 ? BandCode{uint16_t(20.0 * std::pow(1000.0, unit(rng))), uint16_t(40 + 160 * unit(rng)),
                                     uint8_t(7 + 73 * unit(rng))}
                          : BandCode{1000, GAIN_ZERO, 30};
    }
    FreqCurve m;
    m.hz = LogGrid(20.0, 20000.0, 48);
    m.db = BandsDb(bands, m.hz);
    for (size_t i = 0; i < m.hz.size(); ++i) m.db[i] += 80.0 + 6.0 / (1.0 + m.hz[i] / 80.0) + 0.7 * std::sin(i * 0.9);
    return m;
}

void Fit(benchmark::State &state, bool graphic)
{
    const FreqCurve m = CarMeasurement();
    const FreqCurve target = BuiltInTarget(TargetKind::Car);
    ParamBlock block{};
    block.setDefaults();
    FitSettings s = DefaultFitSettings(block, 0);
    s.graphic = graphic;
    FitResult r;
    for (auto _ : state) {
        r = FitOutput(m, target, block, 0, s);
        benchmark::DoNotOptimize(r.bands[0]);
    }
    state.counters["rmsBefore"] = r.rmsBefore;
    state.counters["rmsAfter"] = r.rmsAfter;
}

void BM_PeqFit(benchmark::State &state) { Fit(state, false); }
BENCHMARK(BM_PeqFit)->Unit(benchmark::kMillisecond);

void BM_GeqFit(benchmark::State &state) { Fit(state, true); }
BENCHMARK(BM_GeqFit)->Unit(benchmark::kMillisecond);

// The three overlay curves of an output with all 31 bands away from 0 dB, as after every band move.
void BM_Overlay(benchmark::State &state)
{
    const GraphGrid grid;
    const FreqCurve m = CarMeasurement();
    const FreqCurve target = BuiltInTarget(TargetKind::Car);
    ParamBlock block{};
    block.setDefaults();
    for (int b = 0; b < BAND_COUNT; ++b) block.EqGain[0][b] = uint16_t(b % 2 ? 90 : 150);
    block.HpfBypass[0] = block.LpfBypass[0] = 0;
    const OverlayLevels levels = MakeOverlayLevels(grid, m, target, 0.0);
    for (auto _ : state) benchmark::DoNotOptimize(MakeOverlay(grid, levels, block, 0));
}
BENCHMARK(BM_Overlay)->Unit(benchmark::kMicrosecond);

// A REW-style export of 100,000 lines (about 3.4 MB) read from memory.
void BM_ImportMeasurement(benchmark::State &state)
{
    QByteArray text = "* Measurement data measured by REW\n* Freq(Hz), SPL(dB), Phase(degrees)\n";
    for (int i = 0; i < 100000; ++i)
        text += QByteArray::number(2.0 + i * 0.2, 'f', 6) + ", " + QByteArray::number(70.0 + std::sin(i * 0.01), 'f', 3) +
                ", " + QByteArray::number(std::fmod(i * 7.0, 360.0) - 180.0, 'f', 4) + "\n";
    Measurement m;
    TextError err;
    for (auto _ : state) {
        LoadMeasurement(text, QStringLiteral("long.txt"), m, err);
        benchmark::DoNotOptimize(m.curve.db.data());
    }
    state.counters["points"] = m.curve.size();
}
BENCHMARK(BM_ImportMeasurement)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
