// The model's state, its operation scopes and notifications, and the undo history.
#include "ModelCore.h"

#include "Commands.h"
#include "LinkState.h"
#include "TransferGuard.h"

#include <chrono>
#include <cstring>

namespace {

int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

ModelCore::ModelCore(ProcessorSession &s) : session(s), store(s.ParamStore)
{
    qRegisterMetaType<ModelChange>("ModelChange");
    for (uint16_t &g : sliderGain_) g = GAIN_ZERO;
}


void ModelCore::reset()
{
    std::memset(&store, 0, sizeof store);
    for (auto &row : EqGainShadow)
        for (auto &g : row) g = GAIN_ZERO;
    CurCh = 0;
    CurBand = 0;
    MainMuteOn = 0;
    std::memset(OwnMute, 0, sizeof OwnMute);
    DelayUnit = 0;
    sync = SyncGroup();
    links = ChannelLink();
    history.clear();
    offlineEdits_ = false;
    for (uint16_t &g : sliderGain_) g = GAIN_ZERO;  // where the form puts the band sliders
    pending_ = ModelChange();
    depth_ = 0;
    mergeKey_ = 0;
    gesture_ = false;
    stepOpen_ = false;
    recording_ = true;
}

void ModelCore::setDefaults()
{
    store.setDefaults();
    for (auto &row : EqGainShadow)
        for (auto &g : row) g = GAIN_ZERO;
}

// --- operation scopes and the history ---

void ModelCore::open()
{
    if (depth_++ == 0 && !stepOpen_) {
        opened_ = state();
        stepOpen_ = true;
    }
}

void ModelCore::close()
{
    if (--depth_ > 0) return;
    const ModelChange change = pending_;
    pending_ = ModelChange();
    if (!gesture_) commit();
    emit changed(change);
}

void ModelCore::commit()
{
    if (!stepOpen_) return;
    stepOpen_ = false;
    const int key = mergeKey_;
    mergeKey_ = 0;
    if (!recording_) return;
    const ModelState now = state();
    if (now == opened_) return;
    history.record(opened_, now, key, nowMs());
    if (!session.Link.Connected) offlineEdits_ = true;
}

void ModelCore::beginGesture()
{
    if (!stepOpen_) {
        opened_ = state();
        stepOpen_ = true;
    }
    gesture_ = true;
}

void ModelCore::endGesture()
{
    gesture_ = false;
    if (depth_ == 0) commit();
}

bool ModelCore::busy() const
{
    return TransferGuard::busy(session.Link) || session.Link.LinkStatus == 1;
}

bool ModelCore::linked() const
{
    return session.Link.Connected != 0;
}

ModelState ModelCore::state() const
{
    ModelState s;
    s.store = store;
    std::memcpy(s.shadow, EqGainShadow, sizeof s.shadow);
    s.mainMute = MainMuteOn;
    std::memcpy(s.ownMute, OwnMute, sizeof s.ownMute);
    return s;
}

bool ModelCore::undo()
{
    return !busy() && !gesture_ && walk(history.undo());
}

bool ModelCore::redo()
{
    return !busy() && !gesture_ && walk(history.redo());
}

bool ModelCore::walk(const ModelState *s)
{
    if (!s) return false;
    setRecording(false);
    restoreState(*s);
    setRecording(true);
    return true;
}

void ModelCore::restoreState(const ModelState &s)
{
    Scope scope(*this);
    const ParamBlock before = store;
    store = s.store;
    std::memcpy(EqGainShadow, s.shadow, sizeof EqGainShadow);
    MainMuteOn = s.mainMute;
    std::memcpy(OwnMute, s.ownMute, sizeof OwnMute);
    sendDifferences(before);
    if (!session.Link.Connected) offlineEdits_ = true;
    for (int b = 0; b < BAND_COUNT; ++b) sliderGain_[b] = store.EqGain[CurCh][b];
    pending_.all = true;
}

void ModelCore::recordStepFrom(const ModelState &before)
{
    const ModelState now = state();
    if (now == before) return;
    history.record(before, now, 0, nowMs());
    if (!session.Link.Connected) offlineEdits_ = true;
    Scope scope(*this);  // one notification: the views learn that the history changed
}

// Global fields first, then per output: output controls, crossovers, bands.
void ModelCore::sendDifferences(const ParamBlock &o)
{
    if (!session.Link.Connected) return;
    const ParamBlock &s = store;
    if (s.InputSource != o.InputSource) CMD_INPUT_SOURCE(session, s.InputSource);
    if (s.MasterVol != o.MasterVol) CMD_MASTER_VOLUME(session);
    if (s.NoiseGate != o.NoiseGate) CMD_NOISE_GATE(session, uint8_t(s.NoiseGate));
    if (std::memcmp(s.ChName, o.ChName, sizeof s.ChName) != 0) CMD_CH_NAMES(session);
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        if (s.ChVol[ch] != o.ChVol[ch]) CMD_CH_VOLUME(session, ch);
        if (s.ChMute[ch] != o.ChMute[ch]) CMD_CH_MUTE(session, ch);
        if (s.ChDelay[ch] != o.ChDelay[ch]) CMD_CH_DELAY(session, ch);
        if (s.ChPhase[ch] != o.ChPhase[ch]) CMD_CH_PHASE(session, ch);
        if (s.EqBypass[ch] != o.EqBypass[ch]) CMD_EQ_BYPASS(session, ch);
        if (s.HpfFreq[ch] != o.HpfFreq[ch] || s.HpfSlope[ch] != o.HpfSlope[ch] || s.HpfBypass[ch] != o.HpfBypass[ch] ||
            s.HpfType[ch] != o.HpfType[ch])
            CMD_HPF(session, ch);
        if (s.LpfFreq[ch] != o.LpfFreq[ch] || s.LpfSlope[ch] != o.LpfSlope[ch] || s.LpfBypass[ch] != o.LpfBypass[ch] ||
            s.LpfType[ch] != o.LpfType[ch])
            CMD_LPF(session, ch);
        for (uint8_t b = 0; b < BAND_COUNT; ++b)
            if (s.EqFreq[ch][b] != o.EqFreq[ch][b] || s.EqGain[ch][b] != o.EqGain[ch][b] || s.EqQ[ch][b] != o.EqQ[ch][b])
                CMD_EQ_BAND(session, ch, b);
    }
}

