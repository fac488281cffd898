// Crossover filter controls: type and slope menus, frequency edits and step buttons.
#include "Kestrun.h"

#include "ChannelLink.h"
#include "Commands.h"
#include "CrossoverRules.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Texts.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

bool validFilter(int filter) { return filter == 0 || filter == 1; }

}  // namespace

// The fields of one filter of channel ch: 0 = high-pass, 1 = low-pass.
struct FilterFields {
    uint16_t &freq;
    uint8_t &slope;
    uint8_t &bypass;
    uint8_t &type;
};

static FilterFields filterFields(int filter, uint8_t ch)
{
    ParamBlock &s = ParamStore;
    if (filter == 0) return {s.HpfFreq[ch], s.HpfSlope[ch], s.HpfBypass[ch], s.HpfType[ch]};
    return {s.LpfFreq[ch], s.LpfSlope[ch], s.LpfBypass[ch], s.LpfType[ch]};
}

QLineEdit *Kestrun::filterFreqEdit(int filter) const
{
    return filter == 0 ? ui->Edit_HPF_Freq : ui->Edit_LPF_Freq;
}

void Kestrun::filterLinkCopy(int filter)
{
    if (filter == 0) HPF_Link_Copy(CurCh);
    else LPF_Link_Copy(CurCh);
}

void Kestrun::filterRedraw(int filter)
{
    const uint8_t ch = CurCh;
    if (filter == 0) HPF_Curve_Update(ch);
    else LPF_Curve_Update(ch);
    Curve_Point_Update(ch);
    updateGraph();
}

void Kestrun::sendFilter(int filter)
{
    if (!Link.Connected) return;
    if (filter == 0) CMD_HPF(CurCh);
    else CMD_LPF(CurCh);
}

// Type, slope and typed frequency: the linked copies go out before the selected channel's frame.
void Kestrun::filterChangedTail(int filter)
{
    filterLinkCopy(filter);
    filterRedraw(filter);
    sendFilter(filter);
}

// Steps (buttons, keys, wheel) and marker drags: the selected channel's frame goes out first.
void Kestrun::filterFreqStepped(int filter, uint16_t f)
{
    filterFields(filter, CurCh).freq = f;
    filterFreqEdit(filter)->setText(QString::number(f));
    sendFilter(filter);
    filterLinkCopy(filter);
    filterRedraw(filter);
}

void Kestrun::filterTypeChosen(int filter, int type)
{
    if (!validFilter(filter) || type < 0 || type >= XOVER_TYPE_COUNT || CurCh >= CH_COUNT) return;
    filterFields(filter, CurCh).type = uint8_t(type);
    (filter == 0 ? ui->BT_HPF_TYPE : ui->BT_LPF_TYPE)->setText(FilterTypeName(unsigned(type)));
    filterChangedTail(filter);
}

void Kestrun::filterSlopeChosen(int filter, int item)
{
    if (!validFilter(filter) || item < 0 || item > XOVER_SLOPE_OFF_ITEM || CurCh >= CH_COUNT) return;
    FilterFields f = filterFields(filter, CurCh);
    if (item == XOVER_SLOPE_OFF_ITEM) {
        f.bypass = 1;  // the slope is kept for when the filter is switched on again
    } else {
        f.slope = uint8_t(item);
        f.bypass = 0;
    }
    (filter == 0 ? ui->BT_HPF_SLOPE : ui->BT_LPF_SLOPE)->setText(f.bypass ? T(Txt::FilterOff) : FilterSlopeName(f.slope));
    filterChangedTail(filter);
}

void Kestrun::filterFreqEdited(int filter)
{
    if (!validFilter(filter) || CurCh >= CH_COUNT) return;
    QLineEdit *edit = filterFreqEdit(filter);
    FilterFields f = filterFields(filter, CurCh);
    bool ok = false;
    const int v = edit->text().toInt(&ok, 10);
    if (!ok || v < XOVER_MIN_FREQ || v > XOVER_MAX_FREQ) {
        edit->setText(QString::number(f.freq));
        return;
    }
    f.freq = uint16_t(v);
    filterChangedTail(filter);
}

void Kestrun::filterStep(int filter, bool up)
{
    if (!validFilter(filter) || CurCh >= CH_COUNT) return;
    const bool fast = Link.BtnRepeatDelay > 0;
    filterFreqStepped(filter, CrossoverStepFreq(filterFields(filter, CurCh).freq, up, fast));
    Link.BtnRepeatDelay = STEP_REPEAT_TICKS;
}
