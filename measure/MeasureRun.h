// One measuring run through the processor: a level check, then each chosen output swept at 1..9 microphone
// positions with the other outputs muted through the model, and the processor put back as it was at the end.
#pragma once

#include "AudioIo.h"
#include "CaptureResult.h"
#include "MicCalibration.h"
#include "ParamStore.h"
#include "Sweep.h"

#include <QObject>
#include <QString>

#include <array>
#include <limits>
#include <memory>
#include <vector>

class TuningModel;

constexpr double LEVEL_STEP_DB = 6.0;  // a clipping level check is taken again this much lower,
constexpr int LEVEL_STEPS = 3;         // at most this many times (18 dB in all)
// The response is gated this long after the direct sound (so a sweep's tail must hold the arrival and the gate).
// The gate opens MEASURE_PRE_GATE_MS before the direct sound's envelope peak: a low-passed sub's impulse rises
// over several milliseconds before its peak (with 5 ms its magnitude was off by up to 2 dB).
constexpr double MEASURE_GATE_MS = 300.0, MEASURE_PRE_GATE_MS = 20.0;

struct MeasureSettings {
    QString outputDevice;         // names from AudioIo::devices(); empty: the system's default
    QString inputDevice;
    SweepSettings sweep;          // startHz is raised to each output's own high-pass corner
    int positions = 1;            // 1..9; the first is the centre (timing and polarity)
    // Each output's level is checked before it is measured: a short sweep first, or with checkOnFirstSweep the
    // first position's sweep itself (kept when it passes). Silence stops the run; when the microphone clips,
    // the check is taken again LEVEL_STEP_DB lower, up to LEVEL_STEPS times, and the output is measured there.
    bool levelCheck = true;
    bool checkOnFirstSweep = false;
    std::array<double, CH_COUNT> levelCutDb{};  // per output: dB below sweep.levelDbfs to start from (e.g. an
                                                // earlier run's steps, OutputMeasurement::levelCutDb)
    bool hasMic = false;          // mic holds a calibration to apply
    MicCalibration mic;
    SplCalibration spl;
    uint8_t language = 1;         // of the run's messages: 0 = Chinese, nonzero = English
    // The microphone's clock (ppm against the card's) when an earlier run read it: every sweep is then played
    // once. NaN: the run's first sweep plays twice (when sweep.twice) and reads it.
    double clockPpm = std::numeric_limits<double>::quiet_NaN();
};

// What one output's measurement gave: the positions' results and their average.

struct OutputMeasurement {
    int channel = 0;                      // 0..5
    double levelCutDb = 0.0;              // swept this far below the settings' level (levelCutDb and the steps)
    CaptureResult result;                 // averaged over the positions (AveragePositions)
    std::vector<CaptureResult> positions;
};

Q_DECLARE_METATYPE(OutputMeasurement)

// Runs on the window's thread (model edits and the sound card's prepare()); each capture and its analysis
// run on a worker thread and come back through queued signals, so the window never waits. Whatever ends a run
// (done, cancel, a failed capture, the processor or the sound card gone) first puts back every parameter the
// run changed, then emits finished() or failed(). The temporary mutes are not steps of the undo history.
class MeasureRun : public QObject
{
    Q_OBJECT
public:
    MeasureRun(TuningModel &model, AudioIo &audio, QObject *parent = nullptr);
    ~MeasureRun() override;  // cancels a run under way and waits for its worker

    // Empty when output ch (0..5) can be measured with these settings, else the reason in the window's
    // language (e.g. a tweeter without a high-pass).
    QString check(int ch, const MeasureSettings &settings) const;
    // Starts measuring the outputs in order. False with the reason, and nothing changed, when one of them
    // cannot be measured, the settings are invalid or a run is under way.
    bool start(const std::vector<int> &channels, const MeasureSettings &settings, QString *why);
    void cancel();
    bool running() const;

    // Between positions the run waits for continuePositions() (the window asks the user to move the
    // microphone); with autoAdvance the next position follows at once (command line, virtual car).
    void setAutoAdvance(bool on);
    void continuePositions();

    // The same run for callers without an event loop of their own (command line, tests): waits in a local
    // event loop until it ends. False with the reason when it failed or was cancelled.
    bool runBlocking(const std::vector<int> &channels, const MeasureSettings &settings,
                     std::vector<OutputMeasurement> &out, QString *why);

signals:
    void progress(int ch, int position, int percent, const QString &step);
    void waitingForPosition(int ch, int nextPosition);  // 1-based position the user should move to
    void outputMeasured(const OutputMeasurement &m);
    void finished(const std::vector<OutputMeasurement> &all);  // the processor is already put back
    void failed(const QString &reason);                       // the processor is already put back

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};
