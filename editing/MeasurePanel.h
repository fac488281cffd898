// The measurement panel: sound card, sweep, calibration and positions, a run over the selected or every named
// output, and the impulse of the last result; each result becomes that output's measurement in the overlay.
#pragma once

#include "FramelessDialog.h"
#include "MeasureRun.h"
#include "Texts.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

class AudioIo;
class ImpulseView;
class MeasurementOverlay;
class RecentFolder;
class TuningModel;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
struct ModelChange;

// A top-level window of its own beside the main window; closed, it is hidden and keeps its settings (closing
// it cancels a run under way). The run (MeasureRun) never blocks the window: its captures run on a worker
// and every step comes back as a signal, so cancel works at any moment.
class MeasurePanel : public FramelessDialog
{
    Q_OBJECT
public:
    MeasurePanel(TuningModel &model, AudioIo &audio, MeasurementOverlay &overlay, RecentFolder &folder,
                 QWidget *parent = nullptr);
    ~MeasurePanel() override;

    QComboBox *outputDevice = nullptr;  // item data: the device name, empty for the system's default
    QComboBox *inputDevice = nullptr;
    QPushButton *refreshButton = nullptr;
    QComboBox *rate = nullptr;          // item data: 44100, 48000
    QDoubleSpinBox *sweepSeconds = nullptr;
    QDoubleSpinBox *sweepLevel = nullptr;
    QPushButton *micLoad = nullptr;
    QPushButton *micClear = nullptr;
    QLabel *micName = nullptr;
    QSpinBox *positions = nullptr;
    QCheckBox *levelCheck = nullptr;
    QPushButton *measureButton = nullptr;     // the selected output
    QPushButton *measureAllButton = nullptr;  // every output with a speaker name
    QPushButton *cancelButton = nullptr;
    QPushButton *continueButton = nullptr;    // the microphone is at the next position
    QProgressBar *progress = nullptr;
    QLabel *status = nullptr;
    ImpulseView *impulse = nullptr;
    QLabel *impulseInfo = nullptr;
    QPushButton *exportTextButton = nullptr;
    QPushButton *exportWavButton = nullptr;

    MeasureRun &run() { return run_; }
    // Every caption, the status and the result again in the given language (0 = Chinese).
    void applyLanguage(uint8_t language);
    // The settings the controls hold.
    MeasureSettings settings() const;

public slots:
    void measureSelected();
    void measureAll();
    void cancel();
    void refreshDevices();
    void loadMic();
    void exportText();
    void exportWav();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    using Text = std::function<QString(uint8_t language)>;

    QGridLayout *group(QVBoxLayout *column, Txt title);
    template <class W>
    W *captioned(Txt text);
    void buildDevices(QGridLayout *g);
    void buildSweep(QGridLayout *g);
    void buildRun(QGridLayout *g);
    void buildImpulse(QGridLayout *g);

    void start(const std::vector<int> &channels);
    void setRunning(bool on);
    void setStatus(Text text);
    void fitText();  // the panel grows or shrinks to its texts
    void showResult();  // the impulse view and its line from last_
    void modelChanged(const ModelChange &c);
    int selected() const;  // the selected output, or -1

    void onProgress(int ch, int position, int percent, const QString &step);
    void onWaiting(int ch, int nextPosition);
    void onMeasured(const OutputMeasurement &m);
    void onFinished();
    void onFailed(const QString &reason);

    TuningModel &model_;
    AudioIo &audio_;
    MeasurementOverlay &overlay_;
    RecentFolder &folder_;
    MeasureRun run_;
    uint8_t language_ = 0;
    MicCalibration mic_;
    QString micFile_;                  // file name of the calibration in use, empty without one
    std::vector<int> measured_;        // those done in it
    std::vector<std::pair<int, double>> stepped_;  // those whose level was stepped down, and the level (dBFS)
    OutputMeasurement last_;           // the result shown (channel -1: none yet)
    Text status_;
    std::vector<std::pair<QWidget *, Txt>> captions_;
};
