// Cost of the tuning tools: the PEQ and GEQ fits of one output, the fit's accuracy over 50 synthetic
// responses, and the import of a long measurement.
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <random>

#include "AutoEq.h"
#include "FilterFile.h"
#include "GraphOverlay.h"
#include "Measurement.h"
#include "SyntheticResponse.h"
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

// The PEQ fit of 50 seeded synthetic responses (SyntheticResponse) to the flat target over 20 Hz..20 kHz,
// with all 31 bands free or with bands 11..31 locked flat: the mean RMS residual, the mean and the worst
// share of points within +-1 dB (deep narrow dips, which the fit leaves out, not counted) and the wall time
// per output.
void BM_SyntheticFit(benchmark::State &state)
{
    constexpr int RESPONSES = 50;
    std::vector<FreqCurve> responses;
    for (int seed = 1; seed <= RESPONSES; ++seed) responses.push_back(SyntheticResponse(uint32_t(seed)));
    ParamBlock block{};
    block.setDefaults();
    FitSettings s = DefaultFitSettings(block, 0);
    for (int b = int(state.range(0)); b < BAND_COUNT; ++b) s.locked[size_t(b)] = true;
    const FreqCurve flat = BuiltInTarget(TargetKind::Flat);
    double rms = 0.0, within = 0.0, worst = 1.0, seconds = 0.0;
    int fits = 0;
    for (auto _ : state) {
        for (const FreqCurve &m : responses) {
            const auto start = std::chrono::steady_clock::now();
            const FitResult r = FitOutput(m, flat, block, 0, s);
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            rms += r.rmsAfter;
            within += r.withinOneDb;
            worst = std::min(worst, r.withinOneDb);
            ++fits;
        }
    }
    state.counters["rmsAfter"] = rms / fits;
    state.counters["within1dB"] = within / fits;
    state.counters["worstWithin1dB"] = worst;
    state.counters["msPerOutput"] = 1000.0 * seconds / fits;
}
BENCHMARK(BM_SyntheticFit)->Arg(10)->Arg(31)->Iterations(1)->Unit(benchmark::kMillisecond);

// Twenty seeded ten-filter files of the published kind (a low shelf, eight peaks, a high shelf, Q 0.70 on
// the shelves) imported into 31 free bands: the mean and the worst RMS difference to the file's response
// over 20 Hz..20 kHz, and the wall time per file.
void BM_FilterImport(benchmark::State &state)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    auto number = [](double v, int decimals) { return QByteArray::number(v, 'f', decimals); };
    std::vector<QByteArray> files;
    for (int k = 0; k < 20; ++k) {
        QByteArray f = "Preamp: -6.0 dB\nFilter 1: ON LSC Fc " + number(60 + 140 * unit(rng), 0) + " Hz Gain " +
                       number(-3 + 11 * unit(rng), 1) + " dB Q 0.70\n";
        for (int i = 2; i <= 9; ++i)
            f += "Filter " + QByteArray::number(i) + ": ON PK Fc " + number(20 * std::pow(1000, unit(rng)), 0) + " Hz Gain " +
                 number(-8 + 14 * unit(rng), 1) + " dB Q " + number(0.5 + 5 * unit(rng), 2) + "\n";
        f += "Filter 10: ON HSC Fc " + number(6000 + 6000 * unit(rng), 0) + " Hz Gain " + number(-6 + 10 * unit(rng), 1) +
             " dB Q 0.70\n";
        files.push_back(f);
    }
    BandSet current;
    for (int b = 0; b < BAND_COUNT; ++b) current[size_t(b)] = BandCode{DefaultEqFreq[b], GAIN_ZERO, 30};
    double rms = 0.0, worst = 0.0, seconds = 0.0;
    int imports = 0;
    for (auto _ : state) {
        for (const QByteArray &f : files) {
            const auto start = std::chrono::steady_clock::now();
            const FilterImport r = ImportFilters(f, current);
            seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            rms += r.rmsDb;
            worst = std::max(worst, r.rmsDb);
            ++imports;
        }
    }
    state.counters["rmsDb"] = rms / imports;
    state.counters["worstRmsDb"] = worst;
    state.counters["msPerFile"] = 1000.0 * seconds / imports;
}
BENCHMARK(BM_FilterImport)->Iterations(1)->Unit(benchmark::kMillisecond);

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
