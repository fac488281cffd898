// Scene files on the computer: save and load one scene or all nine.
#include "Kestrun.h"

void Kestrun::Sence_Sub2_Fun() {}
void Kestrun::Sence_Sub3_Fun() {}
void Kestrun::Sence_Sub4_Fun() {}
void Kestrun::Sence_Sub5_Fun() {}
