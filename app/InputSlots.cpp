// Input source, noise gate and the comparison check boxes.
#include "InputSlots.h"

#include "Kestrun.h"
#include "ResponseGraph.h"

#include "OutputStrip.h"
#include "InputControls.h"
#include "TuningModel.h"

#include <QCheckBox>
#include <QPushButton>

InputSlots::InputSlots(Kestrun &window, TuningModel &model, InputControls *&input, OutputStrip *(&strips)[CH_COUNT])
    : w_(window), model_(model), Input(input), Strip(strips)
{
    KestrunForm *ui = w_.ui;
    for (int ch = 0; ch < CH_COUNT; ++ch)
        connect(ui->checkBox[ch], &QCheckBox::stateChanged, this, [this, ch](int s) { comparisonChanged(ch, s); });
    connect(ui->BT_INPUT_BT, &QPushButton::clicked, this, &InputSlots::on_BT_INPUT_BT_clicked);
    connect(ui->BT_INPUT_COAX, &QPushButton::clicked, this, &InputSlots::on_BT_INPUT_COAX_clicked);
}

// A click on the source in use sends nothing; the buttons show the stored source either way.
void InputSlots::on_BT_INPUT_HI_clicked() { model_.chooseInputSource(0); }
void InputSlots::on_BT_INPUT_LOW_clicked() { model_.chooseInputSource(1); }
void InputSlots::on_BT_INPUT_OPT_clicked() { model_.chooseInputSource(2); }

void InputSlots::Input_Button_Show(uint8_t source)
{
    Input->showSource(source);
}

void InputSlots::on_BT_INPUT_BT_clicked() {}
void InputSlots::on_BT_INPUT_COAX_clicked() {}

void InputSlots::noiseGateChosen(int level)
{
    model_.chooseNoiseGate(level);
}

// The painter reads the six check states; nothing is stored or sent.
void InputSlots::comparisonChanged(int, int)
{
    w_.graph().update();
}

void InputSlots::CarMap_Update_Change()
{
    for (OutputStrip *s : Strip) s->showDelay();
}

// Slots that exist for the form's sake and do nothing.
void InputSlots::on_BT_CAR_MAP_clicked() {}
void InputSlots::SourceSet_Slider_Change(uint8_t, uint16_t) {}
