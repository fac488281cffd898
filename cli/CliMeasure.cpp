// The measure command of kestrun-cli: a headless run through the simulated processor and a virtual car.
#include "CliTool.h"

#include "CarFile.h"
#include "HeadlessSession.h"
#include "MeasureRun.h"
#include "MeasurementExport.h"
#include "PositionAverage.h"
#include "VirtualCar.h"

#include <QFileInfo>

int CliTool::levelOf(const Args &a, double *dbfs)
{
    if (!a.values.contains(QStringLiteral("--level"))) return Ok;
    bool ok = false;
    const double level = a.values.value(QStringLiteral("--level")).toDouble(&ok);
    if (!ok || !(level >= -60.0 && level <= 0.0)) return usage(QStringLiteral("--level must be -60..0 dBFS"));
    *dbfs = level;
    return Ok;
}

int CliTool::measure(const Args &a)
{
    const QString carPath = a.values.value(QStringLiteral("--car"));
    if (carPath.isEmpty()) return usage(QStringLiteral("--car CAR.json is required"));
    int ch = 0;
    if (const int code = channelOf(a, &ch)) return code;
    MeasureSettings settings;
    settings.levelCheck = true;
    if (a.values.contains(QStringLiteral("--positions"))) {
        bool ok = false;
        settings.positions = a.values.value(QStringLiteral("--positions")).toInt(&ok);
        if (!ok || settings.positions < 1 || settings.positions > MAX_POSITIONS)
            return usage(QStringLiteral("--positions must be 1..%1").arg(MAX_POSITIONS));
    }
    if (a.values.contains(QStringLiteral("--sweep-s"))) {
        bool ok = false;
        settings.sweep.seconds = a.values.value(QStringLiteral("--sweep-s")).toDouble(&ok);
        if (!ok || !(settings.sweep.seconds >= SWEEP_MIN_SECONDS && settings.sweep.seconds <= SWEEP_MAX_SECONDS))
            return usage(QStringLiteral("--sweep-s must be %1..%2 seconds").arg(SWEEP_MIN_SECONDS).arg(SWEEP_MAX_SECONDS));
    }
    if (const int code = levelOf(a, &settings.sweep.levelDbfs)) return code;

    const QFileInfo carInfo(carPath);
    if (!carInfo.isFile() || !carInfo.isReadable()) return fail(Unreadable, carPath, QStringLiteral("cannot be read"));
    Car car;
    QString why;
    if (!CarFile::load(carPath, &car, &why)) return fail(Invalid, carPath, why);
    QByteArray block;
    if (a.values.contains(QStringLiteral("--scene")))
        if (const int code = loadScene(a.values.value(QStringLiteral("--scene")), 1, &block)) return code;

    HeadlessSession session;
    if (!block.isEmpty()) session.load(block);
    VirtualCar card(session.processor(), car);
    settings.sweep.sampleRate = car.sampleRate;
    settings.outputDevice = settings.inputDevice = VirtualCar::deviceName();
    MeasureRun run(session.model(), card);
    run.setAutoAdvance(true);
    std::vector<OutputMeasurement> results;
    const bool ok = run.runBlocking({ch}, settings, results, &why);
    if (!ok || results.empty()) return fail(MeasureFailed, carPath, why);

    const CaptureResult &r = results.front().result;
    if (results.front().levelCutDb > 0.0)
        err_ << QStringLiteral("CH%1: the microphone clipped; measured at %2 dBFS\n")
                     .arg(ch + 1)
                     .arg(settings.sweep.levelDbfs - results.front().levelCutDb, 0, 'f', 0);
    const QString name = QStringLiteral("CH%1 in %2").arg(ch + 1).arg(carInfo.fileName());
    const QString outPath = a.values.value(QStringLiteral("-o"));
    if (!WriteMeasurementText(outPath, r, name, &why)) return fail(WriteFailed, outPath, why);
    out() << QStringLiteral("CH%1: arrival %2 ms, polarity %3, SNR %4 dB")
                 .arg(ch + 1)
                 .arg(r.arrivalMs(), 0, 'f', 3)
                 .arg(PolarityText(r.polarity))
                 .arg(r.snrDb, 0, 'f', 1)
          << '\n';
    return Ok;
}
