// Output levels, delay, phase, mute and the sync group; the master volume and mute.
#include "Kestrun.h"

void Kestrun::on_Slider_Total_Bar_valueChanged(int) {}
void Kestrun::on_Edit_Total_returnPressed() {}
void Kestrun::on_BT_MainMute_clicked() {}
void Kestrun::chVolSliderChanged(int, int) {}
void Kestrun::chVolEdited(int) {}
void Kestrun::chDelayEdited(int) {}
void Kestrun::phaseClicked(int) {}
void Kestrun::muteClicked(int) {}
void Kestrun::syncClicked(int) {}
void Kestrun::ms_Fun() {}
void Kestrun::cm_Fun() {}
QString Kestrun::GetDelayDisplayStr(uint16_t d) const { return QString::number(d * 0.01, 'f', 2) + QStringLiteral("ms"); }
void Kestrun::Phase_Button_Show(uint8_t, uint8_t) {}
void Kestrun::Mute_Button_Show(uint8_t, uint8_t) {}
void Kestrun::Sync_Button_Show(uint8_t, uint8_t) {}
