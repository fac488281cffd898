// The tuning model's operations: selection, outputs, input, names and links.
#include "TuningModel.h"

#include "Commands.h"
#include "CrossoverRules.h"
#include "LinkState.h"
#include "OutputValues.h"
#include "SpeakerCodes.h"
#include "SpeakerPresets.h"
#include <cstring>

using namespace OutputValues;

namespace {

uint8_t flipped(uint8_t v) { return v == 1 ? 0 : 1; }
bool validChannel(int ch) { return ch >= 0 && ch < CH_COUNT; }

}  // namespace

void TuningModel::reset()
{
    ModelCore::reset();
    holding_ = false;
    memoryUsed_[0] = memoryUsed_[1] = false;
    activeMemory_ = -1;
}

// --- selection ---

void TuningModel::selectChannel(int ch)
{
    if (!validChannel(ch)) return;
    Scope scope(*this);
    CurCh = uint8_t(ch);
    CurBand = 0;
    pending_.selection = true;
    pending_.output[ch] = true;
    pending_.curve[ch] = true;
    // Echo: the band sliders move to the new channel's gains; each that moved stores and sends its band.
    for (int b = 0; b < BAND_COUNT; ++b) {
        CurBand = uint8_t(b);
        sliderEcho(b, store.EqGain[ch][b]);
    }
}

// --- master volume and main mute ---

void TuningModel::setMasterVolume(int code)
{
    Scope scope(*this);
    store.MasterVol = uint16_t(qBound(0, code, MAX_VOLUME));
    pending_.master = true;
    if (linked()) CMD_MASTER_VOLUME(session);
}

bool TuningModel::enterMasterVolume(const QString &text)
{
    Scope scope(*this);
    pending_.master = true;
    double db = 0;
    if (!parseVolume(text, &db)) return false;
    const int code = qBound(0, volumeCode(db), MAX_VOLUME);
    if (code != store.MasterVol) setMasterVolume(code);
    return true;
}

// The main mute mutes all six and remembers each output's own mute; its release puts those back. Either
// way one CMD_CH_MUTE goes out per output in channel order, and the mute buttons show what the processor does.
void TuningModel::toggleMainMute()
{
    Scope scope(*this);
    const uint8_t mute = MainMuteOn ? 0 : 1;
    if (mute) std::memcpy(OwnMute, store.ChMute, sizeof OwnMute);
    MainMuteOn = mute;
    pending_.mainMute = true;
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        store.ChMute[ch] = mute ? 1 : OwnMute[ch];
        pending_.output[ch] = true;
        if (linked()) CMD_CH_MUTE(session, ch);
    }
}

// --- output volume ---

bool TuningModel::setVolume(int ch, int code)
{
    if (!validChannel(ch)) return false;
    Scope scope(*this);
    pending_.output[ch] = true;
    code = qBound(0, code, MAX_VOLUME);
    const int delta = code - store.ChVol[ch];
    if (sync.Vol_Sync_Check(store, uint8_t(ch), delta)) {
        // Echo: the slider springs back, and its move by 0 sends the stored volume again.
        if (linked()) CMD_CH_VOLUME(session, uint8_t(ch));
        return false;
    }
    store.ChVol[ch] = uint16_t(code);
    movePartners(ch, delta, store.ChVol, MAX_VOLUME, CMD_CH_VOLUME, false);
    if (linked()) CMD_CH_VOLUME(session, uint8_t(ch));
    return true;
}

// The other members of ch's group move by delta within 0..limit and send before the edited output. A volume
// that did not move sends nothing (its slider did not move); a delay always sends.
void TuningModel::movePartners(int ch, int delta, uint16_t field[CH_COUNT], int limit, void (*send)(ProcessorSession &, uint8_t),
                               bool sendUnmoved)
{
    uint8_t partners[CH_COUNT];
    const int n = sync.partners(uint8_t(ch), partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        const int v = qBound(0, int(field[j]) + delta, limit);
        if (v == field[j] && !sendUnmoved) continue;
        field[j] = uint16_t(v);
        pending_.output[j] = true;
        if (linked()) send(session, j);
    }
}

bool TuningModel::enterVolume(int ch, const QString &text)
{
    if (!validChannel(ch)) return false;
    Scope scope(*this);
    pending_.output[ch] = true;
    double db = 0;
    if (!parseVolume(text, &db)) return false;
    const double r = (db + 60.0) * 10.0;
    if (sync.Vol_Sync_Check(store, uint8_t(ch), int(r - store.ChVol[ch]))) return false;
    const int code = qBound(0, int(r + 0.5), MAX_VOLUME);
    return code == store.ChVol[ch] || setVolume(ch, code);
}

bool TuningModel::stepVolume(int ch, int dir, int units)
{
    if (!validChannel(ch)) return false;
    const int v = StepWithinRange(store.ChVol[ch], dir, units, 0, MAX_VOLUME);
    if (v == store.ChVol[ch]) return true;
    return setVolume(ch, v);
}

// --- delay ---

bool TuningModel::enterDelay(int ch, const QString &text)
{
    if (!validChannel(ch)) return false;
    Scope scope(*this);
    pending_.output[ch] = true;
    double r = 0;
    if (!parseDelay(text, DelayUnit == 1 ? 1 : 0, &r)) return false;
    const int delta = int(r - store.ChDelay[ch]);
    if (sync.Delay_Sync_Check(store, uint8_t(ch), delta)) return false;
    traceValue(__FILE__, __LINE__, QStringLiteral("on_Edit_CHDelay_%1_returnPressed").arg(ch + 1), r + 0.5);
    store.ChDelay[ch] = delayCode(r);
    movePartners(ch, delta, store.ChDelay, MAX_DELAY, CMD_CH_DELAY, true);
    if (linked()) CMD_CH_DELAY(session, uint8_t(ch));
    return true;
}

// `units` steps of 0.01 ms, each taken only while the output and every other member stay inside 0..15.00 ms.
void TuningModel::stepDelay(int ch, int dir, int units)
{
    if (!validChannel(ch)) return;
    Scope scope(*this);
    pending_.output[ch] = true;
    const int old = store.ChDelay[ch];
    int d = old > MAX_DELAY ? MAX_DELAY : old;
    for (int i = 0; i < units; ++i) {
        const int next = d + (dir > 0 ? 1 : -1);
        if (next < 0 || next > MAX_DELAY || sync.Delay_Sync_Check(store, uint8_t(ch), next - old)) break;
        d = next;
    }
    store.ChDelay[ch] = uint16_t(d);
    movePartners(ch, d - old, store.ChDelay, MAX_DELAY, CMD_CH_DELAY, true);
    if (linked()) CMD_CH_DELAY(session, uint8_t(ch));
}

void TuningModel::setDelays(const uint16_t delays[CH_COUNT])
{
    Scope scope(*this);
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        const uint16_t d = delays[ch] > MAX_DELAY ? uint16_t(MAX_DELAY) : delays[ch];
        pending_.output[ch] = true;
        if (d == store.ChDelay[ch]) continue;
        store.ChDelay[ch] = d;
        if (linked()) CMD_CH_DELAY(session, ch);
    }
}

void TuningModel::setDelayUnit(uint32_t unit)
{
    Scope scope(*this);
    DelayUnit = unit == 1 ? 1 : 0;
    pending_.delayUnit = true;
}

// --- phase, mute, sync ---

void TuningModel::togglePhase(int ch)
{
    if (!validChannel(ch)) return;
    Scope scope(*this);
    store.ChPhase[ch] = store.ChPhase[ch] == 0 ? 1 : 0;
    flipPartners(ch, store.ChPhase, CMD_CH_PHASE);
}

// The other members of ch's group flip too and send before ch, which sends last.
void TuningModel::flipPartners(int ch, uint8_t field[CH_COUNT], void (*send)(ProcessorSession &, uint8_t))
{
    pending_.output[ch] = true;
    uint8_t partners[CH_COUNT];
    const int n = sync.partners(uint8_t(ch), partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        field[j] = flipped(field[j]);
        pending_.output[j] = true;
        if (linked()) send(session, j);
    }
    if (linked()) send(session, uint8_t(ch));
}

void TuningModel::toggleMute(int ch)
{
    if (!validChannel(ch)) return;
    Scope scope(*this);
    if (store.ChMute[ch] == 0) {
        store.ChMute[ch] = 1;
    } else {
        store.ChMute[ch] = 0;
        MainMuteOn = 0;
        pending_.mainMute = true;
    }
    flipPartners(ch, store.ChMute, CMD_CH_MUTE);
}

void TuningModel::toggleSync(int ch)
{
    if (!validChannel(ch)) return;
    Scope scope(*this);
    sync.toggle(uint8_t(ch));
    pending_.sync[ch] = true;
}

// --- input, gate, names, links ---

void TuningModel::chooseInputSource(uint8_t source)
{
    Scope scope(*this);
    pending_.input = true;
    if (store.InputSource == source) return;  // a click on the source in use sends nothing
    store.InputSource = source;
    if (linked()) CMD_INPUT_SOURCE(session, source);
}

void TuningModel::chooseNoiseGate(int level)
{
    if (level < 0 || level > 6) return;
    Scope scope(*this);
    store.NoiseGate = uint16_t(level);
    pending_.gate = true;
    if (linked()) CMD_NOISE_GATE(session, uint8_t(level));  // the on flag is 0 only for level 0
}

// Off leaves the filters as they are; a position writes its crossover preset, whose filters go out last.
void TuningModel::nameChannel(int ch, uint8_t code)
{
    if (!validChannel(ch) || code > SPK_OFF) return;
    Scope scope(*this);
    CurCh = uint8_t(ch);
    store.ChName[ch] = code;
    if (code != SPK_OFF) ApplySpeakerPreset(store, uint8_t(ch), code);
    pending_.names = true;
    if (linked()) CMD_CH_NAMES(session);
    selectChannel(ch);
    if (code != SPK_OFF && linked()) {
        CMD_HPF(session, uint8_t(ch));
        CMD_LPF(session, uint8_t(ch));
    }
}

void TuningModel::applyLink()
{
    Scope scope(*this);
    pending_.links = true;
    links.Link_Apply(session, [this] { return CurCh; }, [this](uint8_t ch) { linkShown(ch); });
}

// After each link the linked channel is shown; its filters go out, its bands through the view's echo.
void TuningModel::linkShown(uint8_t ch)
{
    pending_.links = true;
    if (!links.LinkPending) return;
    selectChannel(ch);
    CurBand = 0;
    if (linked()) {
        CMD_HPF(session, ch);
        CMD_LPF(session, ch);
    }
}

// Unlink: the parameters keep their values and nothing is sent.
void TuningModel::removeLink()
{
    Scope scope(*this);
    links.LinkPending = 0;
    links.Link_Remove_First(CurCh);
    links.LinkDir = 0xFF;
    pending_.links = true;
}

// --- A/B compare ---

void TuningModel::storeMemory(int slot)
{
    if (slot < 0 || slot > 1) return;
    Scope scope(*this);
    memory_[slot] = state();
    memoryUsed_[slot] = true;
    activeMemory_ = slot;
    pending_.memories = true;
}

bool TuningModel::recallMemory(int slot)
{
    if (!memoryUsed(slot) || busy()) return false;
    Scope scope(*this);
    restoreState(memory_[slot]);
    activeMemory_ = slot;
    pending_.memories = true;
    return true;
}

int TuningModel::matchingMemory() const
{
    if (!memoryUsed_[0] && !memoryUsed_[1]) return -1;
    const ModelState now = state();
    const int first = activeMemory_ == 1 ? 1 : 0;
    for (int slot : {first, 1 - first})
        if (memoryUsed_[slot] && memory_[slot] == now) return slot;
    return -1;
}

// --- state from the processor or a file ---

void TuningModel::adoptStore()
{
    setRecording(false);
    {
        Scope scope(*this);
        store.correctDownloaded(EqGainShadow);
        bool allMuted = true;
        for (int ch = 0; ch < CH_COUNT; ++ch) allMuted = allMuted && store.ChMute[ch] != 0;
        MainMuteOn = allMuted ? 1 : 0;
        std::memset(OwnMute, 0, sizeof OwnMute);  // a release then un-mutes all six
        pending_.all = true;
        selectChannel(0);
    }
    setRecording(true);
    history.clear();
    offlineEdits_ = false;
}

void TuningModel::receivePage(int page, const uint8_t *bytes)
{
    if (page < 0 || page >= PAGE_COUNT) return;
    if (offlineEdits_ && !holding_) {
        held_ = state();
        holding_ = true;
    }
    std::memcpy(store.page(page), bytes, PAGE_SIZE);
}

// Not the user's edits: no step. The master volume reply changes the store only; its slider stays.
void TuningModel::deviceInputSource(uint8_t source)
{
    setRecording(false);
    {
        Scope scope(*this);
        store.InputSource = ParamBlock::correctedInputSource(source);
        pending_.input = true;
    }
    setRecording(true);
}

void TuningModel::deviceMasterVolume(uint16_t code)
{
    store.MasterVol = ParamBlock::correctedMasterVol(code);
}
