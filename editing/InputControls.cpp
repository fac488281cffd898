// Passes the input and gate choices to the model and shows the stored ones.
#include "InputControls.h"

#include "KestrunForm.h"
#include "ModelChange.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QAction>
#include <QPushButton>

InputControls::InputControls(KestrunForm &ui, QAction *const gate[7], TuningModel &model, QObject *parent)
    : QObject(parent), ui_(ui), gate_(gate), model_(model)
{
    // A click on the source in use sends nothing; the processor has no Bluetooth or coaxial input, so
    // those two buttons stay hidden and inert.
    QPushButton *const source[3] = {ui.BT_INPUT_HI, ui.BT_INPUT_LOW, ui.BT_INPUT_OPT};
    for (uint8_t s = 0; s < 3; ++s)
        connect(source[s], &QPushButton::clicked, this, [this, s] { model_.chooseInputSource(s); });
    for (int k = 0; k < 7; ++k)
        connect(gate[k], &QAction::triggered, this, [this, k] { model_.chooseNoiseGate(k); });
}

void InputControls::refresh(const ModelChange &change)
{
    if (change.all || change.input) showSource(model_.store.InputSource);
    if ((change.all || change.gate) && model_.store.NoiseGate <= 6) gate_[model_.store.NoiseGate]->setChecked(true);
}

void InputControls::showSource(uint8_t source)
{
    QPushButton *const byKind[3] = {ui_.BT_INPUT_HI, ui_.BT_INPUT_LOW, ui_.BT_INPUT_OPT};
    for (QPushButton *b : {ui_.BT_INPUT_HI, ui_.BT_INPUT_LOW, ui_.BT_INPUT_BT, ui_.BT_INPUT_COAX, ui_.BT_INPUT_OPT}) {
        const bool lit = source < 3 && b == byKind[source];
        b->setStyleSheet(lit ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
    }
}
