// The slots of the equaliser family: the band entries, PEQ/GEQ, bypass and the flat reset.
#pragma once

#include "ParamStore.h"

#include <QObject>

class BandColumn;
class KestrunForm;
class Notice;
class TuningModel;

class EqualizerSlots : public QObject
{
    Q_OBJECT
public:
    // columns: the window's band columns, filled in after this part is made.
    EqualizerSlots(KestrunForm &ui, TuningModel &model, Notice &notice, BandColumn *(&columns)[BAND_COUNT]);

public slots:
    void eqGainSliderChanged(int band, int value);
    void eqGainEdited(int band);
    void eqFreqEdited(int band);
    void eqQEdited(int band);
    void on_BT_PEQ_clicked();
    void on_BT_GEQ_clicked();
    void on_BT_EQ_BYPASS_clicked();
    void on_BT_EQ_RESET_clicked();
    void on_BT_LED_16_clicked();

private:
    void setEqMode(bool parametric);

    KestrunForm *ui;
    TuningModel &model_;
    Notice &notice_;
    BandColumn *(&Column)[BAND_COUNT];
};
