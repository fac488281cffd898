// Auto-tune: its decisions on constructed measurements (polarity, delays, levels, equaliser, the report line).
#include <QtTest>
#include <cmath>

#include "AutoTunePlan.h"
#include "SpeakerCodes.h"

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
        // The speaker's own response has the present settings taken out.
        const FreqCurve speaker = AutoTunePlan::SpeakerResponse(r, start, 0);
        QVERIFY(std::abs(speaker.at(2000.0) - 5.0) < 0.05 && std::abs(speaker.at(300.0)) < 0.05);
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
};

QTEST_GUILESS_MAIN(TestAutoTune)
#include "test_autotune.moc"
