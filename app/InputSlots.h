// The slots of the input family: input source, noise gate and the comparison check boxes.
#pragma once

#include "ParamStore.h"

#include <QObject>
#include <cstdint>

class InputControls;
class Kestrun;
class OutputStrip;
class TuningModel;

class InputSlots : public QObject
{
    Q_OBJECT
public:
    // input, strips: the window's views, filled in after this part is made.
    InputSlots(Kestrun &window, TuningModel &model, InputControls *&input, OutputStrip *(&strips)[CH_COUNT]);

public slots:
    void on_BT_INPUT_HI_clicked();
    void on_BT_INPUT_LOW_clicked();
    void on_BT_INPUT_OPT_clicked();
    void on_BT_INPUT_BT_clicked();
    void on_BT_INPUT_COAX_clicked();
    void noiseGateChosen(int level);
    void comparisonChanged(int ch, int state);
    void CarMap_Update_Change();
    void on_BT_CAR_MAP_clicked();
    void Input_Button_Show(uint8_t source);  // the looks of the input buttons for a source 0..2
    void SourceSet_Slider_Change(uint8_t, uint16_t);

private:
    Kestrun &w_;
    TuningModel &model_;
    InputControls *&Input;
    OutputStrip *(&Strip)[CH_COUNT];
};
