// Measuring runs through the simulated processor and a virtual car: the processor put back byte for byte (done,
// cancel, failed capture, card or processor gone), the mutes sent, the refusals, and the command line.
#include "CarFile.h"
#include "TestModel.h"
#include "CliTool.h"
#include "HeadlessSession.h"
#include "MeasureRun.h"
#include "Measurement.h"
#include "Texts.h"
#include "TuningModel.h"
#include "VirtualCar.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// One flat speaker per listed output (1-based), 100 cm further each, 12.5 ms latency, light noise.
Car carOf(std::initializer_list<int> channels, double levelDb = 0.0)
{
    Car car;
    car.latencyMs = 12.5;
    car.noiseDbfs = -100.0;
    double cm = 100.0;
    for (int c : channels) {
        CarOutput o;
        o.channel = c;
        o.distanceCm = cm += 100.0;
        o.levelDb = levelDb;
        car.outputs.push_back(o);
    }
    return car;
}

MeasureSettings quick()
{
    MeasureSettings s;
    s.sweep.seconds = 0.5;
    s.sweep.tailSeconds = 0.5;
    return s;
}

// The factory scene with edits, as a .SCE holds it.
QByteArray scene(const std::function<void(ParamBlock &)> &edit)
{
    SimProcessor factory;
    QByteArray block = factory.memoryBytes().leftJustified(STORE_SIZE, '\0');
    edit(*reinterpret_cast<ParamBlock *>(block.data()));
    return block;
}

struct Outcome {
    bool ok = false;
    QString why;
    std::vector<OutputMeasurement> results;
};

Outcome measure(MeasureRun &run, const std::vector<int> &channels, const MeasureSettings &s = quick())
{
    Outcome o;
    run.setAutoAdvance(true);
    o.ok = run.runBlocking(channels, s, o.results, &o.why);
    return o;
}

}  // namespace

class TestMeasureRun : public QObject
{
    Q_OBJECT
private slots:
    // Two outputs at two positions: each swept alone with the others muted (frames sent), then all put back
    // byte for byte with no step in the history.
    void runPutsEverythingBack()
    {
        HeadlessSession session;
        session.load(scene([](ParamBlock &b) { b.ChMute[4] = 1; }));
        VirtualCar card(session.processor(), carOf({1, 2, 3}));
        const QByteArray before = session.processor().memoryBytes();
        const ModelState start = session.model().state();
        MeasureRun run(session.model(), card);
        std::vector<std::vector<uint8_t>> heard;  // the processor's mutes at each capture
        connect(&run, &MeasureRun::progress, [&](int, int, int, const QString &) {
            const ParamBlock &p = session.processor().params();
            heard.emplace_back(p.ChMute, p.ChMute + CH_COUNT);
        });
        MeasureSettings s = quick();
        s.positions = 2;
        const Outcome o = measure(run, {0, 2}, s);
        QVERIFY2(o.ok, qPrintable(o.why));
        QCOMPARE(int(o.results.size()), 2);
        QCOMPARE(o.results[1].channel, 2);
        QCOMPARE(int(o.results[1].positions.size()), 2);
        QCOMPARE(int(heard.size()), 6);  // a level check and two positions per output
        for (int i = 0; i < 6; ++i)
            for (int c = 0; c < CH_COUNT; ++c) QCOMPARE(heard[size_t(i)][size_t(c)], uint8_t(c != (i < 3 ? 0 : 2)));
        // Output 3 arrives 400 cm / 34.5 after the card's latency is taken out.
        QVERIFY(std::fabs(o.results[1].result.arrivalMs() - 400.0 / 34.5) < 0.001);
        QCOMPARE(session.processor().memoryBytes(), before);
        QVERIFY(session.model().state() == start);
        QCOMPARE(session.model().history.size(), 0);
        // Only mute frames were sent: 05 05 ch on/off.
        for (const QByteArray &p : session.processor().payloads()) QCOMPARE(p.left(2), QByteArray("\x05\x05", 2));
    }

    // Whatever ends a run early puts the processor back: a cancel mid-sweep, a failed capture, a sound card
    // that vanishes and a processor unplugged between outputs.
    void endingsPutBack_data()
    {
        QTest::addColumn<int>("ending");
        QTest::newRow("cancel") << 0;
        QTest::newRow("capture fails") << 1;
        QTest::newRow("card gone") << 2;
        QTest::newRow("processor gone") << 3;
    }
    void endingsPutBack()
    {
        QFETCH(int, ending);
        HeadlessSession session;
        Car car = carOf({1, 2});
        if (ending == 1) car.sampleRate = 44100;  // the card refuses the sweep's rate
        VirtualCar card(session.processor(), car);
        card.setPaced(ending == 0);
        const QByteArray before = session.processor().memoryBytes();
        const ModelState start = session.model().state();
        MeasureRun run(session.model(), card);
        connect(&run, &MeasureRun::progress, [&](int, int, int, const QString &step) {
            if (step != T(Txt::RunStepSweep, 1)) return;
            if (ending == 0) QTimer::singleShot(100, &run, &MeasureRun::cancel);
            if (ending == 2) card.setPlugged(false);
        });
        connect(&run, &MeasureRun::outputMeasured, [&] {
            if (ending == 3) session.setPlugged(false);
        });
        const Outcome o = measure(run, {0, 1});
        QVERIFY(!o.ok);
        QVERIFY(!run.running());
        const char *const reasons[] = {"cancelled", "44100 Hz", "disconnected", "processor was disconnected"};
        QVERIFY2(o.why.contains(QLatin1String(reasons[ending])), qPrintable(o.why));
        QVERIFY(session.model().state() == start);
        QCOMPARE(session.model().history.size(), 0);
        if (ending != 3) QCOMPARE(session.processor().memoryBytes(), before);
    }

    // A tweeter without a high-pass is refused in both languages; with its high-pass on it is swept from the
    // corner up.
    void tweeterAndCorner()
    {
        HeadlessSession session;
        session.load(scene([](ParamBlock &b) {
            b.ChName[0] = 4;  // FR tweeter
            b.HpfBypass[0] = 1;
            b.HpfBypass[1] = 0;
            b.HpfFreq[1] = 500;
        }));
        VirtualCar card(session.processor(), carOf({1, 2}));
        MeasureRun run(session.model(), card);
        QString why;
        QVERIFY(!run.start({1, 0}, quick(), &why));
        QVERIFY2(why.contains(QLatin1String("CH1 is named as a tweeter (FR-Tweeter)")), qPrintable(why));
        QVERIFY(!run.running());
        QCOMPARE(session.processor().payloads().size(), size_t(0));
        QVERIFY(T(Txt::RunTweeterNoHighpass, 0).contains(QStringLiteral("高通")));
        const Outcome o = measure(run, {1});
        QVERIFY2(o.ok, qPrintable(o.why));
        QCOMPARE(o.results[0].result.validLowHz, 500.0);
    }

    // The level check stops the run when the microphone clips or hears nothing (an output the car lacks).
    // A drifting microphone: the run's first sweep plays twice and reads the clock, every later one plays once and
    // is analysed on that clock, so outputs at the same distance arrive at the same time.
    void clockReadOncePerRun()
    {
        HeadlessSession session;
        Car car = carOf({1, 2, 3});
        car.driftPpm = 60.0;
        for (CarOutput &o : car.outputs) o.distanceCm = 300.0;
        VirtualCar card(session.processor(), car);
        MeasureRun run(session.model(), card);
        MeasureSettings s = quick();
        s.sweep.seconds = 1.5;
        const Outcome o = measure(run, {0, 1, 2}, s);
        QVERIFY2(o.ok, qPrintable(o.why));
        QCOMPARE(int(o.results.size()), 3);
        const double first = o.results[0].positions.front().arrivalSamples;
        for (const OutputMeasurement &m : o.results) {
            QVERIFY(std::fabs(m.positions.front().clockPpm - 60.0) < 1.0);
            QVERIFY2(std::fabs(m.positions.front().arrivalSamples - first) < 0.5,
                     qPrintable(QString::number(m.positions.front().arrivalSamples - first)));
        }
    }

    // A card whose latency (0.45 s) outlasts the 0.5 s tail less the gate: its first sweep is taken again with a
    // tail that holds the arrival, which the run keeps; the arrivals are the same as on a quick card.
    void lateSoundTakenAgainWithALongerTail()
    {
        double arrival[2] = {};
        for (int slow = 0; slow < 2; ++slow) {
            HeadlessSession session;
            Car car = carOf({1, 2});
            car.latencyMs = slow ? 450.0 : 12.5;
            VirtualCar card(session.processor(), car);
            MeasureRun run(session.model(), card);
            int captures = 0;
            connect(&run, &MeasureRun::progress, [&](int, int, int, const QString &) { ++captures; });
            MeasureSettings s = quick();
            s.levelCheck = false;
            const Outcome o = measure(run, {0, 1}, s);
            QVERIFY2(o.ok, qPrintable(o.why));
            QCOMPARE(captures, slow ? 3 : 2);
            arrival[slow] = o.results[1].result.arrivalSamples;
        }
        QVERIFY2(std::fabs(arrival[1] - arrival[0]) < 0.1, qPrintable(QString::number(arrival[1] - arrival[0])));
    }

    void levelCheckRefuses()
    {
        HeadlessSession session;
        VirtualCar loud(session.processor(), carOf({1}, 30.0));
        const QByteArray before = session.processor().memoryBytes();
        MeasureRun clipping(session.model(), loud);
        Outcome o = measure(clipping, {0});
        QVERIFY(!o.ok);
        QCOMPARE(o.why, T(Txt::RunLevelClipped, 1));
        MeasureRun silent(session.model(), loud);
        o = measure(silent, {3});
        QVERIFY(!o.ok);
        QCOMPARE(o.why, T(Txt::RunLevelSilent, 1));
        QCOMPARE(session.processor().memoryBytes(), before);

        // A clip the steps can cure: measured 6 dB lower, on the first sweep itself when asked (no check of its
        // own), and from the given cut on; a clip after the check stops the run as before.
        VirtualCar hot(session.processor(), carOf({1}, 14.0));
        for (bool onFirst : {false, true}) {
            MeasureRun run(session.model(), hot);
            int captures = 0;
            connect(&run, &MeasureRun::progress, [&](int, int, int, const QString &) { ++captures; });
            MeasureSettings s = quick();
            s.checkOnFirstSweep = onFirst;
            o = measure(run, {0}, s);
            QVERIFY2(o.ok, qPrintable(o.why));
            QCOMPARE(o.results[0].levelCutDb, LEVEL_STEP_DB);
            QCOMPARE(captures, onFirst ? 2 : 3);
            s.levelCutDb[0] = LEVEL_STEP_DB;
            captures = 0;
            QVERIFY(measure(run, {0}, s).ok && captures == (onFirst ? 1 : 2));
        }
        MeasureRun unchecked(session.model(), hot);
        MeasureSettings s = quick();
        s.levelCheck = false;
        o = measure(unchecked, {0}, s);
        QVERIFY(!o.ok && o.why.contains(T(Txt::RunLevelClipped, 1)));
        QCOMPARE(session.processor().memoryBytes(), before);
    }

    // The command line on a known car: 345 cm and no processor delay arrive at 10.000 ms; the file reads back.
    void commandLine()
    {
        QTemporaryDir dir;
        Car car;
        car.latencyMs = 17.3;
        car.noiseDbfs = -90.0;
        CarOutput o;
        o.channel = 2;
        o.distanceCm = 345.0;
        o.highpassHz = 60.0;
        o.highpassOrder = 2;
        o.reflections.push_back({2.1, 0.3});
        car.outputs.push_back(o);
        const QString carPath = dir.filePath(QStringLiteral("car.json")), out = dir.filePath(QStringLiteral("m.txt"));
        QFile f(carPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(CarFile::write(car));
        f.close();
        auto cli = [](const QStringList &args, QString *text = nullptr) {
            QString o, e;
            QTextStream os(&o), es(&e);
            CliTool tool(os, es);
            const int code = tool.run(args);
            os.flush();
            if (text) *text = o + e;
            return code;
        };
        QString text;
        QCOMPARE(cli({"measure", "--car", carPath, "--channel", "2", "--positions", "2", "-o", out}, &text), 0);
        const QRegularExpression line(QStringLiteral("^CH2: arrival (\\d+\\.\\d{3}) ms, polarity \\+, SNR \\d+\\.\\d dB\n$"));
        const QRegularExpressionMatch m = line.match(text);
        QVERIFY2(m.hasMatch(), qPrintable(text));
        QVERIFY(std::fabs(m.captured(1).toDouble() - 10.0) <= 0.001);
        Measurement read;
        TextError err;
        QVERIFY(LoadMeasurementFile(out, read, err));
        // Bad input: each refused with its code and nothing written.
        QFile::remove(out);
        QFile bad(dir.filePath(QStringLiteral("bad.json")));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("{\"sample_rate\": 48000}");
        bad.close();
        QCOMPARE(cli({"measure", "--car", dir.filePath("none.json"), "--channel", "2", "-o", out}), int(CliTool::Unreadable));
        QCOMPARE(cli({"measure", "--car", bad.fileName(), "--channel", "2", "-o", out}, &text), int(CliTool::Invalid));
        QVERIFY2(text.contains(QLatin1String("latency_ms")), qPrintable(text));
        QCOMPARE(cli({"measure", "--car", carPath, "--channel", "7", "-o", out}), int(CliTool::Usage));
        QCOMPARE(cli({"measure", "--car", carPath, "--channel", "2", "--sweep-s", "9", "-o", out}), int(CliTool::Usage));
        QCOMPARE(cli({"measure", "--car", carPath, "--channel", "2", "--scene", carPath, "-o", out}), int(CliTool::WrongSize));
        QCOMPARE(cli({"measure", "--car", carPath, "--channel", "3", "-o", out}, &text), int(CliTool::MeasureFailed));
        QVERIFY2(text.contains(QLatin1String("heard nothing")), qPrintable(text));
        QVERIFY(!QFile::exists(out));
    }
};

QTEST_GUILESS_MAIN(TestMeasureRun)
#include "test_measure_run.moc"
