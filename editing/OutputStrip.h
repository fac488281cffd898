// One output's strip: volume slider and field, delay field, phase, mute and sync buttons.
#pragma once

#include "ModelChange.h"

#include <QObject>
#include <cstdint>

class EntryHint;
class KestrunForm;
class Language;
class TuningModel;

class OutputStrip : public QObject
{
    Q_OBJECT
public:
    OutputStrip(KestrunForm &ui, TuningModel &model, EntryHint &hint, const Language &language, int ch, QObject *parent);

    // Shows what the change touched of this output; the controls' signals are blocked meanwhile.
    void refresh(const ModelChange &change);
    void showValues();  // volume slider and field, delay field, phase and mute
    void showDelay();
    // The looks of the buttons for a state.
    void showPhase(uint8_t state);
    void showMute(uint8_t state);
    void showSync(uint8_t state);

private:
    void volumeMoved(int value);
    void volumeEntered();
    void delayEntered();

    KestrunForm &ui_;
    TuningModel &model_;
    EntryHint &hint_;
    const Language &language_;
    const int ch_;
};
