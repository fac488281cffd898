// Channel naming by speaker position: the six name menus and the name captions.
#include "Kestrun.h"

void Kestrun::buildChannelNameMenus() {}
void Kestrun::channelNameChosen(int, int) {}
void Kestrun::Channel_Display() {}
void Kestrun::Update_Name_Marks() {}
void Kestrun::Update_Channel_Name() {}
