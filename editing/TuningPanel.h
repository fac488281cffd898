// The measurement and auto-EQ panel: measurement overlay, target, fit, filter files and time alignment.
#pragma once

#include "FramelessDialog.h"
#include "ParamStore.h"
#include "Texts.h"

#include <QString>
#include <array>
#include <utility>
#include <vector>

class FileDialogs;
class MeasurementOverlay;
class Notice;
class RecentFolder;
class TuningModel;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QVBoxLayout;
struct ModelChange;
struct TextError;

// Works on the selected output; every result goes through the model as one undoable step. A top-level
// window of its own beside the main window; closed, it is hidden and keeps its settings while the program runs.
class TuningPanel : public FramelessDialog
{
    Q_OBJECT
public:
    TuningPanel(TuningModel &model, MeasurementOverlay &overlay, const Notice &notice, RecentFolder &folder,
                QWidget *parent = nullptr);

    QLabel *outputLabel = nullptr;
    QPushButton *loadButton = nullptr;
    QLabel *measurementName = nullptr;
    QComboBox *smoothing = nullptr;      // none, 1/24 .. 1/3 octave
    QDoubleSpinBox *offset = nullptr;
    QCheckBox *curveBox[3] = {};           // measured, predicted, target
    QComboBox *target = nullptr;         // flat, tilt, car, file
    QSpinBox *rangeLo = nullptr;
    QSpinBox *rangeHi = nullptr;
    QPushButton *rangeDefault = nullptr;
    QDoubleSpinBox *maxBoost = nullptr;
    QLineEdit *locks = nullptr;          // band numbers, "1,5,7"
    QComboBox *mode = nullptr;           // PEQ, GEQ
    QPushButton *fitButton = nullptr;
    QLabel *fitResult = nullptr;
    QPushButton *importButton = nullptr;
    QPushButton *exportButton = nullptr;
    QDoubleSpinBox *distance[CH_COUNT] = {};
    QComboBox *unit = nullptr;           // cm, inches
    QPushButton *alignButton = nullptr;
    QLabel *alignResult = nullptr;

    // A refused text file in both languages: the line (when known) and the reason.
    static QString refusal(const TextError &err, uint8_t language);
    // Every caption again in the current language.
    void applyLanguage();

signals:
    // A file was written (filter export).
    void saved(const QString &path);

public slots:
    void loadMeasurement();
    void chooseTarget(int index);
    void fit();
    void importFilters();
    void exportFilters();
    void align();

private:
    // Captioned controls, retitled by applyLanguage.
    QGridLayout *group(QVBoxLayout *column, Txt title);
    QPushButton *button(Txt text);
    QLabel *label(Txt text);
    void buildMeasurement(QGridLayout *g);
    void buildFit(QGridLayout *g);
    void buildAlignment(QGridLayout *g);
    void modelChanged(const ModelChange &c);
    void showOutput();  // the controls show the selected output's settings
    void setDefaultRange();
    int channel() const;  // the selected output, or -1
    bool readLocks(std::array<bool, BAND_COUNT> &locked) const;
    void refuse(const TextError &err) const;
    // The file the user picks for the selected output; empty without an output or when cancelled.
    QString pickFile(Txt caption, Txt filter, const QString &saveName = QString());
    void convertDistances(int unitIndex);  // the distances shown in the newly chosen unit
    void delaysChanged();                  // the alignment note goes once the delays differ from it

    TuningModel &model_;
    MeasurementOverlay &overlay_;
    const Notice &notice_;
    RecentFolder &folder_;
    int unitShown_ = 0;                        // the unit the distances are shown in: 0 = cm, 1 = inches
    std::array<uint16_t, CH_COUNT> aligned_{};  // the delays the alignment note speaks of
    std::vector<std::pair<QWidget *, Txt>> captions_;
};
