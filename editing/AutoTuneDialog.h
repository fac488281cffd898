// The auto-tune window: target, positions, range, boost and subwoofer offset, a run with progress and
// cancel, and at its end each output's report and before/after plot.
#pragma once

#include "AutoTune.h"
#include "FramelessDialog.h"
#include "FreqCurve.h"
#include "OutputComparison.h"
#include "ParamStore.h"

#include <QString>
#include <cstdint>
#include <utility>
#include <vector>

class ComparisonView;
class Notice;
class RecentFolder;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// A top-level window of its own; closed, it is hidden, cancels a run under way and keeps its settings and
// the last report (the setup sheet prints that report's curves). The run (AutoTune) never blocks the window.
class AutoTuneDialog : public FramelessDialog
{
    Q_OBJECT
public:
    AutoTuneDialog(TuningModel &model, AudioIo &audio, const Notice &notice, RecentFolder &folder,
                   QWidget *parent = nullptr);
    ~AutoTuneDialog() override;

    QComboBox *target = nullptr;  // flat, tilt, car, file
    QLabel *targetName = nullptr;
    QSpinBox *positions = nullptr;
    QSpinBox *rangeLo = nullptr;
    QSpinBox *rangeHi = nullptr;
    QDoubleSpinBox *maxBoost = nullptr;
    QDoubleSpinBox *subOffset = nullptr;
    QPushButton *startButton = nullptr;
    QPushButton *cancelButton = nullptr;
    QPushButton *continueButton = nullptr;  // the microphone is at the next position
    QProgressBar *progress = nullptr;
    QLabel *status = nullptr;
    QTableWidget *report = nullptr;  // one row per tuned output
    ComparisonView *plots[CH_COUNT] = {};

    AutoTune &tune() { return tune_; }
    // The menu entry's caption (0 = Chinese).
    static QString menuText(uint8_t language);
    // Every caption, the status and the report again in the given language.
    void applyLanguage(uint8_t language);
    // What a run measures with (devices, sweep, calibration); the dialog's own positions replace its count.
    void setMeasureSettings(const MeasureSettings &settings) { measure_ = settings; }
    // The run's settings from the controls; false with the reason in the dialog's language.
    bool settings(AutoTuneSettings &out, QString *why) const;
    // The last finished run's before/after curves, for the setup sheet; empty before one.
    std::vector<OutputComparison> comparisons() const;

public slots:
    void start();
    void cancel();
    void chooseTarget(int index);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QGridLayout *group(QGridLayout *parent, int row, int column, int text);
    QLabel *label(int text);
    QPushButton *button(int text);
    void setRunning(bool on);
    void setStatus(int text, const QString &arg = QString());
    void showReport();

    void onProgress(AutoTuneStage stage, int ch, int percent, const QString &step);
    void onWaiting(int ch, int nextPosition);
    void onFinished();
    void onFailed(const QString &reason);

    AutoTune tune_;
    const Notice &notice_;
    RecentFolder &folder_;
    MeasureSettings measure_;
    FreqCurve fileTarget_;
    int shownTarget_ = 0;  // the target item in use (a file chosen and then refused goes back to it)
    uint8_t language_ = 0;
    std::pair<int, QString> status_{-1, QString()};  // text id and argument; -1: the engine's own step text
    std::vector<std::pair<QWidget *, int>> captions_;
};
