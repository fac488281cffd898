// One tooltip text per control family: what the control does, its range and unit, its key and wheel steps.
#include "Tooltips.h"

#include "DragPushButton.h"
#include "GraphMarkers.h"
#include "Kestrun.h"
#include "Language.h"
#include "Texts.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <utility>
#include <vector>

namespace {

// The members of one family and its text; a text with "%1" gets the member's number (1-based).
struct Family {
    std::vector<QWidget *> members;
    Txt tip;
    bool numbered;
};

template <class W, size_t N>
std::vector<QWidget *> all(W *(&list)[N])
{
    return std::vector<QWidget *>(list, list + N);
}

}  // namespace

void Tooltips::apply(Kestrun &w, const Language &language)
{
    KestrunForm &ui = *w.ui;
    const Family families[] = {
        {all(ui.Slider_EQ_Gain_Bar), Txt::TipEqGainSlider, false},
        {all(ui.Edit_EQ_Gain), Txt::TipEqGainEdit, false},
        {all(ui.Edit_EQ_Freq), Txt::TipEqFreqEdit, false},
        {all(ui.Edit_EQ_Q), Txt::TipEqQEdit, false},
        {all(ui.BT_LED), Txt::TipBandButton, false},
        {all(w.markers().BandMark), Txt::TipBandMarker, false},
        {{w.markers().HpfMark}, Txt::TipHpfMarker, false},
        {{w.markers().LpfMark}, Txt::TipLpfMarker, false},
        {all(ui.BT_CH), Txt::TipChannel, true},
        {all(ui.BT_CH_NAME), Txt::TipChName, false},
        {all(ui.Slider_CHVol_Bar), Txt::TipChVolSlider, false},
        {all(ui.Edit_CHVol), Txt::TipChVolEdit, false},
        {all(ui.Edit_CHDelay), Txt::TipDelayEdit, false},
        {all(ui.BT_Phase), Txt::TipPhase, false},
        {all(ui.BT_Mute), Txt::TipMute, false},
        {all(ui.BT_Sync), Txt::TipSync, false},
        {all(ui.checkBox), Txt::TipCompare, false},
        {{ui.Slider_Total_Bar}, Txt::TipMasterSlider, false},
        {{ui.Edit_Total}, Txt::TipMasterEdit, false},
        {{ui.BT_MainMute}, Txt::TipMainMute, false},
        {{ui.BT_PEQ}, Txt::TipPEQ, false},
        {{ui.BT_GEQ}, Txt::TipGEQ, false},
        {{ui.BT_EQ_BYPASS}, Txt::TipEqBypass, false},
        {{ui.BT_EQ_RESET}, Txt::TipEqReset, false},
        {{ui.BT_LINK}, Txt::TipLink, false},
        {{ui.BT_Unit}, Txt::TipUnit, false},
        {{ui.BT_HPF_TYPE, ui.BT_LPF_TYPE}, Txt::TipFilterType, false},
        {{ui.BT_HPF_SLOPE, ui.BT_LPF_SLOPE}, Txt::TipFilterSlope, false},
        {{ui.Edit_HPF_Freq, ui.Edit_LPF_Freq}, Txt::TipFilterFreq, false},
        {{ui.BT_HPF_FREQ_UP, ui.BT_LPF_FREQ_UP}, Txt::TipFreqUp, false},
        {{ui.BT_HPF_FREQ_DOWN, ui.BT_LPF_FREQ_DOWN}, Txt::TipFreqDown, false},
        {{ui.BT_SENCE}, Txt::TipSence, false},
        {{ui.BT_OPTION}, Txt::TipOption, false},
        {{ui.BT_CONNECT}, Txt::TipConnect, false},
        {{ui.BT_MIN}, Txt::TipMin, false},
        {{ui.BT_CLOSE}, Txt::TipClose, false},
    };
    for (const Family &f : families) {
        const QString text = language.text(f.tip);
        for (size_t k = 0; k < f.members.size(); ++k)
            if (f.members[k]) f.members[k]->setToolTip(f.numbered ? text.arg(k + 1) : text);
    }
    // The input buttons name their own input by their caption.
    for (QPushButton *b : {ui.BT_INPUT_HI, ui.BT_INPUT_LOW, ui.BT_INPUT_OPT, ui.BT_INPUT_BT, ui.BT_INPUT_COAX})
        b->setToolTip(language.text(Txt::TipInput).arg(b->text()));
}
