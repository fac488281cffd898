// The about entry of the option menu.
#include "Kestrun.h"

void Kestrun::Option_Sub2_Fun() {}
