// The whole six-output auto-tune of the shipped sedan with 1.5 s sweeps at -20 dBFS, and at the default -12 dBFS
// where its subwoofer clips the microphone and is measured again 6 dB lower: the audio it takes (counter audio_s)
// and the computing (counter compute_s: the fits and plans on the worker thread; the wall time includes the
// virtual car's synthesis and the analysis, which a real sound card replaces by the audio itself).
#include <benchmark/benchmark.h>

#include "AutoTune.h"
#include "CarFile.h"
#include "HeadlessSession.h"
#include "RandomCar.h"
#include "SceneFile.h"
#include "VirtualCar.h"

#include <QCoreApplication>

namespace {

void SixOutputAutoTune(benchmark::State &state)
{
    Car car;
    QString why;
    if (!CarFile::shipped(QStringLiteral("sedan"), &car, &why)) {
        state.SkipWithError(qPrintable(why));
        return;
    }
    double audio = 0.0, compute = 0.0;
    for (auto _ : state) {
        HeadlessSession session;
        session.load(SceneFile::singleImage(RandomCar::sceneFor(car)));
        VirtualCar card(session.processor(), car);
        AutoTune tune(session.model(), card);
        tune.setAutoAdvance(true);
        AutoTuneSettings settings;
        settings.measure.sweep.sampleRate = car.sampleRate;
        settings.measure.outputDevice = settings.measure.inputDevice = VirtualCar::deviceName();
        settings.measure.sweep.levelDbfs = double(state.range(0));
        AutoTuneReport report;
        if (!tune.runBlocking(settings, report, &why)) {
            state.SkipWithError(qPrintable(why));
            return;
        }
        audio = report.audioSeconds;
        compute = report.computeSeconds;
    }
    state.counters["audio_s"] = audio;
    state.counters["compute_s"] = compute;
}
BENCHMARK(SixOutputAutoTune)->Arg(-20)->Arg(-12)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
