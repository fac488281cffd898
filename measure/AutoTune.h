// The auto-tune: every named output measured, then polarity, delays, levels and equalisers written as one
// undoable step of the model, measured again to verify, refined once where the verification falls short.
#pragma once

#include "AudioIo.h"
#include "AutoTunePlan.h"
#include "MeasureRun.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class TuningModel;

// The silence before each sweep: the sound card starts playing and recording together (PortAudioIo), so the
// lead only covers the blocks a card may still lose as it starts; one block of 2048 frames at 44.1 kHz.
constexpr double AUTOTUNE_LEAD_SECONDS = 0.05;

// The measuring pass's tail: the card's latency, a car's decay, the gate and the noise estimate. The verifying
// sweeps record only the latest arrival the measuring pass heard (the card's latency included; the tuning's
// delays bring the other outputs up to it, not past it), the gate after it and AUTOTUNE_TAIL_MARGIN_SECONDS for
// a stream whose latency differs from the measuring pass's (a sound server's differed by 85 ms between captures).
// A card slower than the measuring tail allows has its first capture taken again with a longer one (MeasureRun).
constexpr double AUTOTUNE_TAIL_SECONDS = 0.5;
constexpr double AUTOTUNE_TAIL_MARGIN_SECONDS = 0.1;

struct AutoTuneSettings {
    // Devices, sweep (1.5 s by default; its level), positions 1..9, calibrations. Whatever it holds, a run sweeps
    // with AUTOTUNE_LEAD_SECONDS and AUTOTUNE_TAIL_SECONDS and checks the level on each output's first sweep,
    // not by a sweep of its own (MeasureSettings::checkOnFirstSweep).
    MeasureSettings measure;
    double verifySeconds = 0.5;   // the verifying sweeps' length (one position; no level check)
    TuningGoal goal;              // target, boost limit, range, subwoofer offset (AutoTunePlan.h)
    std::vector<int> channels;    // outputs 0..5 to tune; empty: every output with a speaker name
    bool english = true;          // the reasons and steps in English, else in Chinese (the window's language)
};

enum class AutoTuneStage {
    Measuring,  // the level check and the first measurement (MeasureRun's progress)
    Fitting,    // polarity, delays, levels and equalisers computed (on a worker thread)
    Writing,    // the tuning written through the model
    Verifying,  // every tuned output measured again
    Refining,   // outputs whose verification fell short fitted again, written and measured again
};

// The whole run's report: one entry per tuned output, and what the run took.
struct AutoTuneReport {
    std::vector<OutputTuning> outputs;  // in channel order
    double audioSeconds = 0.0;          // of all captures (level check, positions, verification)
    double computeSeconds = 0.0;        // fitting and planning, on the worker thread
};

Q_DECLARE_METATYPE(AutoTuneReport)

// Runs on the window's thread; the measurements run through MeasureRun and the fits on a worker thread, their
// results come back through queued signals, so the window never waits. The tuning is one step of the undo
// history, recorded when the run succeeds (the writes before it leave no step). Whatever ends a run early
// (cancel, a failed measurement, the processor or the sound card gone) puts the processor back as it was
// before the run, without a step in the history, and then emits failed().
class AutoTune : public QObject
{
    Q_OBJECT
public:
    AutoTune(TuningModel &model, AudioIo &audio, QObject *parent = nullptr);
    ~AutoTune() override;  // cancels a run under way and waits for its worker

    // The outputs a run with these settings tunes (settings.channels, or every output with a speaker name).
    std::vector<int> channels(const AutoTuneSettings &settings) const;
    // Empty when a run can start with these settings, else the reason (in the settings' language).
    QString check(const AutoTuneSettings &settings) const;
    // False with the reason, and nothing changed, when check() fails or a run is under way.
    bool start(const AutoTuneSettings &settings, QString *why);
    void cancel();
    bool running() const;

    // As MeasureRun: between positions the run waits for continuePositions() unless autoAdvance is on.
    void setAutoAdvance(bool on);
    void continuePositions();

    // The same run for callers without an event loop of their own (command line, tests): waits in a local
    // event loop until it ends. False with the reason when it failed or was cancelled.
    bool runBlocking(const AutoTuneSettings &settings, AutoTuneReport &out, QString *why);

    // The last finished run's report (empty before one).
    const AutoTuneReport &report() const;

signals:
    // percent: of the whole run, 0..100; ch: the output at work (-1 for none); step: in the settings' language.
    void progress(AutoTuneStage stage, int ch, int percent, const QString &step);
    void waitingForPosition(int ch, int nextPosition);  // 1-based position the user should move to
    void finished(const AutoTuneReport &report);        // the tuning is written and is one undoable step
    void failed(const QString &reason);                 // the processor is already back as it was

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
