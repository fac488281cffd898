// Bringing every control in line with a freshly downloaded parameter image.
#include "Kestrun.h"

void Kestrun::Update_All_State() {}
