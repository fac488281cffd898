// Sweeps through PortAudio into a real sound server's null sink, recorded from its monitor (input 2 is the
// loopback). The server is the one named by PULSE_SERVER, or one started here by scripts/audio-server.sh;
// when none can start the test fails with the reason.
#include "PortAudioIo.h"
#include "SweepAnalyzer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <thread>

class TestAudioServer : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    bool ownServer_ = false;

    static void server(const char *command, QByteArray *out, QByteArray *err, const QString &dir)
    {
        QProcess p;
        p.start(QStringLiteral("bash"), {QStringLiteral(KESTRUN_SOURCE_DIR "/scripts/audio-server.sh"),
                                         QString::fromLatin1(command), dir});
        p.waitForFinished(30000);
        if (out) *out = p.readAllStandardOutput().trimmed();
        if (err) *err = p.readAllStandardError().trimmed() + (p.exitCode() != 0 ? QByteArray(" (exit code ") + QByteArray::number(p.exitCode()) + ')' : QByteArray());
    }

    // A loaded machine may drop a block or stop the stream; the capture then fails as it must, and is taken again.
    static bool PlayRecord(PortAudioIo &io, const AudioRequest &request, AudioCapture &capture, QString *why)
    {
        const std::atomic<bool> cancel{false};
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (io.playRecord(request, capture, cancel, why)) return true;
            if (!why->contains(QLatin1String("dropped")) && !why->contains(QLatin1String("stopped"))) return false;
            qInfo("%s; again", qPrintable(*why));
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsEmpty("PULSE_SERVER")) return;
        QByteArray out, err;
        server("start", &out, &err, dir_.path());
        QVERIFY2(out.startsWith("PULSE_SERVER="), ("the audio server cannot start: " + err).constData());
        qputenv("PULSE_SERVER", out.mid(int(qstrlen("PULSE_SERVER="))));
        ownServer_ = true;
    }

    void cleanupTestCase()
    {
        if (ownServer_) server("stop", nullptr, nullptr, dir_.path());
    }

    // Flat, and the arrival against the loopback the same on three streams whatever their latency.
    void sweepThroughNullSink()
    {
        PortAudioIo io;
        QVERIFY2(io.initError().isEmpty(), qPrintable(io.initError()));
        const Sweep sweep{SweepSettings()};
        SweepAnalyzer analyzer(sweep);
        const AudioRequest request = sweep.request(QStringLiteral("pulse"), QStringLiteral("pulse"));
        QString why;
        QVERIFY2(io.prepare(request, &why), qPrintable(why));
        std::vector<double> arrivals;
        for (int run = 0; run < 3; ++run) {
            AudioCapture capture;
            QVERIFY2(PlayRecord(io, request, capture, &why), qPrintable(why));
            const CaptureResult r = analyzer.analyze(capture, AnalysisOptions());
            QVERIFY2(r.usable(), qPrintable(r.problem.isEmpty() ? QStringLiteral("no signal or clipped") : r.problem));
            double lo = 1e9, hi = -1e9;
            for (size_t i = 0; i < r.hz.size(); ++i)
                if (r.hz[i] >= 100.0 && r.hz[i] <= 10000.0) {
                    lo = std::min(lo, r.magnitudeDb[i]);
                    hi = std::max(hi, r.magnitudeDb[i]);
                }
            QVERIFY2(lo >= -0.2 && hi <= 0.2, qPrintable(QStringLiteral("%1 .. %2 dB").arg(lo).arg(hi)));
            QCOMPARE(r.polarity, Polarity::Positive);
            qInfo("run %d: latency %.2f samples, arrival %.4f samples, SNR %.1f dB", run + 1, r.latencySamples,
                  r.arrivalSamples, r.snrDb);
            arrivals.push_back(r.arrivalSamples);
        }
        const auto [lo, hi] = std::minmax_element(arrivals.begin(), arrivals.end());
        QVERIFY(*hi - *lo <= 0.1);
    }

    // A sweep at full scale clips the monitor: the capture stops there and the analysis names the clip.
    void clipStopsTheCapture()
    {
        PortAudioIo io;
        SweepSettings settings;
        settings.levelDbfs = 0.0;
        const Sweep sweep(settings);
        const AudioRequest request = sweep.request(QStringLiteral("pulse"), QStringLiteral("pulse"));
        AudioCapture capture;
        QString why;
        QVERIFY2(io.prepare(request, &why) && PlayRecord(io, request, capture, &why), qPrintable(why));
        QVERIFY(capture.frames() > 0 && capture.frames() < request.recordFrames);
        QVERIFY(std::fabs(capture.samples[size_t(capture.frames() - 1) * 2]) >= AUDIO_CLIP_LEVEL);
        const CaptureResult r = SweepAnalyzer(sweep).analyze(capture, AnalysisOptions());
        QVERIFY(r.clipped() && !r.usable());
    }

    // Missing devices and rates are refused before a stream opens; a cancel ends the capture.
    void refusalsAndCancel()
    {
        PortAudioIo io;
        const Sweep sweep{SweepSettings()};
        AudioRequest request = sweep.request(QStringLiteral("no such card"), QStringLiteral("pulse"));
        AudioCapture capture;
        std::atomic<bool> cancel{false};
        QString why;
        QVERIFY(!io.playRecord(request, capture, cancel, &why) && why.contains(QLatin1String("no such card")));
        request.outputDevice = QStringLiteral("pulse");
        request.sampleRate = 96000;
        QVERIFY(!io.prepare(request, &why) && why.contains(QLatin1String("96000")));
        request.sampleRate = 48000;
        request.recordChannels = 64;
        QVERIFY(!io.prepare(request, &why) && why.contains(QLatin1String("inputs")));
        request.recordChannels = 2;
        std::thread stopper([&cancel] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancel = true;
        });
        const bool ok = io.playRecord(request, capture, cancel, &why);
        stopper.join();
        QVERIFY(!ok && why == QLatin1String("cancelled") && capture.samples.empty());
    }

    // A server that goes away in the middle of a capture: a failure with the reason, not a hang.
    void serverVanishes()
    {
        QTemporaryDir dir;
        QByteArray out, err;
        server("start", &out, &err, dir.path());
        QVERIFY2(out.startsWith("PULSE_SERVER="), err.constData());
        const QByteArray previous = qgetenv("PULSE_SERVER");
        qputenv("PULSE_SERVER", out.mid(int(qstrlen("PULSE_SERVER="))));
        PortAudioIo io;
        const Sweep sweep{SweepSettings()};
        const AudioRequest request = sweep.request(QStringLiteral("pulse"), QStringLiteral("pulse"));
        AudioCapture capture;
        const std::atomic<bool> cancel{false};
        QString why;
        std::thread killer([&dir] {
            std::this_thread::sleep_for(std::chrono::milliseconds(800));
            server("stop", nullptr, nullptr, dir.path());
        });
        const bool ok = io.playRecord(request, capture, cancel, &why);
        killer.join();
        qputenv("PULSE_SERVER", previous);
        QVERIFY(!ok && capture.samples.empty());
        QVERIFY2(why.contains(QLatin1String("sound card")), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(TestAudioServer)
#include "test_audio_server.moc"
