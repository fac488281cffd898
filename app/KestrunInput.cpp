// Input source, noise gate and the comparison check boxes.
#include "Kestrun.h"

#include "Commands.h"
#include "LinkState.h"
#include "ParamStore.h"
#include "Styles.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

void showLook(QPushButton *b, bool selected)
{
    b->setStyleSheet(selected ? Styles::light(b->objectName()) : Styles::dark(b->objectName()));
}

// Stores a new input source and tells the processor; a click on the source in use sends nothing.
void chooseSource(uint8_t source)
{
    if (ParamStore.InputSource == source) return;
    ParamStore.InputSource = source;
    if (Link.Connected) CMD_INPUT_SOURCE(source);
}

}  // namespace

void Kestrun::on_BT_INPUT_HI_clicked()
{
    for (QPushButton *b : {ui->BT_INPUT_LOW, ui->BT_INPUT_BT, ui->BT_INPUT_COAX, ui->BT_INPUT_OPT}) showLook(b, false);
    showLook(ui->BT_INPUT_HI, true);
    chooseSource(0);
}

void Kestrun::on_BT_INPUT_LOW_clicked()
{
    for (QPushButton *b : {ui->BT_INPUT_HI, ui->BT_INPUT_BT, ui->BT_INPUT_COAX, ui->BT_INPUT_OPT}) showLook(b, false);
    showLook(ui->BT_INPUT_LOW, true);
    chooseSource(1);
}

void Kestrun::on_BT_INPUT_OPT_clicked()
{
    for (QPushButton *b : {ui->BT_INPUT_LOW, ui->BT_INPUT_BT, ui->BT_INPUT_COAX, ui->BT_INPUT_HI}) showLook(b, false);
    showLook(ui->BT_INPUT_OPT, true);
    chooseSource(2);
}

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
    if (level < 0 || level > 6) return;
    ParamStore.NoiseGate = uint16_t(level);
    if (Link.Connected) CMD_NOISE_GATE(uint8_t(level));  // the on flag is 0 only for level 0
}

// The painter reads the six check states; nothing is stored or sent.
void Kestrun::comparisonChanged(int, int)
{
    updateGraph();
}

void Kestrun::CarMap_Update_Change()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
}

void Kestrun::SourceSet_Slider_Change(uint8_t, uint16_t) {}
