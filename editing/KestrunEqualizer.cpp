// Equaliser bands: gain sliders, the three edits per band, PEQ/GEQ, bypass and flat reset.
#include "Kestrun.h"

void Kestrun::eqGainSliderChanged(int, int) {}
void Kestrun::eqGainEdited(int) {}
void Kestrun::eqFreqEdited(int) {}
void Kestrun::eqQEdited(int) {}
void Kestrun::on_BT_PEQ_clicked() {}
void Kestrun::on_BT_GEQ_clicked() {}
void Kestrun::on_BT_EQ_BYPASS_clicked() {}
void Kestrun::on_BT_EQ_RESET_clicked() {}
