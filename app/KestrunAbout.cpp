// The about entry of the option menu.
#include "Kestrun.h"

#include "AboutForm.h"

void Kestrun::Option_Sub2_Fun()
{
    auto *about = new AboutForm(nullptr);
    about->show();
}
