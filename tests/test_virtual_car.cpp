// The virtual car against known answers: arrival times to a fraction of a sample, the graph's equaliser and
// crossover magnitudes, polarity, mute, loopback, clock drift, noise level, and the car file's refusals.
#include "CarFile.h"
#include "CarModel.h"
#include "RandomCar.h"
#include "ResponseMath.h"
#include "SimProcessor.h"
#include "VirtualCar.h"

#include <QtTest>

#include <chrono>
#include <cmath>
#include <complex>
#include <thread>

namespace {

constexpr int Rate = 48000;

// A car with one flat speaker on output `channel`: no filters, no reflections, no noise, no drift.
Car flatCar(int channel, double distanceCm, double latencyMs)
{
    Car car;
    car.latencyMs = latencyMs;
    CarOutput o;
    o.channel = channel;
    o.distanceCm = distanceCm;
    car.outputs.push_back(o);
    return car;
}

// Plays `one` on output 1 and `two` on output 2 (either may be shorter than `frames`) and records `frames`.
AudioCapture play(VirtualCar &car, const std::vector<float> &one, const std::vector<float> &two, int frames)
{
    AudioRequest r;
    r.sampleRate = car.car().sampleRate;
    r.play.assign(size_t(frames) * 2, 0.0f);
    for (size_t i = 0; i < one.size(); ++i) r.play[i * 2] = one[i];
    for (size_t i = 0; i < two.size(); ++i) r.play[i * 2 + 1] = two[i];
    r.recordFrames = frames;
    QString why;
    AudioCapture out;
    std::atomic<bool> cancel{false};
    if (!car.prepare(r, &why) || !car.playRecord(r, out, cancel, &why)) qWarning() << why;
    return out;
}

std::vector<float> unit(int at, double amp)
{
    std::vector<float> v(size_t(at) + 1, 0.0f);
    v[size_t(at)] = float(amp);
    return v;
}

// Plays `amp` at frame `at` on output 1 (and output 2 when loop) and records `frames`.
AudioCapture impulse(VirtualCar &car, int at, double amp, int frames, bool loop = false)
{
    return play(car, unit(at, amp), loop ? unit(at, amp) : std::vector<float>(), frames);
}

double sample(const AudioCapture &c, int frame, int channel) { return c.samples[size_t(frame * c.channels + channel)]; }

// The recording of channel `ch` matches a band-limited impulse of `amp` at the fractional frame `at`.
bool impulseAt(const AudioCapture &c, int ch, double at, double amp)
{
    double worst = 0.0;
    for (int n = int(at) - 20; n <= int(at) + 20; ++n) {
        const double x = n - at;
        const double sinc = std::fabs(x) < 1e-12 ? 1.0 : std::sin(M_PI * x) / (M_PI * x);
        worst = std::max(worst, std::fabs(sample(c, n, ch) - amp * sinc));
    }
    if (worst > 2e-4 * std::fabs(amp)) qWarning() << "impulse at" << at << "off by" << worst;
    return worst <= 2e-4 * std::fabs(amp);
}

// The level in dB of the recorded impulse response of input 1 at hz (the impulse's amplitude taken out).
double levelDb(const AudioCapture &c, double amp, double hz)
{
    std::complex<double> sum = 0.0;
    const int frames = int(c.samples.size()) / c.channels;
    for (int n = 0; n < frames; ++n) sum += sample(c, n, 0) * std::polar(1.0, -2.0 * M_PI * hz * n / c.sampleRate);
    return 20.0 * std::log10(std::abs(sum) / amp);
}

}  // namespace

class TestVirtualCar : public QObject
{
    Q_OBJECT

private slots:
    void arrivalIsLatencyPlusDelayPlusDistance()
    {
        // 1.23 ms in the processor, 123.4 cm away, 7.77 ms latency: 10.122... ms, a fraction of a sample.
        SimProcessor proc;
        proc.params().ChDelay[2] = 123;
        VirtualCar car(proc, flatCar(3, 123.4, 7.77));
        const AudioCapture c = impulse(car, 100, 0.5, Rate / 2, true);
        QCOMPARE(c.channels, 2);
        const double arrival = 100 + (7.77 + 1.23 + 123.4 / 34.5) * Rate / 1000.0;
        QVERIFY(impulseAt(c, 0, arrival, 0.5));
        QCOMPARE(CarModel(proc.params(), car.car()).arrivalMs(0), 1.23 + 123.4 / 34.5);
        // The loopback carries the latency only.
        QVERIFY(impulseAt(c, 1, 100 + 7.77 * Rate / 1000.0, 0.5));

        // Outputs not listed, and listed outputs muted by the processor, are silent.
        proc.params().ChMute[2] = 1;
        const AudioCapture muted = impulse(car, 100, 0.5, Rate / 4);
        for (int n = 0; n < Rate / 4; ++n) QCOMPARE(sample(muted, n, 0), 0.0);
        VirtualCar other(proc, flatCar(4, 100.0, 5.0));
        proc.params().ChMute[2] = 0;
        proc.params().InputSource = 2;  // the optical input does not hear the card
        VirtualCar same(proc, flatCar(3, 100.0, 5.0));
        for (VirtualCar *v : {&other, &same}) {
            const AudioCapture silent = impulse(*v, 100, 0.5, Rate / 4);
            for (int n = 0; n < Rate / 4; ++n) QCOMPARE(sample(silent, n, 0), 0.0);
        }
    }

    void reflectionsAndDrift()
    {
        SimProcessor proc;
        Car c = flatCar(1, 34.5, 10.0);  // 1 ms path
        c.outputs[0].reflections = {{2.5, -0.4}};
        VirtualCar car(proc, c);
        const AudioCapture a = impulse(car, 200, 0.5, Rate / 2);
        QVERIFY(impulseAt(a, 0, 200 + 11.0 * Rate / 1000.0, 0.5));
        QVERIFY(impulseAt(a, 0, 200 + 13.5 * Rate / 1000.0, -0.2));

        // A stretched microphone clock: card time T is the microphone's sample T / (1 + drift). A Gaussian
        // pulse (band-limited far below the card's Nyquist frequency) shows it anywhere between samples.
        c.outputs[0].reflections.clear();
        c.driftPpm = 1000.0;
        VirtualCar drifting(proc, c);
        const double centre = 40000.0, sigma = 3.0, amp = 0.5;
        std::vector<float> pulse(40100);
        for (size_t n = 0; n < pulse.size(); ++n) pulse[n] = float(amp * std::exp(-0.5 * std::pow((n - centre) / sigma, 2)));
        const AudioCapture d = play(drifting, pulse, pulse, Rate);
        for (int k = 40400; k < 40600; ++k) {
            const double cardTime = k * 1.001;
            const double mic = amp * std::exp(-0.5 * std::pow((cardTime - centre - 11.0 * Rate / 1000.0) / sigma, 2));
            QVERIFY2(std::fabs(sample(d, k, 0) - mic) < 1e-4, qPrintable(QString::number(k)));
        }
        // The loopback is the card's own input: no drift.
        QVERIFY(std::fabs(sample(d, 40000 + 480, 1) - amp) < 1e-6);
    }

    void noiseLevelAndSeed()
    {
        SimProcessor proc;
        Car c = flatCar(1, 100.0, 5.0);
        c.noiseDbfs = -40.0;
        VirtualCar car(proc, c, 7), twin(proc, c, 7);
        const AudioCapture a = play(car, {}, {}, 2 * Rate), b = play(twin, {}, {}, 2 * Rate), next = play(car, {}, {}, 2 * Rate);
        double power = 0.0;
        for (int n = 0; n < 2 * Rate; ++n) power += sample(a, n, 0) * sample(a, n, 0);
        QVERIFY(std::fabs(10.0 * std::log10(power / (2 * Rate)) + 40.0) < 0.1);
        QVERIFY(a.samples == b.samples);     // the same seed, the same noise
        QVERIFY(a.samples != next.samples);  // each capture its own
        QCOMPARE(sample(a, 100, 1), 0.0);    // none on the loopback
    }

    void equaliserAndCrossoversAsTheGraphDraws()
    {
        SimProcessor proc;
        ParamBlock &m = proc.params();
        const int ch = 1;
        // Bands in the processor's encoding (host + 120): +6 dB at 1 kHz Q 2, -9.5 dB at 250 Hz Q 4.5.
        m.EqFreq[ch][17] = 1000, m.EqGain[ch][17] = 240 + 60, m.EqQ[ch][17] = 20;
        m.EqFreq[ch][11] = 250, m.EqGain[ch][11] = 240 - 95, m.EqQ[ch][11] = 45;
        VirtualCar flat(proc, flatCar(ch + 1, 69.0, 5.0));  // whole samples: 2 + 5 ms
        const double amp = 0.25;
        AudioCapture c = impulse(flat, 10, amp, Rate);
        const EqSection a = BandSection(180, 1000, 20), b = BandSection(25, 250, 45);
        for (double hz : {100.0, 250.0, 400.0, 1000.0, 1700.0, 5000.0})
            QVERIFY2(std::fabs(levelDb(c, amp, hz) - SectionDb(a, hz) - SectionDb(b, hz)) < 0.05, qPrintable(QString::number(hz)));

        // Bypassing the equaliser leaves it flat; the three crossover types at the graph's magnitude.
        m.EqBypass[ch] = 1;
        struct Xover {
            uint8_t type, slope;
            uint16_t hp, lp;
        };
        for (const Xover x : {Xover{0, 3, 100, 5000}, Xover{1, 2, 80, 3000}, Xover{1, 3, 200, 2000}, Xover{2, 4, 60, 8000}}) {
            m.HpfBypass[ch] = m.LpfBypass[ch] = 0;
            m.HpfType[ch] = m.LpfType[ch] = x.type;
            m.HpfSlope[ch] = m.LpfSlope[ch] = x.slope;
            m.HpfFreq[ch] = x.hp, m.LpfFreq[ch] = x.lp;
            c = impulse(flat, 10, amp, Rate);
            for (double hz : {x.hp * 0.5, double(x.hp), x.hp * 2.0, 1000.0, x.lp * 0.5, double(x.lp), x.lp * 1.5}) {
                const double graph = CrossoverDb(x.hp, x.slope, 0, x.type, false, hz) + CrossoverDb(x.lp, x.slope, 0, x.type, true, hz);
                QVERIFY2(std::fabs(levelDb(c, amp, hz) - graph) < 0.05, qPrintable(QStringLiteral("type %1 at %2 Hz").arg(x.type).arg(hz)));
            }
        }
    }

    void levelsPolarityAndTheSpeaker()
    {
        SimProcessor proc;
        proc.params().ChVol[0] = 540;     // -6 dB
        proc.params().MasterVol = 580;    // -2 dB
        Car c = flatCar(1, 69.0, 3.0);
        c.outputs[0].levelDb = 1.5;
        c.outputs[0].highpassHz = 100, c.outputs[0].highpassOrder = 2;  // -3.01 dB at its corner
        c.outputs[0].peaks = {{8000.0, 6.0, 4.0}};                      // +6 dB at its centre
        VirtualCar car(proc, c);
        const AudioCapture a = impulse(car, 10, 0.25, Rate);
        QVERIFY(std::fabs(levelDb(a, 0.25, 8000.0) - (-6.5 + 6.0)) < 0.001);
        QVERIFY(std::fabs(levelDb(a, 0.25, 100.0) - (-6.5 - 10.0 * std::log10(2.0))) < 0.001);

        // The processor's polarity and the speaker's each flip the recording.
        proc.params().ChPhase[0] = 1;
        const AudioCapture b = impulse(car, 10, 0.25, Rate);
        c.outputs[0].polarity = -1;
        VirtualCar flipped(proc, c);
        const AudioCapture d = impulse(flipped, 10, 0.25, Rate);
        for (int n = 0; n < Rate; ++n) {
            QCOMPARE(sample(b, n, 0), -sample(a, n, 0));
            QCOMPARE(sample(d, n, 0), sample(a, n, 0));
        }
    }

    void shippedCarsSoundAsTheirModel()
    {
        // The whole capture (both rates, every output with filters, peaks and reflections) against the car's
        // transfer function, noise and drift left out.
        SimProcessor proc;
        proc.params().ChDelay[1] = 137;
        for (const QString &name : CarFile::shippedNames()) {
            Car c;
            QString why;
            QVERIFY(CarFile::shipped(name, &c, &why));
            c.noiseDbfs = -200.0, c.driftPpm = 0.0;
            VirtualCar car(proc, c);
            const CarModel model(proc.params(), c);
            const double amp = 0.1;
            const AudioCapture a = impulse(car, 0, amp, 2 * c.sampleRate);
            for (double hz : {200.0, 1000.0, 5000.0}) {
                std::complex<double> sum = 0.0;
                for (int n = 0; n < 2 * c.sampleRate; ++n) sum += sample(a, n, 0) * std::polar(1.0, -2.0 * M_PI * hz * n / c.sampleRate);
                const std::complex<double> expected = model.response(hz) * std::polar(1.0, -2.0 * M_PI * hz * c.latencyMs / 1000.0);
                QVERIFY2(std::abs(sum / amp - expected) < 2e-3 * std::abs(expected), qPrintable(name + QString::number(hz)));
            }
        }
    }

    void carFilesAndTheirRefusals()
    {
        // The shipped cars and 50 drawn ones are written and read back unchanged; a seed always draws the same car.
        std::vector<Car> cars;
        for (const QString &name : CarFile::shippedNames()) {
            Car car;
            QString why;
            QVERIFY2(CarFile::shipped(name, &car, &why), qPrintable(why));
            QVERIFY(!car.outputs.empty());
            cars.push_back(car);
        }
        for (uint64_t seed = 1; seed <= 50; ++seed) cars.push_back(RandomCar::draw(seed));
        QCOMPARE(CarFile::write(RandomCar::draw(9)), CarFile::write(cars[3 + 8]));
        QVERIFY(CarFile::write(RandomCar::draw(9)) != CarFile::write(RandomCar::draw(10)));
        for (const Car &car : cars) {
            Car again;
            QString why;
            QVERIFY2(CarFile::read(CarFile::write(car), &again, &why), qPrintable(why));
            QCOMPARE(CarFile::write(again), CarFile::write(car));
        }

        const QByteArray good = R"({"sample_rate": 48000, "latency_ms": 23.0, "drift_ppm": 0, "noise_dbfs": -90,
            "outputs": [{"channel": 1, "distance_cm": 120.0, "polarity": 1, "level_db": 0.0,
              "highpass_hz": 60, "highpass_order": 2, "lowpass_hz": 0, "lowpass_order": 0,
              "peaks": [{"hz": 150, "gain_db": 6.0, "q": 2.0}], "reflections": [{"delay_ms": 2.1, "gain": 0.3}]}]})";
        Car car;
        QString why;
        QVERIFY2(CarFile::read(good, &car, &why), qPrintable(why));
        QCOMPARE(car.outputs[0].peaks[0].q, 2.0);
        QCOMPARE(car.outputs[0].reflections[0].delayMs, 2.1);
        const struct {
            const char *from, *to, *why;
        } bad[] = {
            {"\"highpass_hz\": 60", "\"highpass_hz\": \"60\"", "outputs[0].highpass_hz: not a number"},
            {"\"q\": 2.0", "\"Q\": 2.0", "outputs[0].peaks[0].Q: unknown field"},
            {", \"gain\": 0.3", "", "outputs[0].reflections[0].gain: missing"},
            {"\"polarity\": 1", "\"polarity\": 0", "outputs[0].polarity: not 1 or -1"},
            {"\"channel\": 1", "\"channel\": 1.5", "outputs[0].channel: not an integer"},
            {"\"channel\": 1", "\"channel\": 7", "outputs[0].channel: 7 is outside 1..6"},
            {"\"highpass_order\": 2", "\"highpass_order\": 0", "outputs[0].highpass_order: 0 while highpass_hz is set"},
            {"\"lowpass_hz\": 0", "\"lowpass_hz\": 24000", "outputs[0].lowpass_hz: not below half the sample rate"},
            {"48000", "96000", "sample_rate: 96000 is outside 44100..48000"},
            {"48000", "44101", "sample_rate: not 44100 or 48000"},
            {"\"noise_dbfs\": -90", "\"noise_dbfs\": 3", "noise_dbfs: 3 is outside -200..0"},
            {"\"drift_ppm\": 0, ", "", "drift_ppm: missing"},
            {"[{\"hz\"", "[7, {\"hz\"", "outputs[0].peaks[0]: not an object"},
            {"\"reflections\": [", "\"reflections\": {", "line 4: unterminated object"},
            {"0.3}]}]}", "0.3}]}, {\"channel\": 2}]}", "outputs[1].distance_cm: missing"},
        };
        for (const auto &b : bad) {
            QByteArray text = good;
            QVERIFY(text.contains(b.from));
            text.replace(b.from, b.to);
            QVERIFY2(!CarFile::read(text, &car, &why), b.to);
            QCOMPARE(why, QString::fromLatin1(b.why));
        }
        QByteArray twice = good;
        const int output = good.indexOf("{\"channel");
        twice.insert(output, good.mid(output, good.size() - output - 2) + ", ");
        QVERIFY(!CarFile::read(twice, &car, &why));
        QCOMPARE(why, QStringLiteral("outputs[1].channel: channel 1 listed twice"));
    }

    void captureRefusals()
    {
        SimProcessor proc;
        VirtualCar car(proc, flatCar(1, 100.0, 5.0));
        AudioRequest r;
        r.play.assign(2000, 0.0f);
        r.recordFrames = 1000;
        AudioCapture out;
        std::atomic<bool> cancel{false};
        QString why;
        QVERIFY(!car.playRecord(r, out, cancel, &why));
        QCOMPARE(why, QStringLiteral("the capture was not prepared"));
        r.sampleRate = 44100;
        QVERIFY(!car.prepare(r, &why));
        QCOMPARE(why, QStringLiteral("the virtual car runs at 48000 Hz, not 44100 Hz"));
        r.sampleRate = 48000;
        r.inputDevice = QStringLiteral("USB mic");
        QVERIFY(!car.prepare(r, &why));
        r.inputDevice.clear();
        r.recordFrames = 999;
        QVERIFY(!car.prepare(r, &why));
        QCOMPARE(why, QStringLiteral("fewer frames recorded than played"));
        r.recordFrames = 1000;
        QVERIFY(car.prepare(r, &why));
        cancel = true;
        QVERIFY(!car.playRecord(r, out, cancel, &why) && out.samples.empty());
        QCOMPARE(why, QStringLiteral("cancelled"));
        cancel = false;
        car.setPlugged(false);
        QVERIFY(car.devices().empty());
        QVERIFY(!car.playRecord(r, out, cancel, &why) && out.samples.empty());
        QVERIFY(!car.prepare(r, &why));
        car.setPlugged(true);
        QVERIFY(car.playRecord(r, out, cancel, &why));
        QCOMPARE(out.samples.size(), size_t(2000));

        // Paced like a real card (a 5 s capture), a cancel or an unplug from elsewhere ends it with nothing.
        car.setPaced(true);
        r.play.assign(size_t(5 * Rate) * 2, 0.0f);
        r.recordFrames = 5 * Rate;
        QVERIFY(car.prepare(r, &why));
        for (bool unplug : {false, true}) {
            std::thread other([&] {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                unplug ? car.setPlugged(false) : void(cancel = true);
            });
            QVERIFY(!car.playRecord(r, out, cancel, &why) && out.samples.empty());
            other.join();
            QCOMPARE(why, unplug ? QStringLiteral("the sound card \"Virtual car\" was disconnected") : QStringLiteral("cancelled"));
            cancel = false;
        }
    }
};

QTEST_GUILESS_MAIN(TestVirtualCar)
#include "test_virtual_car.moc"
