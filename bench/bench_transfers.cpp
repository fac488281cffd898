// Pace of the long transfers and the longest stretch the window goes without handling events while
// a processor stops answering.
#include "SceneFiles.h"
#include "ProcessorScenes.h"
#include "BenchRig.h"
#include "FileDialogs.h"
#include "TuningModel.h"
#include "FirmwareImage.h"
#include "Kestrun.h"
#include "LinkState.h"
#include "Notice.h"
#include "SceneFile.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "TransferLink.h"
#include "Transport.h"
#include "VirtualCar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

// A connected window on the simulated processor; boxes and file dialogs answered at once.
struct TransferRig {
    SimProcessor sim;
    SimDevice dev{sim};
    Notice notice{Lang()};
    FileDialogs files;
    std::unique_ptr<VirtualCar> car = VirtualCar::shipped(sim, QStringLiteral("sedan"), nullptr);  // the window's sound card
    std::unique_ptr<Kestrun> w;
    QTemporaryDir dir;
    QString path;
    int failures = 0;

    explicit TransferRig(const QByteArray &file, const char *name)
    {
        Model().reset();
        Session().resetLink();
        Session().Pace = TransferPace();
        Session().Port.setDevice(&dev);
        w = std::make_unique<Kestrun>(Model(), notice, files, *car, Lang());
        Session().Port.open();
        Session().Link.Connected = 1;
        Session().Link.LinkStatus = 2;
        path = dir.filePath(QString::fromLatin1(name));
        QFile f(path);
        if (f.open(QIODevice::WriteOnly)) f.write(file);
        f.close();
        files.setResponder([this](const FileDialogs::Request &) { return path; });
        notice.setResponder([this](const Notice::Request &r) {
            if (r.text.contains(QStringLiteral("失败"))) ++failures;
            return true;
        });
    }
    ~TransferRig()
    {
        w.reset();
        Session().Port.close();
        Session().Port.setDevice(nullptr);
    }
    // Back to an idle, connected link after a transfer that restarted it.
    void relink()
    {
        Session().Port.open();
        Session().Link = LinkState();
        Session().Link.Connected = 1;
        Session().Link.LinkStatus = 2;
        sim.clearLog();
    }
};

// Measures the longest gap between two passes of the event loop while `run` executes.
template <typename F>
double longestStallMs(F run)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    QTimer beat;
    beat.setInterval(1);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });
    beat.start();
    run();
    worst = std::max(worst, clock.elapsed() - last);
    return double(worst);
}

// Loading a single-scene file into an acknowledging processor, at the program's own pace.
void BM_SingleSceneLoad(benchmark::State &state)
{
    TransferRig rig(SceneFile::singleImage(Session().ParamStore), "one.SCE");
    for (auto _ : state) {
        rig.w->sceneFiles().Sence_Sub3_Fun();
        rig.relink();
    }
    state.counters["failures"] = rig.failures;
}
BENCHMARK(BM_SingleSceneLoad)->Unit(benchmark::kMillisecond)->Iterations(3);

// Fetching the nine stored scenes and saving them.
void BM_AllScenesFetch(benchmark::State &state)
{
    TransferRig rig(QByteArray(), "all.ALL");
    for (auto _ : state) {
        rig.w->sceneFiles().Sence_Sub4_Fun();
        rig.relink();
    }
    state.counters["failures"] = rig.failures;
}
BENCHMARK(BM_AllScenesFetch)->Unit(benchmark::kMillisecond)->Iterations(3);

// A firmware image of range(0) KiB into an acknowledging processor.
void BM_FirmwareUpload(benchmark::State &state)
{
    QByteArray image(int(state.range(0)) * 1024, char(0x5A));
    image.replace(0, 3, "MVO");
    TransferRig rig(image, "fw.bin");
    for (auto _ : state) {
        rig.w->scenes().Option_Sub5_Fun();
        rig.relink();
    }
    state.counters["blocks/s"] = benchmark::Counter(double(state.iterations()) * image.size() / 16, benchmark::Counter::kIsRate);
    state.counters["failures"] = rig.failures;
}
BENCHMARK(BM_FirmwareUpload)->Arg(16)->ArgName("KiB")->Unit(benchmark::kMillisecond)->Iterations(2);

// A processor that stops answering at once: the transfer gives up after its bounded tries; the
// counter is the longest time the window went without handling its events (reads wait for real).
void BM_SilentProcessorStall(benchmark::State &state)
{
    const int kind = int(state.range(0));  // 0 single scene, 1 all scenes, 2 firmware
    QByteArray file = kind == 0 ? SceneFile::singleImage(Session().ParamStore) : QByteArray(SceneFile::ALL_SIZE, 0);
    if (kind == 2) {
        file = QByteArray(4096, 0);
        file.replace(0, 3, "MVO");
    }
    TransferRig rig(file, kind == 0 ? "one.SCE" : kind == 1 ? "all.ALL" : "fw.bin");
    rig.dev.setRealTimeouts(true);
    rig.sim.setSilent(true);
    double worst = 0;
    for (auto _ : state) {
        worst = std::max(worst, longestStallMs([&] {
            if (kind == 0) rig.w->sceneFiles().Sence_Sub3_Fun();
            if (kind == 1) rig.w->sceneFiles().Sence_Sub5_Fun();
            if (kind == 2) rig.w->scenes().Option_Sub5_Fun();
        }));
        rig.relink();
    }
    state.counters["longestStallMs"] = worst;
    state.counters["failures"] = rig.failures;
}
BENCHMARK(BM_SilentProcessorStall)->DenseRange(0, 2)->ArgName("transfer")->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

int main(int argc, char **argv) { return RunBenchmarks(argc, argv); }
