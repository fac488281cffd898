// Crossover menu entries and controls pass their choice to the model; filter 0 = high-pass, 1 = low-pass.
#include "Kestrun.h"

#include "CrossoverPanel.h"
#include "TuningModel.h"

#include <QLineEdit>

void Kestrun::filterTypeChosen(int filter, int type)
{
    model_.chooseFilterType(filter, type);
}

void Kestrun::filterSlopeChosen(int filter, int item)
{
    model_.chooseFilterSlope(filter, item);
}

void Kestrun::filterFreqEdited(int filter)
{
    if (filter == 0 || filter == 1) model_.enterFilterFreq(filter, Crossover[filter]->freqEdit()->text());
}

void Kestrun::filterStep(int filter, bool up)
{
    if (filter == 0 || filter == 1) Crossover[filter]->step(up);
}
