// One equaliser band's column: gain slider, gain, frequency and Q fields and the band button.
#pragma once

#include <QObject>
#include <cstdint>

class EntryHint;
class KestrunForm;
class TuningModel;

class BandColumn : public QObject
{
    Q_OBJECT
public:
    BandColumn(KestrunForm &ui, TuningModel &model, EntryHint &hint, int band, QObject *parent);

    // Shows the aspects (ModelChange::BandAspect) of the selected channel's band. A field that already
    // reads as the stored value keeps its text unless `force` (a typed "3" stays "3").
    void refresh(uint8_t aspects, bool force);
    // Parametric mode: frequency and Q editable (white); graphic: greyed.
    void setParametric(bool parametric);

private:
    KestrunForm &ui_;
    TuningModel &model_;
    EntryHint &hint_;
    const int b_;
};
