// Known-answer checks of the sweep analysis on captures built here, calibration files, averaging and export.
#include "DirectSound.h"
#include "MeasurementExport.h"
#include "Measurement.h"
#include "MicCalibration.h"
#include "PositionAverage.h"
#include "SweepAnalyzer.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <complex>
#include <random>

namespace {

constexpr double FS = 48000.0;

// Kaiser-windowed sinc (or its Hilbert transform) at x samples, ±TAPS wide.
double Kernel(double x, bool hilbert)
{
    constexpr int TAPS = 256;
    if (std::fabs(x) >= TAPS) return 0.0;
    const double w = std::cyl_bessel_i(0.0, 10.0 * std::sqrt(1.0 - (x / TAPS) * (x / TAPS))) / std::cyl_bessel_i(0.0, 10.0);
    if (std::fabs(x) < 1e-12) return hilbert ? 0.0 : w;
    return w * (hilbert ? (1.0 - std::cos(M_PI * x)) / (M_PI * x) : std::sin(M_PI * x) / (M_PI * x));
}

// x delayed by a fractional number of samples (band-limited), optionally shifted by 90°.
std::vector<double> Delayed(const std::vector<double> &x, int length, double delay, bool hilbert = false)
{
    std::vector<double> y(size_t(length), 0.0);
    const int d0 = int(std::floor(delay));
    const double frac = delay - d0;
    std::vector<double> k(513);
    for (int j = -256; j <= 256; ++j) k[size_t(j + 256)] = Kernel(j - frac, hilbert);
    for (int n = 0; n < length; ++n) {
        double s = 0.0;
        for (int j = -256; j <= 256; ++j) {
            const int m = n - d0 - j;
            if (m >= 0 && m < int(x.size())) s += x[size_t(m)] * k[size_t(j + 256)];
        }
        y[size_t(n)] = s;
    }
    return y;
}

struct Biquad {
    double b0, b1, b2, a1, a2;
    void run(std::vector<double> &x) const
    {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (double &v : x) {
            const double y = b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1, x1 = v, y2 = y1, y1 = y, v = y;
        }
    }
    std::complex<double> at(double f) const
    {
        const std::complex<double> z = std::polar(1.0, -2.0 * M_PI * f / FS);
        return (b0 + b1 * z + b2 * z * z) / (1.0 + a1 * z + a2 * z * z);
    }
};

// Audio-EQ-cookbook peaking and second-order Butterworth high-pass sections.
Biquad Peaking(double f, double db, double q)
{
    const double a = std::pow(10.0, db / 40.0), w = 2 * M_PI * f / FS, al = std::sin(w) / (2 * q), a0 = 1 + al / a;
    return {(1 + al * a) / a0, -2 * std::cos(w) / a0, (1 - al * a) / a0, -2 * std::cos(w) / a0, (1 - al / a) / a0};
}
Biquad HighPass(double f)
{
    const double w = 2 * M_PI * f / FS, al = std::sin(w) / std::sqrt(2.0), c = std::cos(w), a0 = 1 + al;
    return {(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - al) / a0};
}

const Biquad PEAK = Peaking(150.0, 6.0, 2.0);
const Biquad HP = HighPass(60.0);
constexpr double LOOP_DELAY = 700.37, MIC_DELAY = 1234.81, REFLECTION = 101.0;

struct Scene {
    bool hilbert = false;
    double noiseRms = 0.0;
    double gain = 1.0;
    bool loopback = true;
    double stretch = 1.0;  // the microphone's clock: its frame k is taken at card frame k * stretch
    bool secondCopy = true;
};

// What the microphone hears of the sweep's copies played from the lead on and delayed by `delay` card frames,
// on a clock of its own.
std::vector<double> Heard(const Sweep &sweep, double delay, const Scene &scene = Scene())
{
    const std::vector<double> x = scene.stretch == 1.0 ? sweep.samples() : sweep.stretched(scene.stretch);
    std::vector<double> sum(size_t(sweep.recordFrames()), 0.0);
    const int copies = scene.secondCopy ? sweep.copies() : 1;
    for (int c = 0; c < copies; ++c) {
        const double at = (sweep.leadFrames() + delay + c * double(sweep.samples().size())) / scene.stretch;
        const std::vector<double> y = Delayed(x, sweep.recordFrames(), at, scene.hilbert);
        for (size_t i = 0; i < y.size(); ++i) sum[i] += y[i];
    }
    return sum;
}

// Output 1 through the high-pass and the peak, inverted at half level, with an inverted reflection at full
// level REFLECTION samples later; output 2 delayed only.
AudioCapture Capture(const Sweep &sweep, const Scene &scene)
{
    const int frames = sweep.recordFrames();
    std::vector<double> mic = Heard(sweep, MIC_DELAY, scene);
    HP.run(mic);
    PEAK.run(mic);
    std::vector<double> loop = Heard(sweep, LOOP_DELAY);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0.0, scene.noiseRms);
    AudioCapture c;
    c.sampleRate = int(FS);
    c.channels = 2;
    c.samples.resize(size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        const double refl = i >= REFLECTION ? mic[size_t(i - REFLECTION)] : 0.0;
        c.samples[2 * size_t(i)] = float(scene.gain * -(0.5 * mic[size_t(i)] + refl) + (scene.noiseRms > 0 ? noise(rng) : 0.0));
        c.samples[2 * size_t(i) + 1] = scene.loopback ? float(loop[size_t(i)]) : 0.0f;
    }
    return c;
}

double ExpectedDb(double f)
{
    const std::complex<double> comb = 0.5 + std::polar(1.0, -2 * M_PI * f * REFLECTION / FS);
    return 20 * std::log10(std::abs(HP.at(f) * PEAK.at(f) * comb));
}

double WorstDbError(const CaptureResult &r, double offset)
{
    double worst = 0.0;
    for (size_t i = 0; i < r.hz.size(); ++i)
        if (r.hz[i] >= 100.0 && r.hz[i] <= 10000.0) worst = std::max(worst, std::fabs(r.magnitudeDb[i] - ExpectedDb(r.hz[i]) - offset));
    return worst;
}

}  // namespace

class TestMeasureAnalysis : public QObject
{
    Q_OBJECT

private slots:
    void sweepSettings()
    {
        SweepSettings s;
        QVERIFY(s.check().isEmpty());
        using Change = void (*)(SweepSettings &);
        const Change bads[] = {[](SweepSettings &x) { x.seconds = 0.4; }, [](SweepSettings &x) { x.seconds = 6.5; },
                               [](SweepSettings &x) { x.sampleRate = 96000; }, [](SweepSettings &x) { x.startHz = 15000; },
                               [](SweepSettings &x) { x.levelDbfs = 3; }};
        for (Change bad : bads) {
            SweepSettings b;
            bad(b);
            QVERIFY(!b.check().isEmpty());
        }
        const Sweep sweep(s);
        QCOMPARE(int(sweep.samples().size()), 72000);
        const AudioRequest r = sweep.request(QString(), QString());
        QCOMPARE(r.recordFrames, 12000 + 2 * 72000 + 48000);
        QVERIFY(r.play[2 * (12000 + 72000 + 5000)] == r.play[2 * (12000 + 5000)] && r.play[2 * (12000 + 5000)] != 0.0f);
        double peak = 0;
        for (float v : r.play) peak = std::max(peak, double(std::fabs(v)));
        QVERIFY(std::fabs(20 * std::log10(peak) + 12.0) < 0.01);
        QCOMPARE(r.play[2 * 12000], 0.0f);  // faded in after the lead
    }

    // Direct sound at half the level of a later reflection, through a high-pass and a peak, inverted.
    void knownAnswers()
    {
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        CaptureResult r = analyzer.analyze(Capture(sweep, Scene()), AnalysisOptions());
        QVERIFY2(r.usable(), qPrintable(r.problem));
        QCOMPARE(r.timing, TimingReference::Loopback);
        QVERIFY2(std::fabs(r.arrivalSamples - (MIC_DELAY - LOOP_DELAY)) < 0.1, qPrintable(QString::number(r.arrivalSamples, 'f', 4)));
        QCOMPARE(r.polarity, Polarity::Negative);
        QVERIFY(r.polarityConfidence > 0.9);
        QVERIFY2(WorstDbError(r, 0.0) < 0.1, qPrintable(QString::number(WorstDbError(r, 0.0))));
        QVERIFY(r.snrDb > 100.0);
        QVERIFY(std::fabs(r.latencySamples - LOOP_DELAY) < 0.1);
        // The impulse is timed from the loopback: the direct sound's sample is where the arrival says.
        const int at = r.impulseZero + int(std::lround(r.arrivalSamples));
        QVERIFY(r.impulse[size_t(at)] < -0.3f);

        // Noise 50 dB below the sweep, a calibrated microphone reading 3 dB hot and a sound level calibration.
        Scene noisy;
        noisy.noiseRms = std::pow(10.0, (-12.0 - 3.0 - 6.0 - 50.0) / 20.0);
        MicCalibration mic;
        mic.curve.hz = {10.0, 30000.0};
        mic.curve.db = {3.0, 3.0};
        AnalysisOptions options;
        options.mic = &mic;
        options.spl.dbfsAt94 = -30.0;
        r = analyzer.analyze(Capture(sweep, noisy), options);
        QVERIFY(r.usable());
        QCOMPARE(r.unit, MagnitudeUnit::Spl);
        QVERIFY(std::fabs(r.arrivalSamples - (MIC_DELAY - LOOP_DELAY)) < 0.5);
        QCOMPARE(r.polarity, Polarity::Negative);
        QVERIFY2(r.snrDb > 40.0 && r.snrDb < 60.0, qPrintable(QString::number(r.snrDb)));
        QVERIFY2(WorstDbError(r, -3.0 - 12.0 + 94.0 + 30.0) < 0.5, qPrintable(QString::number(WorstDbError(r, 109.0))));

        // Without a loopback the arrival includes the playback delay.
        SweepSettings plain;
        plain.loopback = false;
        const Sweep sweep2(plain);
        SweepAnalyzer analyzer2(sweep2);
        Scene noLoop;
        noLoop.loopback = false;
        r = analyzer2.analyze(Capture(sweep2, noLoop), AnalysisOptions());
        QCOMPARE(r.timing, TimingReference::PlaybackStart);
        QVERIFY(std::fabs(r.arrivalSamples - MIC_DELAY) < 0.1);
        CaptureResult other = r;
        other.arrivalSamples += 48.0;
        ReferTo(other, r, 3);
        QCOMPARE(other.timing, TimingReference::ReferenceOutput);
        QCOMPARE(other.arrivalSamples, 48.0);
    }

    // A direct sound turned by 90° has no sign: it is reported as ambiguous, not guessed.
    void ambiguousPolarity()
    {
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        Scene s;
        s.hilbert = true;
        const CaptureResult r = analyzer.analyze(Capture(sweep, s), AnalysisOptions());
        QVERIFY(r.usable());
        QCOMPARE(r.polarity, Polarity::Ambiguous);
        QVERIFY(r.polarityConfidence < 0.2);
    }

    // A microphone clock 80 ppm slow and one 300 ppm fast: measured from the sweep's two copies, the arrival and
    // response as without drift; without the second copy the capture is refused.
    void clockDrift()
    {
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        for (double ppm : {80.0, -300.0}) {
            Scene s;
            s.stretch = 1.0 + ppm * 1e-6;
            const CaptureResult r = analyzer.analyze(Capture(sweep, s), AnalysisOptions());
            QVERIFY2(r.usable(), qPrintable(r.problem));
            QVERIFY2(std::fabs(r.clockPpm - ppm) < 0.05, qPrintable(QString::number(r.clockPpm)));
            QVERIFY2(std::fabs(r.arrivalSamples - (MIC_DELAY - LOOP_DELAY)) < 0.1, qPrintable(QString::number(r.arrivalSamples, 'f', 4)));
            QCOMPARE(r.polarity, Polarity::Negative);
            QVERIFY2(WorstDbError(r, 0.0) < 0.1, qPrintable(QString::number(WorstDbError(r, 0.0))));
        }
        Scene once;
        once.secondCopy = false;
        QVERIFY(analyzer.analyze(Capture(sweep, once), AnalysisOptions()).problem.contains(QLatin1String("clock")));
    }

    // The direct sound's search on envelopes built here: a broad top under noise ripple is found at its middle;
    // a side lobe that the threshold catches before a sharp peak does not stop the climb.
    void directSoundSearch()
    {
        std::vector<std::complex<double>> a(4000);
        std::mt19937 rng(5);
        std::normal_distribution<double> ripple(0.0, 1e-3);
        for (int n = 0; n < 4000; ++n) {
            const double x = (n - 2000.3) / 300.0;
            a[size_t(n)] = std::polar(std::exp(-x * x) + ripple(rng), -0.2);
        }
        DirectSound d = FindDirectSound(a.data(), 4000, 0, 4000);
        QVERIFY2(std::fabs(d.time - 2000.3) < 1.0, qPrintable(QString::number(d.time)));
        QVERIFY(d.cosine() > 0.9);
        std::fill(a.begin(), a.end(), std::complex<double>());
        a[1000] = 0.3, a[1002] = 0.6, a[1003] = -1.0, a[1004] = 0.6;
        d = FindDirectSound(a.data(), 4000, 0, 4000);
        QVERIFY2(std::fabs(d.time - 1003.0) < 0.5, qPrintable(QString::number(d.time)));
        QVERIFY(d.cosine() < -0.5);
    }

    // Sweeps from an output's high-pass corner, the driver high-passed there: the response exact above the
    // corner, the sign right or ambiguous, the arrival moved by no more than the filter's group delay.
    void cornerSweeps()
    {
        for (double corner : {300.0, 1000.0, 3000.0}) {
            SweepSettings settings;
            settings.startHz = corner;
            const Sweep sweep(settings);
            SweepAnalyzer analyzer(sweep);
            AudioCapture c = Capture(sweep, Scene());
            std::vector<double> mic = Heard(sweep, MIC_DELAY);
            const Biquad hp = HighPass(corner);
            hp.run(mic);
            for (size_t i = 0; i < mic.size(); ++i) c.samples[2 * i] = float(mic[i]);
            const CaptureResult r = analyzer.analyze(c, AnalysisOptions());
            QVERIFY(r.usable());
            QVERIFY(r.polarity != Polarity::Negative);
            QVERIFY(std::fabs(r.arrivalSamples - (MIC_DELAY - LOOP_DELAY)) < 0.6);
            for (size_t i = 0; i < r.hz.size(); ++i)
                if (r.hz[i] >= 2 * corner && r.hz[i] <= 10000.0)
                    QVERIFY(std::fabs(r.magnitudeDb[i] - 20 * std::log10(std::abs(hp.at(r.hz[i])))) < 0.01);
        }
    }

    void faults()
    {
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        Scene muted;
        muted.gain = 0.0;
        muted.noiseRms = 1e-4;
        CaptureResult r = analyzer.analyze(Capture(sweep, muted), AnalysisOptions());
        QVERIFY(r.noSignal && !r.usable());
        QCOMPARE(r.polarity, Polarity::Ambiguous);
        Scene loud;
        loud.gain = 8.0;
        r = analyzer.analyze(Capture(sweep, loud), AnalysisOptions());
        QVERIFY(r.clipped() && !r.usable());
        Scene noLoop;
        noLoop.loopback = false;
        r = analyzer.analyze(Capture(sweep, noLoop), AnalysisOptions());
        QVERIFY(r.problem.contains(QLatin1String("loopback")));
        AudioCapture wrongRate = Capture(sweep, Scene());
        wrongRate.sampleRate = 44100;
        QVERIFY(analyzer.analyze(wrongRate, AnalysisOptions()).problem.contains(QLatin1String("44100")));
        wrongRate.sampleRate = 48000;
        wrongRate.samples.resize(1000);
        QVERIFY(!analyzer.analyze(wrongRate, AnalysisOptions()).problem.isEmpty());
    }

    void calibrationFiles()
    {
        MicCalibration cal;
        CalibrationError err;
        QVERIFY(ReadMicCalibration("\"Sens Factor =-1.23dB, SERNO: 1234567\"\n20 -1.5 0\n* note\n1000 0.0\n20000,5 2.25 -3\n", cal, err));
        QCOMPARE(cal.sensDb, -1.23);
        QCOMPARE(cal.serial, QStringLiteral("1234567"));
        QCOMPARE(cal.curve.size(), 3);
        QCOMPARE(cal.curve.db[2], 2.25);
        QVERIFY(ReadMicCalibration("\n10\t0.5\n100\t0.25\n", cal, err) && !cal.hasSens);
        const struct {
            const char *text;
            int line;
            const char *reason;
        } bad[] = {{"Sensitivity -1dB\n20 0\n30 0\n", 1, "Sens Factor"},
                   {"\n\"Sens Factor =xdB\"\n20 0\n30 0\n", 2, "Sens Factor"},
                   {"Sens Factor =-1dB\n20 0\n20x 1\n", 3, "not a number"},
                   {"20 0\n10 1\n", 2, "not above the one before"},
                   {"20 0\n\n30 75\n", 3, "60 dB"},
                   {"20 0\n", 1, "fewer than 2"},
                   {"20 0\n30\n", 2, "frequency and a level"}};
        for (const auto &b : bad) {
            QVERIFY2(!ReadMicCalibration(b.text, cal, err), b.text);
            QVERIFY(cal.empty() && !cal.hasSens);
            QCOMPARE(err.line, b.line);
            QVERIFY2(err.reason.contains(QLatin1String(b.reason)), qPrintable(err.message()));
        }
    }

    void averagingAndExport()
    {
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        const CaptureResult first = analyzer.analyze(Capture(sweep, Scene()), AnalysisOptions());
        CaptureResult second = first;
        for (double &db : second.magnitudeDb) db -= 6.0;
        second.arrivalSamples += 10.0;
        second.snrDb = 30.0;
        CaptureResult avg;
        QString why;
        QVERIFY(AveragePositions({first, second}, avg, &why));
        QCOMPARE(avg.arrivalSamples, first.arrivalSamples);
        QCOMPARE(avg.snrDb, 30.0);
        QVERIFY(std::fabs(avg.magnitudeDb[100] - (first.magnitudeDb[100] + 10 * std::log10((1 + std::pow(10.0, -0.6)) / 2))) < 1e-9);
        QVERIFY(!AveragePositions({}, avg, &why));
        QVERIFY(!AveragePositions(std::vector<CaptureResult>(10, first), avg, &why));
        CaptureResult dead = first;
        dead.noSignal = true;
        QVERIFY(!AveragePositions({first, dead}, avg, &why) && why.contains(QLatin1String("no signal")));

        // The text export reads back through the measurement import; the impulse through the WAV reader.
        Measurement m;
        TextError te;
        QVERIFY(LoadMeasurement(MeasurementText(first, QStringLiteral("CH1")), QStringLiteral("CH1.txt"), m, te));
        QCOMPARE(m.curve.size(), int(first.hz.size()));
        for (int i = 0; i < m.curve.size(); i += 37) {
            QVERIFY(std::fabs(m.curve.hz[size_t(i)] - first.hz[size_t(i)]) < 1e-5);
            QVERIFY(std::fabs(m.curve.db[size_t(i)] - first.magnitudeDb[size_t(i)]) < 1e-3);
        }
        QTemporaryDir dir;
        const QString wav = dir.filePath(QStringLiteral("ch1.wav"));
        QVERIFY(WriteImpulseWav(wav, first, &why));
        ImpulseFile back;
        QVERIFY2(ReadImpulseWav(wav, back, &why), qPrintable(why));
        QCOMPARE(back.sampleRate, 48000);
        QVERIFY(back.samples == first.impulse);
        QVERIFY(!ReadImpulseWav(dir.filePath(QStringLiteral("missing.wav")), back, &why) && back.samples.empty());
        QVERIFY(!WriteImpulseWav(dir.filePath(QStringLiteral("no/such/dir.wav")), first, &why));
    }
};

QTEST_GUILESS_MAIN(TestMeasureAnalysis)
#include "test_measure_analysis.moc"
