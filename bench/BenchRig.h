// A connected window on the simulated processor for the benchmarks, and their common entry point.
#pragma once

#include "FileDialogs.h"
#include "Kestrun.h"
#include "Notice.h"
#include "LinkState.h"
#include "SimDevice.h"
#include "SimProcessor.h"
#include "Transport.h"
#include "BenchModel.h"
#include "TuningModel.h"
#include "VirtualCar.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>

struct BenchRig {
    SimProcessor sim;
    SimDevice dev{sim};
    Notice notice{Lang()};
    FileDialogs files;
    std::unique_ptr<VirtualCar> car = VirtualCar::shipped(sim, QStringLiteral("sedan"), nullptr);  // the window's sound card
    std::unique_ptr<Kestrun> w;

    BenchRig()
    {
        Model().reset();
        Session().resetLink();
        Session().Port.setDevice(&dev);
        w = std::make_unique<Kestrun>(Model(), notice, files, *car, Lang());
        Session().Port.open();
        Session().Link.Connected = 1;
    }
    ~BenchRig()
    {
        w.reset();
        Session().Port.close();
        Session().Port.setDevice(nullptr);
    }
};

// Runs the registered benchmarks inside an offscreen application.
inline int RunBenchmarks(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
