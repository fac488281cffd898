// Auto-tune: its decisions on constructed measurements (polarity, delays, levels, equaliser, the report line);
// whole runs on virtual cars (one undo step, cancel, the figures against the cars' truth); the command line.
// KESTRUN_AUTOTUNE_CARS=N runs the figures over N random cars and prints them (the measuring mode);
// KESTRUN_AUTOTUNE_VERBOSE=1 prints every output's line.
#include <QtTest>
#include <cmath>
#include <memory>

#include "AutoTune.h"
#include "AutoTunePlan.h"
#include "CliTool.h"
#include "HeadlessSession.h"
#include "RandomCar.h"
#include "SceneFile.h"
#include "Smoothing.h"
#include "SpeakerCodes.h"
#include "TuningModel.h"
#include "VirtualCar.h"

namespace {

ParamBlock DefaultBlock()
{
    ParamBlock block{};
    block.setDefaults();
    return block;
}

// A measurement through the processor: flat at `db` with an optional peak, arriving after `ms`.
CaptureResult Capture(double db, double ms, Polarity p, double peakHz = 0.0, double peakDb = 0.0)
{
    CaptureResult r;
    r.sampleRate = 48000;
    r.hz = LogGrid(20.0, 20000.0, 48);
    for (double f : r.hz) {
        const double x = peakHz > 0 ? std::log2(f / peakHz) / 0.5 : 10.0;
        r.magnitudeDb.push_back(db + peakDb * std::exp(-x * x));
    }
    r.phaseDeg.assign(r.hz.size(), 0.0);
    r.validLowHz = 20.0;
    r.validHighHz = 20000.0;
    r.arrivalSamples = ms * 48.0;
    r.timing = TimingReference::Loopback;
    r.polarity = p;
    r.polarityConfidence = p == Polarity::Ambiguous ? 0.2 : 0.95;
    r.snrDb = 60.0;
    return r;
}

std::vector<OutputTuning> Outputs(std::initializer_list<int> channels)
{
    std::vector<OutputTuning> out;
    for (int ch : channels) {
        OutputTuning t;
        t.channel = ch;
        out.push_back(t);
    }
    return out;
}

// The simulated processor loaded with a car's scene and the car's virtual sound card.
struct Rig {
    HeadlessSession session;
    std::unique_ptr<VirtualCar> card;
    Rig(const Car &car, uint64_t seed = 1)
    {
        session.load(SceneFile::singleImage(RandomCar::sceneFor(car)));
        card = std::make_unique<VirtualCar>(session.processor(), car, seed);
    }
    QByteArray memory() { return session.processor().memoryBytes(); }
};

AutoTuneSettings SettingsFor(const Car &car)
{
    AutoTuneSettings s;
    s.measure.sweep.sampleRate = car.sampleRate;
    s.measure.outputDevice = s.measure.inputDevice = VirtualCar::deviceName();
    s.measure.sweep.levelDbfs = -20.0;  // the sedan's subwoofer clips the microphone at -12 dBFS
    return s;
}

Car Shipped(const QString &name)
{
    Car car;
    QString why;
    if (!CarFile::shipped(name, &car, &why)) qFatal("%s", qPrintable(why));
    return car;
}

// A random car whose speakers all share the first one's response (distances and polarities their own): the
// delays between them must come out within one processor step of the truth.
Car TwinCar(uint64_t seed)
{
    Car car = RandomCar::draw(seed);
    for (CarOutput &o : car.outputs) {
        CarOutput same = car.outputs.front();
        same.channel = o.channel;
        same.distanceCm = o.distanceCm;
        same.polarity = o.polarity;
        o = same;
    }
    return car;
}

// The worst figures of auto-tunes, against the cars' truth.
struct Figures {
    int cars = 0, outputs = 0, ambiguous = 0, wrongPolarity = 0, failed = 0;
    double delayError = 0.0;   // ms, between outputs of the same response (limited delays left out)
    double levelSpread = 0.0;  // dB, verified levels of a car's outputs, max - min
    double rmsVerified = 0.0;  // dB, worst output
    double rmsPredicted = 0.0;
    double mismatch = 0.0;     // dB, |predicted - verified|, worst output
    double audioSeconds = 0.0, computeSeconds = 0.0;  // the longest run
    // The verified residual under other readings, per output: every point of the pass band counted, on the
    // smoothed response and on the unsmoothed one.
    std::vector<double> everyPoint, unsmoothed;

    void add(const Car &car, bool twins)
    {
        Rig rig(car);
        AutoTune tune(rig.session.model(), *rig.card);
        tune.setAutoAdvance(true);
        AutoTuneReport report;
        QString why;
        ++cars;
        if (!tune.runBlocking(SettingsFor(car), report, &why)) {
            ++failed;
            qWarning("auto-tune failed: %s", qPrintable(why));
            return;
        }
        const ParamBlock &p = rig.session.processor().params();
        double lo = 1e9, hi = -1e9, first = 0.0;
        bool haveFirst = false;
        for (const OutputTuning &t : report.outputs) {
            if (qEnvironmentVariableIsSet("KESTRUN_AUTOTUNE_VERBOSE"))
                qInfo("%s %s [%.0f-%.0f Hz]", qPrintable(AutoTunePlan::ReportLine(t)), qPrintable(t.note), t.loHz, t.hiHz);
            ++outputs;
            const CarOutput *o = nullptr;
            for (const CarOutput &c : car.outputs)
                if (c.channel == t.channel + 1) o = &c;
            const int heard = o->polarity * (p.ChPhase[t.channel] ? -1 : 1);
            if (t.polarity == Polarity::Ambiguous) ++ambiguous;
            else if (heard != 1) {
                ++wrongPolarity;
                qWarning("CH%d read %s: high-pass %.0f Hz order %d, low-pass %.0f Hz order %d, %d peaks, %d reflections",
                         t.channel + 1, qPrintable(PolarityText(t.polarity)), o->highpassHz, o->highpassOrder,
                         o->lowpassHz, o->lowpassOrder, int(o->peaks.size()), int(o->reflections.size()));
            }
            const double arrival = o->distanceCm / CarFile::SPEED_CM_PER_MS + p.ChDelay[t.channel] / 100.0;
            if (twins && !t.delayLimited) {
                if (haveFirst) delayError = std::max(delayError, std::abs(arrival - first));
                first = haveFirst ? first : arrival;
                haveFirst = true;
            }
            lo = std::min(lo, t.levelVerifiedDb);
            hi = std::max(hi, t.levelVerifiedDb);
            rmsVerified = std::max(rmsVerified, t.rmsVerified);
            everyPoint.push_back(AutoTunePlan::ResidualRms(SmoothVariable(t.after), t.target, {}));
            unsmoothed.push_back(AutoTunePlan::ResidualRms(t.after, t.target, {}));
            rmsPredicted = std::max(rmsPredicted, t.rmsPredicted);
            mismatch = std::max(mismatch, std::abs(t.rmsVerified - t.rmsPredicted));
        }
        levelSpread = std::max(levelSpread, hi - lo);
        audioSeconds = std::max(audioSeconds, report.audioSeconds);
        computeSeconds = std::max(computeSeconds, report.computeSeconds);
    }
    QString text() const
    {
        return QStringLiteral("%1 cars, %2 outputs, %3 failed: delay error %4 ms, polarity wrong %5 (ambiguous %6), "
                              "level spread %7 dB, RMS predicted %8 dB, verified %9 dB, |difference| %10 dB, "
                              "longest run %11 s audio, %12 s computing")
            .arg(cars).arg(outputs).arg(failed).arg(delayError, 0, 'f', 4).arg(wrongPolarity).arg(ambiguous)
            .arg(levelSpread, 0, 'f', 2).arg(rmsPredicted, 0, 'f', 2).arg(rmsVerified, 0, 'f', 2)
            .arg(mismatch, 0, 'f', 2).arg(audioSeconds, 0, 'f', 1).arg(computeSeconds, 0, 'f', 2) +
            Spread(QStringLiteral("every point counted"), everyPoint) + Spread(QStringLiteral("unsmoothed"), unsmoothed);
    }
    static QString Spread(const QString &name, std::vector<double> v)
    {
        if (v.empty()) return QString();
        std::sort(v.begin(), v.end());
        const double within = double(std::upper_bound(v.begin(), v.end(), 1.5) - v.begin()) / double(v.size());
        return QStringLiteral("; %1: median %2, 90th percentile %3, worst %4 dB, %5 % within 1.5 dB")
            .arg(name).arg(v[v.size() / 2], 0, 'f', 2).arg(v[v.size() * 9 / 10], 0, 'f', 2).arg(v.back(), 0, 'f', 2)
            .arg(100.0 * within, 0, 'f', 0);
    }
};

}  // namespace

class TestAutoTune : public QObject
{
    Q_OBJECT

private slots:
    void polarityIsSwitchedOnlyWhenInverted()
    {
        ParamBlock start = DefaultBlock();
        start.ChPhase[2] = 1;  // already switched: a negative reading switches it back
        std::vector<OutputTuning> outs = Outputs({0, 1, 2});
        const ParamBlock b = AutoTunePlan::Plan(start,
                                                {Capture(0, 3, Polarity::Positive), Capture(0, 3, Polarity::Ambiguous),
                                                 Capture(0, 3, Polarity::Negative)},
                                                TuningGoal(), outs);
        QCOMPARE(int(b.ChPhase[0]), 0);
        QCOMPARE(int(b.ChPhase[1]), 0);
        QCOMPARE(int(b.ChPhase[2]), 0);
        QVERIFY(!outs[0].phaseSwitched && !outs[1].phaseSwitched && outs[2].phaseSwitched);
        QVERIFY(outs[1].note.contains("polarity ambiguous"));
        QVERIFY(outs[0].note.isEmpty());

        // Between crossovers three octaves apart a clear reading is not trusted.
        start.HpfBypass[0] = start.LpfBypass[0] = 0;
        start.HpfFreq[0] = 100;
        start.LpfFreq[0] = 800;
        outs = Outputs({0});
        QCOMPARE(int(AutoTunePlan::Plan(start, {Capture(0, 3, Polarity::Negative)}, TuningGoal(), outs).ChPhase[0]), 0);
        QVERIFY(outs[0].polarity == Polarity::Ambiguous && outs[0].note.contains("not trusted"));
        // Without a low-pass the swept band's top (20 kHz) bounds it: a tweeter high-passed at 2 kHz is not
        // trusted, a mid-woofer high-passed at 1 kHz is.
        start.LpfBypass[0] = 1;
        for (int hp : {2000, 1000}) {
            start.HpfFreq[0] = uint16_t(hp);
            outs = Outputs({0});
            QCOMPARE(int(AutoTunePlan::Plan(start, {Capture(0, 3, Polarity::Negative)}, TuningGoal(), outs).ChPhase[0]),
                     hp == 2000 ? 0 : 1);
        }
    }

    void delaysFromArrivalsQuantisedAndLimited()
    {
        ParamBlock start = DefaultBlock();
        start.ChDelay[0] = 100;  // 1.00 ms of the arrival is the processor's own
        start.ChDelay[5] = 321;  // not tuned: kept
        std::vector<OutputTuning> outs = Outputs({0, 1, 2});
        std::vector<CaptureResult> caps = {Capture(0, 5.0, Polarity::Positive), Capture(0, 3.3333, Polarity::Positive),
                                           Capture(0, 2.0, Polarity::Positive)};
        ParamBlock b = AutoTunePlan::Plan(start, caps, TuningGoal(), outs);
        QCOMPARE(outs[0].arrivalMs, 4.0);
        QCOMPARE(int(b.ChDelay[0]), 0);    // the latest
        QCOMPARE(int(b.ChDelay[1]), 67);   // 0.6667 ms to the 0.01 ms step
        QCOMPARE(int(b.ChDelay[2]), 200);
        QCOMPARE(int(b.ChDelay[5]), 321);
        QVERIFY(!outs[1].delayLimited);

        // 25 ms between the first and the last arrival: limited to 15.00 ms and named.
        outs = Outputs({0, 1, 2});
        caps[2] = Capture(0, 29.0, Polarity::Positive);
        b = AutoTunePlan::Plan(start, caps, TuningGoal(), outs);
        QCOMPARE(int(b.ChDelay[2]), 0);
        QCOMPARE(int(b.ChDelay[0]), 1500);
        QVERIFY(outs[0].delayLimited && outs[0].note.contains("limited"));
        QCOMPARE(int(b.ChDelay[1]), 1500);
    }

    void levelsOnlyCutWithTheSubwooferOffset()
    {
        ParamBlock start = DefaultBlock();
        start.ChName[3] = SPK_SSUB;
        start.ChVol[1] = 550;  // -5.0 dB: measured 5 dB lower than the speaker is
        std::vector<OutputTuning> outs = Outputs({0, 1, 2, 3});
        TuningGoal goal;
        goal.subOffsetDb = 5.0;  // the subwoofer 5 dB above the rest
        const ParamBlock b = AutoTunePlan::Plan(start,
                                                {Capture(-3, 3, Polarity::Positive), Capture(0, 3, Polarity::Positive),
                                                 Capture(2, 3, Polarity::Positive), Capture(1, 3, Polarity::Positive)},
                                                goal, outs);
        // The quietest relative level is the subwoofer's 1 - 5 = -4 dB: it keeps its volume, the rest are cut.
        QCOMPARE(int(b.ChVol[3]), 600);
        QCOMPARE(int(b.ChVol[0]), 590);
        QCOMPARE(int(b.ChVol[1]), 510);
        QCOMPARE(int(b.ChVol[2]), 540);
        for (int ch = 0; ch < 4; ++ch) QVERIFY(b.ChVol[ch] <= start.ChVol[ch]);
        for (int i = 0; i < 3; ++i) QVERIFY(std::abs(outs[size_t(i)].levelDb - -4.0) <= 0.05);
        QVERIFY(std::abs(outs[3].levelDb - 1.0) <= 0.05);
        QCOMPARE(AutoTunePlan::IsSubwoofer(b, 3), true);

        // A cut below the lowest volume is limited and named.
        outs = Outputs({0, 1});
        start.ChVol[0] = 5;  // -59.5 dB
        const ParamBlock c = AutoTunePlan::Plan(start, {Capture(20, 3, Polarity::Positive), Capture(-20, 3, Polarity::Positive)},
                                                TuningGoal(), outs);
        QCOMPARE(int(c.ChVol[0]), 0);
        QVERIFY(outs[0].volumeLimited && outs[0].note.contains("lowest"));
    }

    void equaliserFitsThroughThePresentSettings()
    {
        // The measurement is through a present +6 dB band, a high-pass at 80 Hz and a bypass: the speaker has
        // a 5 dB peak at 2 kHz on its own; the plan fits it within the pass band and switches the bypass off.
        ParamBlock start = DefaultBlock();
        start.HpfBypass[0] = 0;
        start.HpfFreq[0] = 80;
        start.EqBypass[0] = 1;
        start.EqGain[0][10] = GAIN_ZERO + 60;
        std::vector<OutputTuning> outs = Outputs({0});
        CaptureResult r = Capture(0, 3, Polarity::Positive, 2000.0, 5.0);
        const std::vector<double> xo = OutputCrossoverDb(start, 0, r.hz);
        for (size_t i = 0; i < r.hz.size(); ++i) r.magnitudeDb[i] += xo[i];
        const ParamBlock b = AutoTunePlan::Plan(start, {r}, TuningGoal(), outs);
        QVERIFY(outs[0].fitted);
        QCOMPARE(int(b.EqBypass[0]), 0);
        QVERIFY(std::abs(outs[0].loHz - 80.0) < 1.0);
        QVERIFY(outs[0].rmsPredicted < 0.3);
        QVERIFY(AutoTunePlan::ResidualRms(outs[0].before, outs[0].target, outs[0].counted) > 1.0);
        // The output's target follows its crossover: the bands do not fight the high-pass at its corner.
        QVERIFY(outs[0].target.at(80.0) < outs[0].target.at(1000.0) - 2.0);
        // The speaker's own response has the present settings taken out.
        const FreqCurve speaker = AutoTunePlan::SpeakerResponse(r, start, 0);
        QVERIFY(std::abs(speaker.at(2000.0) - 5.0) < 0.05 && std::abs(speaker.at(300.0)) < 0.05);
    }

    // A broad dip 10 dB deep: the 6 dB boost lifts what it can, the rest does not count in the residual
    // and is named; with 12 dB of boost allowed it is filled and counts.
    void pointsBeyondTheBoostNotCounted()
    {
        std::vector<OutputTuning> outs = Outputs({0});
        const CaptureResult r = Capture(0, 3, Polarity::Positive, 200.0, -10.0);
        AutoTunePlan::Plan(DefaultBlock(), {r}, TuningGoal(), outs);
        const OutputTuning &t = outs[0];
        QVERIFY2(t.note.contains("beyond the maximum boost, not counted"), qPrintable(t.note));
        QVERIFY(!t.counted[size_t(std::lround(48 * std::log2(200.0 / 20.0)))]);
        QVERIFY(t.rmsPredicted < 0.5);
        TuningGoal more;
        more.maxBoostDb = 12.0;
        outs = Outputs({0});
        AutoTunePlan::Plan(DefaultBlock(), {r}, more, outs);
        QVERIFY(outs[0].note.isEmpty() && std::count(outs[0].counted.begin(), outs[0].counted.end(), false) == 0);
        QVERIFY(outs[0].rmsPredicted < 0.5);
    }

    // Outputs whose equalisers are linked end with one equaliser: fitted to both when both are tuned (each
    // judged by its own response, neither refined alone), copied when the partner is not tuned.
    void linkedOutputsKeepOneEqualiser()
    {
        AutoTunePlan::EqPartners partners = AutoTunePlan::NO_EQ_PARTNERS;
        partners[0] = 1;
        partners[1] = 0;
        partners[2] = 3;
        std::vector<OutputTuning> outs = Outputs({0, 1, 2});
        const ParamBlock b = AutoTunePlan::Plan(DefaultBlock(),
                                                {Capture(0, 3, Polarity::Positive, 1000.0, 4.0),
                                                 Capture(0, 3, Polarity::Positive, 1200.0, 5.0),
                                                 Capture(0, 3, Polarity::Positive, 300.0, 6.0)},
                                                TuningGoal(), outs, partners);
        auto sameEq = [&b](int x, int y) {
            return std::equal(b.EqGain[x], b.EqGain[x] + BAND_COUNT, b.EqGain[y]) &&
                   std::equal(b.EqFreq[x], b.EqFreq[x] + BAND_COUNT, b.EqFreq[y]) &&
                   std::equal(b.EqQ[x], b.EqQ[x] + BAND_COUNT, b.EqQ[y]) && b.EqBypass[x] == b.EqBypass[y];
        };
        QVERIFY(sameEq(0, 1) && sameEq(2, 3) && !sameEq(0, 2));
        QVERIFY(outs[0].note.contains("one equaliser with linked CH2") && outs[1].note.contains("linked CH1"));
        QVERIFY(outs[2].note.contains("copied to linked CH4"));
        QVERIFY(outs[0].rmsPredicted < 1.0 && outs[1].rmsPredicted < 1.0);
        outs[0].rmsVerified = outs[0].rmsPredicted + 2.0;
        QVERIFY(!AutoTunePlan::NeedsRefining(outs[0]));
    }

    void verificationAndRefining()
    {
        std::vector<OutputTuning> outs = Outputs({0});
        ParamBlock b = AutoTunePlan::Plan(DefaultBlock(), {Capture(0, 3, Polarity::Positive, 1000.0, 4.0)}, TuningGoal(), outs);
        OutputTuning &t = outs[0];
        // As predicted: no refining.
        CaptureResult as = Capture(0, 3, Polarity::Positive);
        as.magnitudeDb = t.predicted.sample(as.hz);
        AutoTunePlan::Verify(t, as);
        QVERIFY(std::abs(t.rmsVerified - t.rmsPredicted) < 0.05);
        QVERIFY(!AutoTunePlan::NeedsRefining(t));
        // The peak is still there: refined once, from the measurement through the written settings.
        AutoTunePlan::Verify(t, Capture(0, 3, Polarity::Positive, 5000.0, 6.0));
        QVERIFY(AutoTunePlan::NeedsRefining(t));
        AutoTunePlan::Refine(t, Capture(0, 3, Polarity::Positive, 5000.0, 6.0), TuningGoal(), b);
        QVERIFY(t.refined && !AutoTunePlan::NeedsRefining(t));
        QVERIFY(b.ChVol[0] <= 600);
    }

    void reportLine()
    {
        OutputTuning t;
        t.channel = 2;
        t.delay = 123;
        t.polarity = Polarity::Negative;
        t.volume = 583;
        t.rmsPredicted = 0.8149;
        t.rmsVerified = 1.004;
        QCOMPARE(AutoTunePlan::ReportLine(t),
                 QStringLiteral("CH3: delay 1.23 ms, polarity -, level -1.7 dB, RMS predicted 0.81 dB, verified 1.00 dB"));
        t.polarity = Polarity::Ambiguous;
        t.volume = 600;
        QVERIFY(AutoTunePlan::ReportLine(t).contains("polarity ambiguous, level 0.0 dB"));
    }

    void wholeRunIsOneUndoStep()
    {
        const Car car = Shipped(QStringLiteral("sedan"));
        Rig rig(car);
        TuningModel &model = rig.session.model();
        // The two woofers (CH2, CH4) linked with their equalisers: they end with one equaliser.
        model.links.LinkMatrix[1][3] = model.links.LinkMatrix[3][1] = 1;
        model.links.LinkMode[1] = model.links.LinkMode[3] = 1;
        const QByteArray before = rig.memory();
        const int steps = model.history.size();
        AutoTune tune(model, *rig.card);
        tune.setAutoAdvance(true);
        AutoTuneReport report;
        QString why;
        QVERIFY2(tune.runBlocking(SettingsFor(car), report, &why), qPrintable(why));
        QCOMPARE(report.outputs.size(), car.outputs.size());
        const ParamBlock &p = rig.session.processor().params();
        QVERIFY(std::equal(p.EqGain[1], p.EqGain[1] + BAND_COUNT, p.EqGain[3]) &&
                std::equal(p.EqFreq[1], p.EqFreq[1] + BAND_COUNT, p.EqFreq[3]));
        QVERIFY(report.outputs[1].rmsVerified <= 1.5 && report.outputs[3].rmsVerified <= 1.5);
        QVERIFY(rig.memory() != before);
        QCOMPARE(model.history.size(), steps + 1);
        QVERIFY(model.undo());
        QCOMPARE(rig.memory(), before);
        QVERIFY(model.redo());
        QVERIFY(rig.memory() != before);
    }

    void cancelPutsTheProcessorBack_data()
    {
        QTest::addColumn<int>("stage");
        QTest::newRow("measuring") << int(AutoTuneStage::Measuring);
        QTest::newRow("fitting") << int(AutoTuneStage::Fitting);
        QTest::newRow("verifying, after the write") << int(AutoTuneStage::Verifying);
    }
    void cancelPutsTheProcessorBack()
    {
        QFETCH(int, stage);
        const Car car = Shipped(QStringLiteral("hatchback"));
        Rig rig(car);
        TuningModel &model = rig.session.model();
        const QByteArray before = rig.memory();
        const int steps = model.history.size();
        AutoTune tune(model, *rig.card);
        tune.setAutoAdvance(true);
        connect(&tune, &AutoTune::progress, &tune, [&](AutoTuneStage s, int, int, const QString &) {
            if (int(s) == stage) tune.cancel();
        });
        AutoTuneReport report;
        QString why;
        QVERIFY(!tune.runBlocking(SettingsFor(car), report, &why));
        QVERIFY(!tune.running());
        QCOMPARE(rig.memory(), before);
        QCOMPARE(model.history.size(), steps);
    }

    // The verifying sweeps record the latest arrival and the gate: a card with 70 ms of latency still verifies
    // every output, each verifying tail 57.5 ms longer than with the same car at 12.5 ms; one with 400 ms, more
    // than the measuring tail holds, has its first capture taken again with a longer tail.
    void verifyingTailFollowsTheLatency()
    {
        Car car = Shipped(QStringLiteral("hatchback"));
        double audio[3] = {};
        for (int i = 0; i < 3; ++i) {
            car.latencyMs = i == 2 ? 400.0 : i ? 70.0 : 12.5;
            Rig rig(car);
            AutoTune tune(rig.session.model(), *rig.card);
            tune.setAutoAdvance(true);
            AutoTuneReport report;
            QString why;
            QVERIFY2(tune.runBlocking(SettingsFor(car), report, &why), qPrintable(why));
            for (const OutputTuning &t : report.outputs) QVERIFY(std::abs(t.rmsVerified - t.rmsPredicted) <= 0.5);
            audio[i] = report.audioSeconds;
        }
        const int outputs = int(car.outputs.size());
        QVERIFY2(std::abs(audio[1] - audio[0] - outputs * 0.0575) < 0.001, qPrintable(QString::number(audio[1] - audio[0])));
    }

    // The figures over the shipped cars and seeded random cars (KESTRUN_AUTOTUNE_CARS of them, default 6).
    void figures()
    {
        const int count = qEnvironmentVariableIsSet("KESTRUN_AUTOTUNE_CARS") ? qEnvironmentVariableIntValue("KESTRUN_AUTOTUNE_CARS") : 6;
        Figures f;
        for (const QString &name : CarFile::shippedNames()) f.add(Shipped(name), false);
        for (int seed = 1; seed <= count; ++seed) f.add(TwinCar(uint64_t(seed)), true);
        qInfo("%s", qPrintable(f.text()));
        QCOMPARE(f.failed, 0);
        QCOMPARE(f.wrongPolarity, 0);
        QVERIFY(f.delayError <= 0.01 + 1e-9);
        QVERIFY(f.levelSpread <= 1.0);
        QVERIFY(f.rmsVerified <= 1.5);
        QVERIFY(f.mismatch <= 0.5);
    }

    void commandLine()
    {
        QTemporaryDir dir;
        const Car car = Shipped(QStringLiteral("coupe"));
        QFile carFile(dir.filePath("car.json")), scene(dir.filePath("in.SCE"));
        QVERIFY(WriteCarAndScene(car, carFile, scene));
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        CliTool tool(out, err);
        const int code = tool.run({"autotune", "--car", carFile.fileName(), scene.fileName(), "--target", "tilt",
                                   "-o", dir.filePath("out.SCE")});
        QVERIFY2(code == CliTool::Ok, qPrintable(errText));
        const QRegularExpression line(QStringLiteral("^CH[1-6]: delay \\d+\\.\\d\\d ms, polarity (\\+|-|ambiguous), level "
                                                     "-?\\d+\\.\\d dB, RMS predicted \\d+\\.\\d\\d dB, verified \\d+\\.\\d\\d dB$"));
        int lines = 0;
        for (const QString &l : outText.split('\n', Qt::SkipEmptyParts))
            if (line.match(l).hasMatch()) ++lines;
        QCOMPARE(lines, int(car.outputs.size()));
        QCOMPARE(QFileInfo(dir.filePath("out.SCE")).size(), qint64(STORE_SIZE));
        // Usage errors change nothing and write nothing.
        QCOMPARE(tool.run({"autotune", "--car", carFile.fileName(), scene.fileName(), "--positions", "10", "-o",
                           dir.filePath("bad.SCE")}),
                 int(CliTool::Usage));
        QVERIFY(!QFile::exists(dir.filePath("bad.SCE")));
    }

    // The sedan's subwoofer clips the microphone at -12 dBFS: its first sweep is taken again 6 dB lower and
    // the run goes on, named; --level sets the start, out of range it is a usage error.
    void clippingStepsTheLevelDown()
    {
        QTemporaryDir dir;
        QFile carFile(dir.filePath("car.json")), scene(dir.filePath("in.SCE"));
        QVERIFY(WriteCarAndScene(Shipped(QStringLiteral("sedan")), carFile, scene));
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        CliTool tool(out, err);
        const QStringList args{"autotune", "--car", carFile.fileName(), scene.fileName(), "-o", dir.filePath("out.SCE")};
        QVERIFY2(tool.run(args) == CliTool::Ok, qPrintable(errText));
        QCOMPARE(outText.count(QStringLiteral("the microphone clipped; measured at -18 dBFS")), 1);
        outText.clear();
        QVERIFY2(tool.run(args + QStringList{"--level", "-20"}) == CliTool::Ok, qPrintable(errText));
        QVERIFY(!outText.contains(QStringLiteral("clipped")));
        QCOMPARE(tool.run(args + QStringList{"--level", "3"}), int(CliTool::Usage));
    }

private:
    static bool WriteCarAndScene(const Car &car, QFile &carFile, QFile &scene)
    {
        const bool ok = carFile.open(QIODevice::WriteOnly) && carFile.write(CarFile::write(car)) > 0 &&
                        scene.open(QIODevice::WriteOnly) &&
                        scene.write(SceneFile::singleImage(RandomCar::sceneFor(car))) == STORE_SIZE;
        carFile.close();
        scene.close();
        return ok;
    }
};

QTEST_GUILESS_MAIN(TestAutoTune)
#include "test_autotune.moc"
