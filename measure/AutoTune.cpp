// The auto-tune's run: measure, plan on a worker thread, write, verify, refine once, and report or put back.
#include "AutoTune.h"

#include "EditHistory.h"
#include "TuningModel.h"

#include <QEventLoop>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

enum class Phase { Idle, Measuring, Fitting, Verifying, Refining, RefineVerifying };

QString Text(bool english, const char *en, const QString &zh) { return english ? QString::fromLatin1(en) : zh; }

}  // namespace

// The run's state. It stands between MeasureRun and the sound card to count the audio the run takes.
struct AutoTune::Impl : public AudioIo {
    Impl(AutoTune &owner, TuningModel &m, AudioIo &a)
        : q(owner), model(m), audio(a), run(std::make_unique<MeasureRun>(m, *this))
    {
    }

    AutoTune &q;
    TuningModel &model;
    AudioIo &audio;
    std::unique_ptr<MeasureRun> run;

    Phase phase = Phase::Idle;
    AutoTuneSettings settings;
    std::vector<int> channels;
    ModelState start;
    bool written = false;
    bool cancelled = false;
    AutoTuneReport report;   // the run under way
    AutoTuneReport last;     // the last finished run
    std::atomic<int64_t> audioMicros{0};  // recorded so far (a capture a clip stopped counts what it recorded)
    std::array<double, CH_COUNT> cutDb{};  // per output: how far below the settings' level it was measured
    double clockPpm = std::numeric_limits<double>::quiet_NaN();  // the microphone's clock as the first pass read it
    double heardSeconds = 0.0;  // the latest direct sound the first pass heard, after its sweep started playing

    // The worker's job and what it leaves (read on the window's thread after the join).
    std::thread worker;
    uint64_t generation = 0;
    ParamBlock planned{};
    std::vector<CaptureResult> measured;
    std::vector<int> refining;  // indexes into report.outputs

    // --- AudioIo: forwarded, the recorded frames counted ---
    std::vector<AudioDevice> devices() override { return audio.devices(); }
    bool prepare(const AudioRequest &request, QString *why) override { return audio.prepare(request, why); }
    bool playRecord(const AudioRequest &request, AudioCapture &out, const std::atomic<bool> &cancel,
                    QString *why) override  // on MeasureRun's worker thread
    {
        const bool ok = audio.playRecord(request, out, cancel, why);
        if (ok && out.sampleRate > 0) audioMicros += std::llround(1e6 * out.frames() / out.sampleRate);
        return ok;
    }

    QString tr(const char *en, const QString &zh) const { return Text(settings.english, en, zh); }
    QString cancelledText() const { return tr("Cancelled.", QStringLiteral("已取消。")); }

    int base() const  // the share of the whole run done before the present phase
    {
        switch (phase) {
        case Phase::Measuring: return 0;
        case Phase::Fitting: return 55;
        case Phase::Verifying: return 60;
        case Phase::Refining: case Phase::RefineVerifying: return 90;
        case Phase::Idle: break;
        }
        return 100;
    }
    int span() const
    {
        return phase == Phase::Measuring ? 55 : phase == Phase::Verifying ? 30 : phase == Phase::Fitting ? 5 : 10;
    }
    AutoTuneStage stage() const
    {
        switch (phase) {
        case Phase::Fitting: return AutoTuneStage::Fitting;
        case Phase::Verifying: return AutoTuneStage::Verifying;
        case Phase::Refining: case Phase::RefineVerifying: return AutoTuneStage::Refining;
        default: return AutoTuneStage::Measuring;
        }
    }

    void joinWorker()
    {
        if (worker.joinable()) worker.join();
    }

    // Runs job on the worker thread; then() follows on the window's thread unless the run ended meanwhile.
    void onWorker(std::function<void()> job, std::function<void()> then)
    {
        joinWorker();
        const uint64_t gen = ++generation;
        worker = std::thread([this, gen, job = std::move(job), then = std::move(then)]() {
            const auto t0 = std::chrono::steady_clock::now();
            job();
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
            QMetaObject::invokeMethod(
                &q,
                [this, gen, seconds, then]() {
                    if (gen != generation) return;
                    joinWorker();
                    report.computeSeconds += seconds;
                    if (cancelled) return end(cancelledText());
                    then();
                },
                Qt::QueuedConnection);
        });
    }

    bool measure(const std::vector<int> &chs, bool verifying)
    {
        MeasureSettings ms = settings.measure;
        ms.language = settings.english ? 1 : 0;
        if (verifying) {  // one short sweep at the level each output's check ended at (a clip still steps it down)
            ms.sweep.seconds = settings.verifySeconds;
            ms.positions = 1;
            for (const OutputTuning &t : report.outputs) ms.levelCutDb[size_t(t.channel)] = cutDb[size_t(t.channel)];
            ms.clockPpm = clockPpm;  // the microphone's clock as the first pass read it: one sweep each
            ms.sweep.tailSeconds = std::max(SWEEP_MIN_TAIL_SECONDS, heardSeconds + MEASURE_GATE_MS / 1000.0 + AUTOTUNE_TAIL_MARGIN_SECONDS);
        }
        QString why;
        if (run->start(chs, ms, &why)) return true;
        end(why);
        return false;
    }

    void measured1(const std::vector<OutputMeasurement> &all)
    {
        measured.clear();
        report.outputs.clear();
        for (int ch : channels) {
            OutputTuning t;
            t.channel = ch;
            for (const OutputMeasurement &m : all) {
                if (m.channel != ch) continue;
                measured.push_back(m.result);
                cutDb[size_t(ch)] = m.levelCutDb;
                if (!m.positions.empty() && !std::isfinite(clockPpm)) clockPpm = m.positions.front().clockPpm;
                for (const CaptureResult &p : m.positions)
                    if (p.sampleRate > 0)
                        heardSeconds = std::max(heardSeconds, (p.arrivalSamples + p.latencySamples) / p.sampleRate);
            }
            report.outputs.push_back(t);
        }
        if (measured.size() != channels.size())
            return end(tr("An output was not measured.", QStringLiteral("有输出未被测量。")));
        phase = Phase::Fitting;
        emit q.progress(stage(), -1, base(), tr("Fitting", QStringLiteral("计算调音")));
        // Outputs whose left/right link carries the equaliser (modes 0 and 1) keep one equaliser.
        AutoTunePlan::EqPartners partners = AutoTunePlan::NO_EQ_PARTNERS;
        for (int a = 0; a < CH_COUNT; ++a)
            for (int b = 0; b < CH_COUNT && partners[size_t(a)] < 0; ++b)
                if (model.links.LinkMatrix[a][b] && model.links.LinkMode[a] <= 1) partners[size_t(a)] = b;
        onWorker([this, partners]() { planned = AutoTunePlan::Plan(start.store, measured, settings.goal, report.outputs, partners); },
                 [this]() {
                     for (OutputTuning &t : report.outputs)
                         if (cutDb[size_t(t.channel)] > 0.0)
                             AutoTunePlan::NoteLevel(t, settings.measure.sweep.levelDbfs - cutDb[size_t(t.channel)]);
                     write(Phase::Verifying, channels);
                 });
    }

    void write(Phase next, const std::vector<int> &verify)
    {
        emit q.progress(AutoTuneStage::Writing, -1, base() + span(), tr("Writing", QStringLiteral("写入")));
        if (cancelled) return end(cancelledText());
        ModelState s = model.state();
        s.store = planned;
        model.restoreUnrecorded(s);
        written = true;
        phase = next;
        measure(verify, true);
    }

    void verified(const std::vector<OutputMeasurement> &all)
    {
        refining.clear();
        for (size_t i = 0; i < report.outputs.size(); ++i) {
            OutputTuning &t = report.outputs[i];
            for (const OutputMeasurement &m : all) {
                if (m.channel != t.channel) continue;
                cutDb[size_t(t.channel)] = m.levelCutDb;
                AutoTunePlan::Verify(t, m.result);
                if (phase == Phase::Verifying && AutoTunePlan::NeedsRefining(t)) {
                    refining.push_back(int(i));
                    measured[i] = m.result;
                }
            }
        }
        if (refining.empty()) return succeed();
        phase = Phase::Refining;
        emit q.progress(stage(), -1, base(), tr("Refining", QStringLiteral("细调")));
        planned = model.state().store;
        onWorker(
            [this]() {
                for (int i : refining)
                    AutoTunePlan::Refine(report.outputs[size_t(i)], measured[size_t(i)], settings.goal, planned);
            },
            [this]() {
                std::vector<int> again;
                for (int i : refining) again.push_back(report.outputs[size_t(i)].channel);
                write(Phase::RefineVerifying, again);
            });
    }

    void succeed()
    {
        model.recordStepFrom(start);
        phase = Phase::Idle;
        report.audioSeconds = double(audioMicros.load()) / 1e6;
        last = report;
        emit q.progress(AutoTuneStage::Verifying, -1, 100, tr("Done", QStringLiteral("完成")));
        emit q.finished(last);
    }

    // Ends a run that did not succeed: the processor back as it was, without a step.
    void end(const QString &reason)
    {
        if (phase == Phase::Idle) return;
        ++generation;
        phase = Phase::Idle;
        if (written) model.restoreUnrecorded(start);
        written = false;
        emit q.failed(reason);
    }
};

AutoTune::AutoTune(TuningModel &model, AudioIo &audio, QObject *parent)
    : QObject(parent), d_(std::make_unique<Impl>(*this, model, audio))
{
    qRegisterMetaType<AutoTuneReport>("AutoTuneReport");
    MeasureRun *run = d_->run.get();
    connect(run, &MeasureRun::progress, this, [this](int ch, int, int percent, const QString &step) {
        if (d_->phase == Phase::Idle) return;
        emit progress(d_->stage(), ch, d_->base() + d_->span() * percent / 100, step);
    });
    connect(run, &MeasureRun::waitingForPosition, this, &AutoTune::waitingForPosition);
    connect(run, &MeasureRun::finished, this, [this](const std::vector<OutputMeasurement> &all) {
        if (d_->phase == Phase::Measuring) d_->measured1(all);
        else if (d_->phase == Phase::Verifying || d_->phase == Phase::RefineVerifying) d_->verified(all);
    });
    connect(run, &MeasureRun::failed, this, [this](const QString &reason) {
        d_->end(d_->cancelled ? d_->cancelledText() : reason);
    });
}

AutoTune::~AutoTune()
{
    // The measuring run first puts back what it changed; then the tuning written is taken back.
    disconnect(d_->run.get(), nullptr, this, nullptr);
    d_->cancelled = true;
    d_->run.reset();
    ++d_->generation;
    d_->joinWorker();
    if (d_->written) d_->model.restoreUnrecorded(d_->start);
}

std::vector<int> AutoTune::channels(const AutoTuneSettings &settings) const
{
    if (!settings.channels.empty()) return settings.channels;
    std::vector<int> out;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        if (AutoTunePlan::HasSpeaker(d_->model.store, ch)) out.push_back(ch);
    return out;
}

QString AutoTune::check(const AutoTuneSettings &settings) const
{
    const std::vector<int> chs = channels(settings);
    const bool en = settings.english;
    if (chs.empty()) return Text(en, "No output has a speaker name.", QStringLiteral("没有已命名扬声器的输出。"));
    for (int ch : chs)
        if (ch < 0 || ch >= CH_COUNT) return Text(en, "An output is not 1..6.", QStringLiteral("输出不在 1..6 之内。"));
    if (!(settings.verifySeconds >= SWEEP_MIN_SECONDS && settings.verifySeconds <= SWEEP_MAX_SECONDS))
        return Text(en, "The verifying sweep must last 0.5 to 6 s.", QStringLiteral("验证扫频须为 0.5 至 6 秒。"));
    if (!(settings.goal.maxBoostDb >= 0.0 && settings.goal.maxBoostDb <= 12.0))
        return Text(en, "The maximum boost must be 0 to 12 dB.", QStringLiteral("最大提升须为 0 至 12 dB。"));
    if (!(std::abs(settings.goal.subOffsetDb) <= 20.0))
        return Text(en, "The subwoofer offset must be within +-20 dB.", QStringLiteral("低音炮偏移须在 ±20 dB 之内。"));
    for (int ch : chs) {
        const QString why = d_->run->check(ch, settings.measure);
        if (!why.isEmpty()) return QStringLiteral("CH%1: %2").arg(ch + 1).arg(why);
    }
    return QString();
}

bool AutoTune::start(const AutoTuneSettings &settings, QString *why)
{
    QString reason = running() ? Text(settings.english, "An auto-tune is under way.", QStringLiteral("自动调音正在进行。"))
                               : check(settings);
    if (!reason.isEmpty()) {
        if (why) *why = reason;
        return false;
    }
    Impl &d = *d_;
    d.joinWorker();
    d.settings = settings;
    MeasureSettings &ms = d.settings.measure;
    ms.sweep.leadSeconds = AUTOTUNE_LEAD_SECONDS;
    ms.sweep.tailSeconds = AUTOTUNE_TAIL_SECONDS;
    ms.levelCheck = ms.checkOnFirstSweep = true;
    ms.levelCutDb = {};
    d.channels = channels(settings);
    d.start = d.model.state();
    d.written = false;
    d.cancelled = false;
    d.report = AutoTuneReport();
    d.audioMicros = 0;
    d.cutDb = {};
    d.clockPpm = std::numeric_limits<double>::quiet_NaN();
    d.heardSeconds = 0.0;
    d.phase = Phase::Measuring;
    if (!d.run->start(d.channels, ms, &reason)) {
        d.phase = Phase::Idle;
        if (why) *why = reason;
        return false;
    }
    return true;
}

void AutoTune::cancel()
{
    if (!running()) return;
    d_->cancelled = true;
    // While fitting or writing, the worker's end or the write finds the run cancelled.
    if (d_->phase == Phase::Fitting || d_->phase == Phase::Refining) return;
    if (d_->run->running()) d_->run->cancel();  // its failed() ends the run
    else d_->end(d_->cancelledText());
}

bool AutoTune::running() const { return d_->phase != Phase::Idle; }

void AutoTune::setAutoAdvance(bool on) { d_->run->setAutoAdvance(on); }

void AutoTune::continuePositions() { d_->run->continuePositions(); }

bool AutoTune::runBlocking(const AutoTuneSettings &settings, AutoTuneReport &out, QString *why)
{
    QEventLoop loop;
    bool ok = false;
    QString reason;
    const auto done = connect(this, &AutoTune::finished, &loop, [&](const AutoTuneReport &r) {
        out = r;
        ok = true;
        loop.quit();
    });
    const auto fail = connect(this, &AutoTune::failed, &loop, [&](const QString &r) {
        reason = r;
        loop.quit();
    });
    if (start(settings, &reason)) loop.exec();
    disconnect(done);
    disconnect(fail);
    if (!ok && why) *why = reason;
    return ok;
}

const AutoTuneReport &AutoTune::report() const { return d_->last; }
