// The slots of the crossover family; filter 0 = high-pass, 1 = low-pass.
#pragma once

#include <QObject>

class CrossoverPanel;
class TuningModel;

class CrossoverSlots : public QObject
{
    Q_OBJECT
public:
    // panels: the window's two crossover panels, filled in after this part is made.
    CrossoverSlots(TuningModel &model, CrossoverPanel *(&panels)[2]);

public slots:
    void filterTypeChosen(int filter, int type);
    void filterSlopeChosen(int filter, int item);
    void filterFreqEdited(int filter);
    void filterStep(int filter, bool up);
    void HPF_Slope1_Hover();

private:
    TuningModel &model_;
    CrossoverPanel *(&Crossover)[2];
};
