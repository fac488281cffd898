// Crossover filter controls: type and slope menus, frequency edits and step buttons.
#include "Kestrun.h"

void Kestrun::filterTypeChosen(int, int) {}
void Kestrun::filterSlopeChosen(int, int) {}
void Kestrun::filterFreqEdited(int) {}
void Kestrun::filterStep(int, bool) {}
