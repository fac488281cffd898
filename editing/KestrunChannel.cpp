// Channel selection and the refresh of every per-channel control.
#include "Kestrun.h"

void Kestrun::BT_CH_Click() {}
void Kestrun::BT_CH_Switch(uint8_t ch) { if (ch < CH_COUNT) CurCh = ch; }
void Kestrun::Update_Channel_State(uint8_t ch) { CurCh = ch; }
