// Language switching of every text of the main window.
#include "Kestrun.h"

void Kestrun::Option_Sub6_Fun() {}
void Kestrun::Option_Sub7_Fun() {}
void Kestrun::Menu_LanguageSet() {}
