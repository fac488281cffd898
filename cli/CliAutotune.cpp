// The autotune command of kestrun-cli: the whole auto-tune headless, on the simulated processor and a virtual car.
#include "CliTool.h"

#include "AutoTune.h"
#include "CarFile.h"
#include "HeadlessSession.h"
#include "ParamStore.h"
#include "PositionAverage.h"
#include "SceneFile.h"
#include "TuningModel.h"
#include "VirtualCar.h"

#include <QFileInfo>

int CliTool::autotune(const Args &a)
{
    const QString carPath = a.values.value(QStringLiteral("--car"));
    if (carPath.isEmpty()) return usage(QStringLiteral("--car CAR.json is required"));
    AutoTuneSettings settings;
    if (a.values.contains(QStringLiteral("--positions"))) {
        bool ok = false;
        settings.measure.positions = a.values.value(QStringLiteral("--positions")).toInt(&ok);
        if (!ok || settings.measure.positions < 1 || settings.measure.positions > MAX_POSITIONS)
            return usage(QStringLiteral("--positions must be 1..%1").arg(MAX_POSITIONS));
    }
    if (const int code = fitLimits(a, &settings.goal.loHz, &settings.goal.hiHz, &settings.goal.maxBoostDb)) return code;
    if (const int code = targetOf(a, &settings.goal.target)) return code;
    if (const int code = levelOf(a, &settings.measure.sweep.levelDbfs)) return code;

    const QFileInfo carInfo(carPath);
    if (!carInfo.isFile() || !carInfo.isReadable()) return fail(Unreadable, carPath, QStringLiteral("cannot be read"));
    Car car;
    QString why;
    if (!CarFile::load(carPath, &car, &why)) return fail(Invalid, carPath, why);
    // The scene as read (its gains checked), in the file's own encoding for the processor.
    ParamBlock store;
    QByteArray file;
    if (const int code = loadStore(a, &store, &file)) return code;

    HeadlessSession session;
    if (!session.load(SceneFile::singleImage(store))) return fail(Invalid, a.positional.first(), QStringLiteral("not a scene"));
    VirtualCar card(session.processor(), car);
    settings.measure.sweep.sampleRate = car.sampleRate;
    settings.measure.outputDevice = settings.measure.inputDevice = VirtualCar::deviceName();
    AutoTune tune(session.model(), card);
    tune.setAutoAdvance(true);
    AutoTuneReport report;
    if (!tune.runBlocking(settings, report, &why)) return fail(MeasureFailed, carPath, why);
    for (const OutputTuning &t : report.outputs) {
        out() << AutoTunePlan::ReportLine(t) << '\n';
        if (!t.note.isEmpty()) out() << QStringLiteral("CH%1: %2\n").arg(t.channel + 1).arg(t.note);
    }

    // The processor's state after the tuning: what it holds must be what the model wrote.
    const QByteArray image = SceneFile::singleImage(session.model().store);
    const QByteArray held = session.processor().memoryBytes();
    if (image.mid(4, IMAGE_SIZE - 4) != held.mid(4, IMAGE_SIZE - 4))
        return fail(MeasureFailed, carPath, QStringLiteral("the processor does not hold the tuning"));
    return writeOutput(a.values.value(QStringLiteral("-o")), image);
}
