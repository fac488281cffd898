// Input source, noise gate and the comparison check boxes.
#include "Kestrun.h"

#include "OutputStrip.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QPushButton>

namespace {

void showLook(QPushButton *b, bool selected)
{
    b->setStyleSheet(selected ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
}

}  // namespace

// A click on the source in use sends nothing; the buttons show the stored source either way.
void Kestrun::on_BT_INPUT_HI_clicked() { Model().chooseInputSource(0); }
void Kestrun::on_BT_INPUT_LOW_clicked() { Model().chooseInputSource(1); }
void Kestrun::on_BT_INPUT_OPT_clicked() { Model().chooseInputSource(2); }

// The processor has no Bluetooth or coaxial input; their buttons stay hidden and inert.
void Kestrun::Input_Button_Show(uint8_t source)
{
    QPushButton *const byKind[3] = {ui->BT_INPUT_HI, ui->BT_INPUT_LOW, ui->BT_INPUT_OPT};
    for (QPushButton *b : {ui->BT_INPUT_HI, ui->BT_INPUT_LOW, ui->BT_INPUT_BT, ui->BT_INPUT_COAX, ui->BT_INPUT_OPT})
        showLook(b, source < 3 && b == byKind[source]);
}

void Kestrun::on_BT_INPUT_BT_clicked() {}
void Kestrun::on_BT_INPUT_COAX_clicked() {}

void Kestrun::noiseGateChosen(int level)
{
    Model().chooseNoiseGate(level);
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
