// Crossover menu entries and controls pass their choice to the model; filter 0 = high-pass, 1 = low-pass.
#include "CrossoverSlots.h"

#include "CrossoverPanel.h"
#include "TuningModel.h"

#include <QLineEdit>

CrossoverSlots::CrossoverSlots(TuningModel &model, CrossoverPanel *(&panels)[2]) : model_(model), Crossover(panels) {}

void CrossoverSlots::filterTypeChosen(int filter, int type)
{
    model_.chooseFilterType(filter, type);
}

void CrossoverSlots::filterSlopeChosen(int filter, int item)
{
    model_.chooseFilterSlope(filter, item);
}

void CrossoverSlots::filterFreqEdited(int filter)
{
    if (filter == 0 || filter == 1) model_.enterFilterFreq(filter, Crossover[filter]->freqEdit()->text());
}

void CrossoverSlots::filterStep(int filter, bool up)
{
    if (filter == 0 || filter == 1) Crossover[filter]->step(up);
}

// A slot that exists for the form's sake and does nothing.
void CrossoverSlots::HPF_Slope1_Hover() {}
