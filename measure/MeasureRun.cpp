// The measuring run: mutes through the model, captures and analysis on a worker thread, everything put back.
#include "MeasureRun.h"

#include "PositionAverage.h"
#include "SpeakerCodes.h"
#include "SpeakerNames.h"
#include "SweepAnalyzer.h"
#include "Texts.h"
#include "TuningModel.h"

#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

namespace {

constexpr double LEVEL_CHECK_SECONDS = 0.5;  // the shortest sweep: enough to hear clipping or silence
constexpr double LEVEL_CHECK_TAIL = 0.5;  // a card's latency (up to 0.2 s) and the gate
// A capture whose sound came too late for its tail is taken again, once, with a tail holding that arrival, the
// gate and this much more (a stream's latency differs from capture to capture); the run keeps that tail.
constexpr double LATE_MARGIN_SECONDS = 0.1;
constexpr double MAX_TAIL_SECONDS = 5.0;

// Tweeters are the first of each four-code group of the corner positions (FL, FR, RL, RR).
bool IsTweeter(uint8_t code) { return code < SPK_CEN && code % 4 == 0; }

// The output's high-pass corner when its high-pass is on, else 0.
double HighpassCorner(const ParamBlock &store, int ch)
{
    return store.HpfBypass[ch] ? 0.0 : std::clamp(double(store.HpfFreq[ch]), 20.0, 20000.0);
}

}  // namespace

struct MeasureRun::Impl {
    MeasureRun *q;
    TuningModel &model;
    AudioIo &audio;

    // What a worker hands back.
    struct Outcome {
        bool ok = false;
        QString why;
        CaptureResult result;
    };

    bool running = false;
    uint8_t language = 1;  // of the messages, from the settings of the last start
    bool autoAdvance = false;
    bool waiting = false;  // between positions, for continuePositions()
    std::vector<int> channels;
    MeasureSettings settings;
    ModelState start;       // the model when the run began: the mutes go back to it
    size_t index = 0;       // into channels
    int position = 0;       // 0-based; -1 while the level check of the output runs as a short sweep of its own
    bool checking = false;  // the output's level is not yet confirmed (a clip steps it down)
    int steps = 0;          // the output's level steps taken
    // The microphone's clock as the run's first sweep played twice read it (NaN until then); later sweeps are
    // played once and analysed on that clock.
    double clockPpm = std::numeric_limits<double>::quiet_NaN();
    double cutDb = 0.0;     // the output's level below the settings'
    double tail = 0.0;      // the least tail of every capture: one that held a late arrival (0: the settings')
    bool lateRetaken = false;  // the present capture was taken again for a late arrival
    std::vector<CaptureResult> captured;
    std::vector<OutputMeasurement> done;

    std::thread worker;
    std::atomic<bool> cancel{false};

    Impl(MeasureRun *owner, TuningModel &m, AudioIo &a) : q(owner), model(m), audio(a) {}

    bool separateCheck() const { return settings.levelCheck && !settings.checkOnFirstSweep; }
    int totalCaptures() const { return int(channels.size()) * (settings.positions + (separateCheck() ? 1 : 0)); }
    int capturesDone() const
    {
        const int per = settings.positions + (separateCheck() ? 1 : 0);
        return int(index) * per + (separateCheck() ? 1 : 0) + position;
    }

    // The next output from its first capture: its level as the settings start it, unchecked.
    void beginOutput()
    {
        position = separateCheck() ? -1 : 0;
        checking = settings.levelCheck;
        steps = 0;
        cutDb = std::max(0.0, settings.levelCutDb[size_t(channels[index])]);
    }

    // The sweep of output ch: from its own high-pass corner when that is above the settings' start.
    SweepSettings sweepFor(int ch, bool levelCheck) const
    {
        SweepSettings s = settings.sweep;
        s.startHz = std::max(s.startHz, HighpassCorner(model.store, ch));
        s.levelDbfs = std::max(-60.0, s.levelDbfs - cutDb);
        if (levelCheck) {
            s.seconds = LEVEL_CHECK_SECONDS;
            s.tailSeconds = LEVEL_CHECK_TAIL;
            s.twice = false;  // only its level counts
        }
        s.tailSeconds = std::max(s.tailSeconds, tail);
        if (std::isfinite(clockPpm)) s.twice = false;
        return s;
    }

    // Output ch sounds alone: the others muted, ch unmuted (the user asked to hear it).
    void soloOutput(int ch)
    {
        ModelState target = model.state();
        for (int o = 0; o < CH_COUNT; ++o) target.store.ChMute[o] = o == ch ? 0 : 1;
        if (target != model.state()) model.restoreUnrecorded(target);
    }

    // Every mute back as it was when the run began (only what differs is sent; no step in the history).
    void putBack()
    {
        ModelState now = model.state();
        std::copy(std::begin(start.store.ChMute), std::end(start.store.ChMute), std::begin(now.store.ChMute));
        if (now != model.state()) model.restoreUnrecorded(now);
    }

    void joinWorker()
    {
        if (worker.joinable()) worker.join();
    }

    void end(bool ok, const QString &reason)
    {
        cancel = true;
        joinWorker();
        putBack();
        running = false;
        waiting = false;
        if (ok) emit q->finished(done);
        else emit q->failed(reason);
    }

    // The next capture of the current output: the mutes first, then the card prepared, then the worker.
    void capture()
    {
        const int ch = channels[index];
        soloOutput(ch);
        if (!model.linked()) return end(false, T(Txt::RunProcessorLost, language));
        const bool check = position < 0;
        const Sweep sweep(sweepFor(ch, check));
        AudioRequest request = sweep.request(settings.outputDevice, settings.inputDevice);
        QString why;
        if (!audio.prepare(request, &why)) return end(false, T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(why));
        emit q->progress(ch, std::max(position, 0), 100 * capturesDone() / std::max(1, totalCaptures()),
                         T(check || steps > 0 ? Txt::RunStepLevel : Txt::RunStepSweep, language));
        AnalysisOptions options;
        options.mic = settings.hasMic ? &settings.mic : nullptr;
        options.spl = settings.spl;
        options.clockPpm = clockPpm;
        cancel = false;
        worker = std::thread([this, sweep, request = std::move(request), options] {
            auto outcome = std::make_shared<Outcome>();
            AudioCapture recorded;
            outcome->ok = audio.playRecord(request, recorded, cancel, &outcome->why);
            if (outcome->ok && !cancel) {
                SweepAnalyzer analyzer(sweep, MEASURE_GATE_MS, MEASURE_PRE_GATE_MS);
                outcome->result = analyzer.analyze(recorded, options);
            }
            // Queued to the run's thread; dropped when the run is gone (its destructor joins this thread).
            QMetaObject::invokeMethod(q, [this, outcome] { onCaptured(*outcome); }, Qt::QueuedConnection);
        });
    }

    void onCaptured(const Outcome &o)
    {
        joinWorker();
        if (!running) return;
        const int ch = channels[index];
        if (cancel) return end(false, T(Txt::RunCancelled, language));
        if (!o.ok) return end(false, T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(o.why));
        if (!model.linked()) return end(false, T(Txt::RunProcessorLost, language));
        const CaptureResult &r = o.result;
        // The level check: a clip is taken again a step lower, as an installer would turn the level down.
        if (r.clipped() && checking && steps < LEVEL_STEPS && settings.sweep.levelDbfs - cutDb - LEVEL_STEP_DB >= -60.0) {
            ++steps;
            cutDb += LEVEL_STEP_DB;
            return capture();
        }
        if (r.clipped()) return end(false, checking ? T(Txt::RunLevelClipped, language) : T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(T(Txt::RunLevelClipped, language)));
        if (r.lateSeconds > 0.0 && !lateRetaken) {
            lateRetaken = true;
            tail = std::min(MAX_TAIL_SECONDS, r.lateSeconds + MEASURE_GATE_MS / 1000.0 + LATE_MARGIN_SECONDS);
            return capture();
        }
        if (r.noSignal) return end(false, checking ? T(Txt::RunLevelSilent, language) : T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(T(Txt::RunLevelSilent, language)));
        if (!r.problem.isEmpty()) return end(false, T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(r.problem));
        checking = false;
        lateRetaken = false;
        if (position >= 0 && settings.sweep.twice && !std::isfinite(clockPpm)) clockPpm = r.clockPpm;
        if (position >= 0) captured.push_back(r);
        ++position;
        if (position < settings.positions) {
            if (position == 0 || autoAdvance) return capture();
            waiting = true;
            emit q->waitingForPosition(ch, position + 1);
            return;
        }
        OutputMeasurement m;
        m.channel = ch;
        m.levelCutDb = cutDb;
        m.positions = std::move(captured);
        captured.clear();
        QString why;
        if (!AveragePositions(m.positions, m.result, &why)) return end(false, T(Txt::RunCaptureFailed, language).arg(ch + 1).arg(why));
        done.push_back(m);
        emit q->outputMeasured(m);
        if (!running) return;  // a receiver cancelled
        if (++index == channels.size()) return end(true, QString());
        beginOutput();
        capture();
    }
};

MeasureRun::MeasureRun(TuningModel &model, AudioIo &audio, QObject *parent)
    : QObject(parent), d_(std::make_unique<Impl>(this, model, audio))
{
    qRegisterMetaType<OutputMeasurement>("OutputMeasurement");
}

MeasureRun::~MeasureRun()
{
    if (d_->running) d_->end(false, T(Txt::RunCancelled, d_->language));
    d_->cancel = true;
    d_->joinWorker();
}

QString MeasureRun::check(int ch, const MeasureSettings &settings) const
{
    if (ch < 0 || ch >= CH_COUNT) return T(Txt::RunBadSettings, settings.language).arg(QStringLiteral("CH%1").arg(ch + 1));
    const uint8_t code = d_->model.store.ChName[ch];
    if (IsTweeter(code) && HighpassCorner(d_->model.store, ch) <= 0.0)
        return T(Txt::RunTweeterNoHighpass, settings.language).arg(ch + 1).arg(SpeakerName(code, settings.language));
    SweepSettings s = settings.sweep;
    s.startHz = std::max(s.startHz, HighpassCorner(d_->model.store, ch));
    const QString why = s.check();
    return why.isEmpty() ? QString() : T(Txt::RunBadSettings, settings.language).arg(why);
}

bool MeasureRun::start(const std::vector<int> &channels, const MeasureSettings &settings, QString *why)
{
    auto refuse = [why](const QString &reason) {
        if (why) *why = reason;
        return false;
    };
    if (d_->running) return refuse(T(Txt::RunBusy, settings.language));
    if (channels.empty()) return refuse(T(Txt::RunBadSettings, settings.language).arg(QStringLiteral("no output")));
    if (settings.positions < 1 || settings.positions > MAX_POSITIONS)
        return refuse(T(Txt::RunBadSettings, settings.language).arg(QStringLiteral("positions: 1..%1").arg(MAX_POSITIONS)));
    for (int ch : channels)
        if (const QString reason = check(ch, settings); !reason.isEmpty()) return refuse(reason);
    Impl &d = *d_;
    d.channels = channels;
    d.language = settings.language;
    d.settings = settings;
    d.clockPpm = settings.clockPpm;
    d.tail = 0.0;
    d.lateRetaken = false;
    d.start = d.model.state();
    d.index = 0;
    d.beginOutput();
    d.captured.clear();
    d.done.clear();
    d.waiting = false;
    d.cancel = false;
    d.running = true;
    // The first capture follows from the event loop, so that start() itself never emits.
    QMetaObject::invokeMethod(this, [this] {
        if (d_->running && !d_->worker.joinable()) d_->capture();
    }, Qt::QueuedConnection);
    return true;
}

void MeasureRun::cancel()
{
    if (!d_->running) return;
    d_->cancel = true;
    // A capture under way ends through its worker; otherwise the run ends here.
    if (!d_->worker.joinable()) d_->end(false, T(Txt::RunCancelled, d_->language));
}

bool MeasureRun::running() const
{
    return d_->running;
}

void MeasureRun::setAutoAdvance(bool on)
{
    d_->autoAdvance = on;
    if (on) continuePositions();
}

void MeasureRun::continuePositions()
{
    if (!d_->running || !d_->waiting) return;
    d_->waiting = false;
    d_->capture();
}

bool MeasureRun::runBlocking(const std::vector<int> &channels, const MeasureSettings &settings,
                             std::vector<OutputMeasurement> &out, QString *why)
{
    if (!start(channels, settings, why)) return false;
    QEventLoop loop;
    bool ok = false;
    const auto a = connect(this, &MeasureRun::finished, &loop, [&](const std::vector<OutputMeasurement> &all) {
        out = all;
        ok = true;
        loop.quit();
    });
    const auto b = connect(this, &MeasureRun::failed, &loop, [&](const QString &reason) {
        if (why) *why = reason;
        loop.quit();
    });
    if (d_->running) loop.exec();
    disconnect(a);
    disconnect(b);
    return ok;
}
