// The tuning model: the one place where a parameter changes, with its commands, notifications and undo history.
#pragma once

#include "EqualiserModel.h"

#include <QString>
#include <cstdint>

// Every operation stores, copies to linked or synced outputs and sends its frames while connected, in the
// order the processor has always received them; echoes the views' controls used to cause are named steps here.
class TuningModel : public EqualiserModel
{
public:
    using EqualiserModel::EqualiserModel;

    // Back to the start state, the A/B memories and held offline edits forgotten too.
    void reset();

    // --- selection ---
    // Selects ch and shows it. Echo: every band whose slider showed another gain is stored, copied to
    // its linked channels and sent again, as the sliders' own moves always did.
    void selectChannel(int ch);

    // --- master volume, main mute, outputs ---
    void setMasterVolume(int code);
    bool enterMasterVolume(const QString &text);  // false: refused, the field shows the stored value
    void toggleMainMute();
    // A volume slider move; false when the sync group refuses it (the slider springs back).
    bool setVolume(int ch, int code);
    bool enterVolume(int ch, const QString &text);
    bool stepVolume(int ch, int dir, int units);
    bool enterDelay(int ch, const QString &text);
    void stepDelay(int ch, int dir, int units);
    // Sets output delays directly (time alignment), outside the sync group's relative moves.
    void setDelays(const uint16_t delays[CH_COUNT]);
    void togglePhase(int ch);
    void toggleMute(int ch);
    void toggleSync(int ch);
    void setDelayUnit(uint32_t unit);

    // --- input, gate, names, link ---
    void chooseInputSource(uint8_t source);
    void chooseNoiseGate(int level);
    void nameChannel(int ch, uint8_t code);
    // Applies the link dialog's choice for the selected channel (side and mode already recorded).
    void applyLink();
    void removeLink();

    // --- A/B compare: two memories of the whole parameter set ---
    // Keeps the current tuning in memory 0 (A) or 1 (B); nothing is sent.
    void storeMemory(int slot);
    // Switches to a stored memory: one step of the history, sending only the parameters that differ.
    // Refused while a transfer runs or when the memory is empty.
    bool recallMemory(int slot);
    bool memoryUsed(int slot) const { return slot >= 0 && slot < 2 && memoryUsed_[slot]; }
    int activeMemory() const { return activeMemory_; }  // the memory last stored or recalled; -1 before any
    // The memory the current tuning equals (the active one first); -1 when it equals neither.
    int matchingMemory() const;

    // --- state from the processor or a file ---
    // A whole image was put into the store (download, file load): corrected, gains to host encoding,
    // every view refreshed and CH1 selected; nothing is sent; the history starts afresh.
    void adoptStore();
    // One page of a download, copied as the processor sent it (no notification: the download adopts the
    // whole image at its end).
    void receivePage(int page, const uint8_t *bytes);
    // Offline edits that a download replaced: kept at its first page until the user decides (null: none).
    const ModelState *heldOfflineEdits() const { return holding_ ? &held_ : nullptr; }
    void releaseOfflineEdits() { holding_ = false; }
    // Device-side changes of single fields (replies 0x02 and 0x0D).
    void deviceInputSource(uint8_t source);
    void deviceMasterVolume(uint16_t code);

private:
    ModelState held_;
    bool holding_ = false;
    ModelState memory_[2];
    bool memoryUsed_[2] = {};
    int activeMemory_ = -1;

    void flipPartners(int ch, uint8_t field[CH_COUNT], void (*send)(ProcessorSession &, uint8_t));
    void movePartners(int ch, int delta, uint16_t field[CH_COUNT], int limit, void (*send)(ProcessorSession &, uint8_t),
                      bool sendUnmoved);
    void linkShown(uint8_t ch);
};
