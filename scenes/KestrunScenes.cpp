// The scene manager, firmware upgrade and system reset entries.
#include "Kestrun.h"

void Kestrun::Sence_Sub1_Fun() {}
void Kestrun::Option_Sub3_Fun() {}
void Kestrun::Option_Sub5_Fun() {}
