// The about entry of the option menu.
#include "Kestrun.h"

#include "AboutForm.h"
#include "Language.h"
#include "TuningModel.h"

void Kestrun::Option_Sub2_Fun()
{
    auto *about = new AboutForm(model_.session.ParamStore.FirmwareVersion, language_.LanguageFlag, nullptr);
    about->show();
}
