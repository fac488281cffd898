// Band and crossover operations of the tuning model, with the frames each sends and in which order.
#include "EqualiserModel.h"

#include "Commands.h"
#include "CrossoverRules.h"
#include "LinkState.h"

namespace {

constexpr int GAIN_MAX_CODE = 240;
constexpr double GAIN_LIMIT_DB = 12.0;  // what the field, the slider and the markers can hold
constexpr double GAIN_ENTRY_DB = 20.0;  // what the gain edit accepts (the graph's extent)
constexpr int Q_MIN_CODE = 4;
constexpr int Q_MAX_CODE = 100;
constexpr uint8_t ALL_ASPECTS = ModelChange::Gain | ModelChange::Freq | ModelChange::Q | ModelChange::MarkGain |
                                ModelChange::MarkFreq | ModelChange::Label;

bool validBand(int b) { return b >= 0 && b < BAND_COUNT; }
bool validFilter(int filter) { return filter == 0 || filter == 1; }

// The fields of one filter of channel ch: 0 = high-pass, 1 = low-pass.
struct FilterFields {
    uint16_t &freq;
    uint8_t &slope;
    uint8_t &bypass;
    uint8_t &type;
};

FilterFields filterFields(ParamBlock &s, int filter, uint8_t ch)
{
    if (filter == 0) return {s.HpfFreq[ch], s.HpfSlope[ch], s.HpfBypass[ch], s.HpfType[ch]};
    return {s.LpfFreq[ch], s.LpfSlope[ch], s.LpfBypass[ch], s.LpfType[ch]};
}

}  // namespace

void EqualiserModel::sendBand(int b)
{
    if (linked()) CMD_EQ_BAND(session, CurCh, uint8_t(b));
}

// The linked copies (sent as they are made) and the curve of the selected channel.
void EqualiserModel::bandTail(int b)
{
    links.EQ_Link_Copy(session, CurCh, uint8_t(b));
    pending_.curve[CurCh] = true;
}

void EqualiserModel::sliderMoved(int b, int v)
{
    v = qBound(0, v, GAIN_MAX_CODE);
    CurBand = uint8_t(b);
    store.EqGain[CurCh][b] = uint16_t(v);
    sliderGain_[b] = uint16_t(v);
    pending_.band[CurCh][b] |= ModelChange::Gain | ModelChange::MarkGain;
    bandTail(b);
    sendBand(b);
}

void EqualiserModel::sliderEcho(int b, int code)
{
    const int v = qBound(0, code, GAIN_MAX_CODE);
    if (v != sliderGain_[b]) sliderMoved(b, v);
}

void EqualiserModel::setBandGainFromSlider(int b, int code)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    sliderMoved(b, code);
}

// Entries up to the graph's +-20 dB are taken and limited to the +-12 dB the field holds. The slider moves
// to the entry and the field shows it formatted at once. (Mended: the slider used to stay where it was until
// the next refresh, which then stored and sent the band a second time, and the field kept the raw text.)
bool EqualiserModel::enterBandGain(int b, const QString &text)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return false;
    Scope scope(*this);
    CurBand = uint8_t(b);
    pending_.band[CurCh][b] |= ModelChange::Gain;
    bool ok = false;
    double x = text.toDouble(&ok);
    if (!ok || !(x >= -GAIN_ENTRY_DB && x <= GAIN_ENTRY_DB)) return false;
    x = qBound(-GAIN_LIMIT_DB, x, GAIN_LIMIT_DB);
    const int code = qBound(0, static_cast<int>(x * 10.0 + 120.0), GAIN_MAX_CODE);
    store.EqGain[CurCh][b] = uint16_t(code);
    sliderGain_[b] = uint16_t(code);
    bandTail(b);
    pending_.band[CurCh][b] |= ModelChange::MarkGain | ModelChange::Retype;
    sendBand(b);
    return true;
}

bool EqualiserModel::enterBandFreq(int b, const QString &text)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return false;
    Scope scope(*this);
    CurBand = uint8_t(b);
    pending_.band[CurCh][b] |= ModelChange::Freq;
    bool ok = false;
    const int f = text.toInt(&ok, 10);
    if (!ok || f < 20 || f > 20000) return false;
    store.EqFreq[CurCh][b] = uint16_t(f);
    bandTail(b);
    pending_.band[CurCh][b] |= ModelChange::MarkFreq;
    sendBand(b);
    return true;
}

bool EqualiserModel::enterBandQ(int b, const QString &text)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return false;
    Scope scope(*this);
    CurBand = uint8_t(b);
    pending_.band[CurCh][b] |= ModelChange::Q;
    bool ok = false;
    const double q = text.toDouble(&ok);
    if (!ok || !(q >= 0.4 && q <= 10.0)) return false;
    store.EqQ[CurCh][b] = uint8_t(qBound(Q_MIN_CODE, static_cast<int>(q * 10.0), Q_MAX_CODE));
    bandTail(b);
    sendBand(b);
    return true;
}

// Echo: a step whose slider moves sends the band twice, once from the slider and once for the step.
void EqualiserModel::stepBandGain(int b, int dir, int units)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    CurBand = uint8_t(b);
    const int g = StepWithinRange(store.EqGain[CurCh][b], dir, units, 0, GAIN_MAX_CODE);
    store.EqGain[CurCh][b] = uint16_t(g);
    sliderEcho(b, g);
    pending_.band[CurCh][b] |= ModelChange::Gain;
    bandTail(b);
    sendBand(b);
}

void EqualiserModel::stepBandFreq(int b, bool up, bool fast)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    store.EqFreq[CurCh][b] = CrossoverStepFreq(store.EqFreq[CurCh][b], up, fast);
    pending_.band[CurCh][b] |= ModelChange::Freq | ModelChange::MarkFreq;
    bandTail(b);
    sendBand(b);
}

void EqualiserModel::stepBandQ(int b, int dir, int units)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    store.EqQ[CurCh][b] = uint8_t(StepWithinRange(store.EqQ[CurCh][b], dir, units, Q_MIN_CODE, Q_MAX_CODE));
    pending_.band[CurCh][b] |= ModelChange::Q;
    bandTail(b);
    sendBand(b);
}

// A tuned band goes flat and keeps its gain aside; a flat band gets that gain back.
void EqualiserModel::toggleBand(int b)
{
    const uint8_t ch = CurCh;
    if (!validBand(b) || ch >= CH_COUNT) return;
    Scope scope(*this);
    CurBand = uint8_t(b);
    uint16_t &gain = store.EqGain[ch][b];
    uint16_t &shadow = EqGainShadow[ch][b];
    if (gain != GAIN_ZERO) {
        shadow = gain;
        gain = GAIN_ZERO;
    } else if (shadow != GAIN_ZERO) {
        gain = shadow > GAIN_MAX_CODE ? GAIN_MAX_CODE : shadow;
    } else {
        return;
    }
    sliderEcho(b, gain);
    pending_.band[ch][b] |= ModelChange::Gain | ModelChange::MarkGain;
    bandTail(b);
    sendBand(b);
}

// Echo: the slider follows the new gain first (sending the band with its old frequency when it moves),
// then the band goes out with both new values.
void EqualiserModel::moveBandMarker(int b, uint16_t gain, uint16_t freq)
{
    const uint8_t ch = CurCh;
    if (!validBand(b) || ch >= CH_COUNT) return;
    Scope scope(*this);
    CurBand = uint8_t(b);
    store.EqGain[ch][b] = gain;
    sliderEcho(b, gain);
    store.EqFreq[ch][b] = freq;
    pending_.band[ch][b] |= ModelChange::Gain | ModelChange::Freq | ModelChange::Snap;
    bandTail(b);
    sendBand(b);
}

void EqualiserModel::toggleEqBypass()
{
    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return;
    Scope scope(*this);
    store.EqBypass[ch] = store.EqBypass[ch] ? 0 : 1;
    pending_.eqBypass[ch] = true;
    if (linked()) CMD_EQ_BYPASS(session, ch);
}

// A band whose slider already stands at 0 dB while its stored gain differs (a typed gain the slider has
// not followed yet) is flattened too.
void EqualiserModel::flattenEq()
{
    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return;
    Scope scope(*this);
    for (int b = 0; b < BAND_COUNT; ++b) {
        if (sliderGain_[b] != GAIN_ZERO || store.EqGain[ch][b] != GAIN_ZERO) sliderMoved(b, GAIN_ZERO);
        pending_.band[ch][b] |= ModelChange::Label;
    }
}

void EqualiserModel::setBands(int ch, const uint16_t freq[BAND_COUNT], const uint16_t gain[BAND_COUNT],
                              const uint8_t q[BAND_COUNT])
{
    if (ch < 0 || ch >= CH_COUNT) return;
    Scope scope(*this);
    for (uint8_t b = 0; b < BAND_COUNT; ++b) {
        const uint16_t f = uint16_t(qBound(20, int(freq[b]), 20000));
        const uint16_t g = uint16_t(qBound(0, int(gain[b]), GAIN_MAX_CODE));
        const uint8_t qc = uint8_t(qBound(Q_MIN_CODE, int(q[b]), Q_MAX_CODE));
        if (ch == CurCh) {
            sliderGain_[b] = g;
            pending_.band[ch][b] |= ALL_ASPECTS;
        }
        if (store.EqFreq[ch][b] == f && store.EqGain[ch][b] == g && store.EqQ[ch][b] == qc) continue;
        store.EqFreq[ch][b] = f;
        store.EqGain[ch][b] = g;
        store.EqQ[ch][b] = qc;
        links.EQ_Link_Copy(session, uint8_t(ch), b);
        if (linked()) CMD_EQ_BAND(session, uint8_t(ch), b);
    }
    pending_.curve[ch] = true;
}

// --- crossovers ---

// Type, slope and typed frequency send the linked copies first; steps and drags the selected channel first.
void EqualiserModel::filterTail(int filter, bool ownFirst)
{
    const uint8_t ch = CurCh;
    auto sendOwn = [this, ch, filter] {
        if (!linked()) return;
        if (filter == 0) CMD_HPF(session, ch);
        else CMD_LPF(session, ch);
    };
    if (ownFirst) sendOwn();
    if (filter == 0) links.HPF_Link_Copy(session, ch);
    else links.LPF_Link_Copy(session, ch);
    pending_.filter[ch][filter] = true;
    pending_.curve[ch] = true;
    if (!ownFirst) sendOwn();
}

void EqualiserModel::chooseFilterType(int filter, int type)
{
    if (!validFilter(filter) || type < 0 || type >= XOVER_TYPE_COUNT || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    filterFields(store, filter, CurCh).type = uint8_t(type);
    filterTail(filter, false);
}

void EqualiserModel::chooseFilterSlope(int filter, int item)
{
    if (!validFilter(filter) || item < 0 || item > XOVER_SLOPE_OFF_ITEM || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    FilterFields f = filterFields(store, filter, CurCh);
    if (item == XOVER_SLOPE_OFF_ITEM) {
        f.bypass = 1;  // the slope is kept for when the filter is switched on again
    } else {
        f.slope = uint8_t(item);
        f.bypass = 0;
    }
    filterTail(filter, false);
}

bool EqualiserModel::enterFilterFreq(int filter, const QString &text)
{
    if (!validFilter(filter) || CurCh >= CH_COUNT) return false;
    Scope scope(*this);
    pending_.filter[CurCh][filter] = true;
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok || v < XOVER_MIN_FREQ || v > XOVER_MAX_FREQ) return false;
    filterFields(store, filter, CurCh).freq = uint16_t(v);
    filterTail(filter, false);
    return true;
}

void EqualiserModel::stepFilterFreq(int filter, uint16_t freq)
{
    if (!validFilter(filter) || CurCh >= CH_COUNT) return;
    Scope scope(*this);
    filterFields(store, filter, CurCh).freq = freq;
    filterTail(filter, true);
}
