// Input source, noise gate and the comparison check boxes.
#include "Kestrun.h"

void Kestrun::on_BT_INPUT_HI_clicked() {}
void Kestrun::on_BT_INPUT_LOW_clicked() {}
void Kestrun::on_BT_INPUT_OPT_clicked() {}
void Kestrun::on_BT_INPUT_BT_clicked() {}
void Kestrun::on_BT_INPUT_COAX_clicked() {}
void Kestrun::noiseGateChosen(int) {}
void Kestrun::comparisonChanged(int, int) { update(); }
void Kestrun::CarMap_Update_Change() {}
void Kestrun::SourceSet_Slider_Change(uint8_t, uint16_t) {}
