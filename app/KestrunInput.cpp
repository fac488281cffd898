// Input source, noise gate and the comparison check boxes.
#include "Kestrun.h"

#include "OutputStrip.h"
#include "InputControls.h"
#include "TuningModel.h"

// A click on the source in use sends nothing; the buttons show the stored source either way.
void Kestrun::on_BT_INPUT_HI_clicked() { model_.chooseInputSource(0); }
void Kestrun::on_BT_INPUT_LOW_clicked() { model_.chooseInputSource(1); }
void Kestrun::on_BT_INPUT_OPT_clicked() { model_.chooseInputSource(2); }

void Kestrun::Input_Button_Show(uint8_t source)
{
    Input->showSource(source);
}

void Kestrun::on_BT_INPUT_BT_clicked() {}
void Kestrun::on_BT_INPUT_COAX_clicked() {}

void Kestrun::noiseGateChosen(int level)
{
    model_.chooseNoiseGate(level);
}

// The painter reads the six check states; nothing is stored or sent.
void Kestrun::comparisonChanged(int, int)
{
    updateGraph();
}

void Kestrun::CarMap_Update_Change()
{
    for (OutputStrip *s : Strip) s->showDelay();
}

void Kestrun::SourceSet_Slider_Change(uint8_t, uint16_t) {}
