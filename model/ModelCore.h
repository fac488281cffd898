// The tuning model's state, its operation scopes and change notifications, and the undo history.
#pragma once

#include "ChannelLink.h"
#include "EditHistory.h"
#include "ModelChange.h"
#include "ParamStore.h"
#include "ProcessorSession.h"
#include "SyncGroup.h"

#include <QObject>
#include <cstdint>

Q_DECLARE_METATYPE(ModelChange)

// Every operation runs inside a Scope: the outermost one announces what changed in one `changed`
// notification and, outside a gesture, records its step in the history (when it changed anything).
class ModelCore : public QObject
{
    Q_OBJECT
public:
    // Built on the processor session it is given, whose store it is the only writer of.
    explicit ModelCore(ProcessorSession &session);

    // The session (its store, link and transport) and the state kept beside the store.
    ProcessorSession &session;
    ParamBlock &store;
    uint16_t EqGainShadow[CH_COUNT][BAND_COUNT] = {};  // gains before a band was switched flat
    uint8_t CurCh = 0;
    uint8_t CurBand = 0;
    uint8_t MainMuteOn = 0;
    uint8_t OwnMute[CH_COUNT] = {};  // each output's own mute while the main mute holds them all
    uint32_t DelayUnit = 0;  // 1 = centimetres, otherwise milliseconds
    SyncGroup sync;
    ChannelLink links;
    EditHistory history;

    // Back to the start state: store zeroed, side state and history cleared (start-up and tests).
    void reset();
    // The parameter defaults of every channel and band (start-up).
    void setDefaults();
    // The gain code band b's slider shows.
    uint16_t sliderGain(int b) const { return sliderGain_[b]; }

    // The whole state (undo, A/B memories) and its restoration: only the differing fields are sent.
    ModelState state() const;
    void restoreState(const ModelState &state);
    // The same without a step in the history (temporary states such as a measurement's mutes).
    void restoreUnrecorded(const ModelState &state) { walk(&state); }
    // Whether edits reach a processor now (frames are sent only then).
    bool linked() const;
    // One step of the history from `before` to the present state (an auto-tune's unrecorded writes as one step).
    void recordStepFrom(const ModelState &before);

    // Gestures: every operation between begin and end is one step.
    void beginGesture();
    void endGesture();
    // The next operation joins the previous step when that one had the same key (auto-repeat, wheel runs).
    void mergeNext(int key) { mergeKey_ = key; }
    bool undo();
    bool redo();
    // Undo and redo are refused while a transfer or a download runs.
    bool busy() const;
    // The store holds edits that neither the processor nor a saved file has (made while offline).
    bool hasOfflineEdits() const { return offlineEdits_; }
    void markSaved() { offlineEdits_ = false; }

signals:
    void changed(const ModelChange &change);

protected:
    class Scope
    {
    public:
        explicit Scope(ModelCore &m) : m_(m) { m_.open(); }
        ~Scope() { m_.close(); }
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        ModelCore &m_;
    };
    // Operations that are not the user's (downloads, device replies) leave no step.
    void setRecording(bool on) { recording_ = on; }
    // The frames that take the processor from `before` to the store, in a stable order.
    void sendDifferences(const ParamBlock &before);

    uint16_t sliderGain_[BAND_COUNT] = {};
    ModelChange pending_;
    bool offlineEdits_ = false;

private:
    void open();
    void close();
    void commit();
    bool walk(const ModelState *target);  // undo or redo to target, sending what differs

    int depth_ = 0;
    int mergeKey_ = 0;
    bool gesture_ = false;
    bool stepOpen_ = false;
    bool recording_ = true;
    ModelState opened_;
};
