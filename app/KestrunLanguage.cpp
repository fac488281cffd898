// Language switching of every text of the main window.
#include "Kestrun.h"
#include "AutoTuneDialog.h"
#include "TuningModel.h"

#include "LinkState.h"
#include "SpeakerPresets.h"
#include "Texts.h"
#include "MeasurePanel.h"
#include "MeasureTexts.h"
#include "TuningPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <utility>

void Kestrun::Option_Sub6_Fun()
{
    language_.LanguageFlag = 0;
    applyLanguage();
}

void Kestrun::Option_Sub7_Fun()
{
    language_.LanguageFlag = 1;
    applyLanguage();
}

void Kestrun::applyLanguage()
{
    qtTexts_.setLanguage(language_.LanguageFlag);
    // Captions of the window's controls.
    const std::pair<QAbstractButton *, Txt> buttons[] = {
        {ui->BT_SENCE, Txt::CapSence},         {ui->BT_OPTION, Txt::CapOption},     {ui->BT_MainMute, Txt::CapMainMute},
        {ui->BT_PEQ, Txt::CapPEQ},             {ui->BT_GEQ, Txt::CapGEQ},           {ui->BT_EQ_RESET, Txt::CapEqReset},
        {ui->BT_EQ_BYPASS, Txt::CapEqBypass},  {ui->BT_INPUT_HI, Txt::CapInputHi},  {ui->BT_INPUT_LOW, Txt::CapInputLow},
        {ui->BT_INPUT_BT, Txt::CapInputBT},    {ui->BT_INPUT_OPT, Txt::CapInputOPT}, {ui->BT_INPUT_COAX, Txt::CapInputCOAX},
        {ui->BT_LINK, Txt::CapLink},
    };
    for (const auto &b : buttons) b.first->setText(language_.text(b.second));
    // label, label_3 .. label_13, label_16 (Label[k] is "label_<k+1>").
    const std::pair<int, Txt> labels[] = {
        {15, Txt::CapMasterVol}, {2, Txt::CapType}, {6, Txt::CapType}, {3, Txt::CapFreq}, {5, Txt::CapFreq},
        {8, Txt::CapFreq},       {4, Txt::CapSlope}, {7, Txt::CapSlope}, {9, Txt::CapQ},   {10, Txt::CapGain},
        {0, Txt::CapHPF},        {11, Txt::CapLPF}, {12, Txt::CapUnit},
    };
    for (const auto &l : labels) ui->Label[l.first]->setText(language_.text(l.second));
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->checkBox[ch]->setText(language_.text(Txt::CapCurveBox).arg(ch + 1));

    // The link status.
    ui->BT_CONNECT->setText(language_.text(model_.session.Link.LinkStatus == 2 ? Txt::StatusOnline : Txt::StatusOffline));

    // The output strips.
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        ui->BT_Sync[ch]->setText(language_.text(Txt::CapSync));
        Phase_Button_Show(ch, model_.session.ParamStore.ChPhase[ch]);
        ui->BT_Mute[ch]->setText(language_.text(Txt::CapMute));
    }

    // Menu entries.
    NoiseGateMenu->setTitle(language_.text(Txt::MenuNoiseGate));
    NoiseGateAct[0]->setText(language_.text(Txt::MenuGateOff));
    for (int k = 1; k < 7; ++k) NoiseGateAct[k]->setText(language_.text(Txt::MenuGateLevel).arg(k));
    AboutAct->setText(language_.text(Txt::MenuAbout));
    UndoAct->setText(language_.text(Txt::MenuUndo));
    RedoAct->setText(language_.text(Txt::MenuRedo));
    TuningAct->setText(language_.text(Txt::MenuTuning));
    if (auto *panel = findChild<TuningPanel *>()) panel->applyLanguage();
    if (auto *act = OptionMenu->findChild<QAction *>(QStringLiteral("MeasureAct"))) act->setText(MT(MTxt::MenuEntry, language_.LanguageFlag));
    if (auto *panel = findChild<MeasurePanel *>()) panel->applyLanguage(language_.LanguageFlag);
    if (auto *autoTune = findChild<AutoTuneDialog *>()) autoTune->applyLanguage(language_.LanguageFlag);
    ResetAct->setText(language_.text(Txt::MenuReset));
    UpgradeAct->setText(language_.text(Txt::MenuUpgrade));
    const Txt sence[5] = {Txt::MenuSenceManage, Txt::MenuSaveSingle, Txt::MenuLoadSingle, Txt::MenuSaveAll,
                          Txt::MenuLoadAll};
    for (int k = 0; k < 5; ++k) SenceAct[k]->setText(language_.text(sence[k]));
    for (int f = 0; f < 2; ++f)
        for (unsigned t = 0; t < 3; ++t) FilterTypeAct[f][t]->setText(FilterTypeName(t, language_.LanguageFlag));

    // The crossover captions of the selected channel.
    const uint8_t ch = model_.CurCh < CH_COUNT ? model_.CurCh : 0;
    ui->BT_HPF_TYPE->setText(FilterTypeName(model_.session.ParamStore.HpfType[ch], language_.LanguageFlag));
    ui->BT_LPF_TYPE->setText(FilterTypeName(model_.session.ParamStore.LpfType[ch], language_.LanguageFlag));
    ui->Label[14]->setText(language_.text(Txt::CapBypass));
    FilterSlopeAct[0][8]->setText(language_.text(Txt::FilterOff));
    FilterSlopeAct[1][8]->setText(language_.text(Txt::FilterOff));
    ui->BT_HPF_SLOPE->setText(model_.session.ParamStore.HpfBypass[ch] ? language_.text(Txt::FilterOff) : FilterSlopeName(model_.session.ParamStore.HpfSlope[ch]));
    ui->BT_LPF_SLOPE->setText(model_.session.ParamStore.LpfBypass[ch] ? language_.text(Txt::FilterOff) : FilterSlopeName(model_.session.ParamStore.LpfSlope[ch]));

    Update_Channel_Name();
    Menu_LanguageSet();
    applyHelpTexts();
}

void Kestrun::Menu_LanguageSet()
{
    for (int ch = 0; ch < CH_COUNT; ++ch) {
        for (int g = 0; g < NAME_GROUP_COUNT; ++g) {
            const NameMenuGroup &group = NameMenuGroups[g];
            if (!ChNameSubMenu[ch][g]) continue;
            ChNameSubMenu[ch][g]->setTitle(language_.text(group.title));
            for (int e = 0; e < group.entryCount; ++e)
                if (QAction *a = ChNameAct[ch][group.codes[e]]) a->setText(language_.text(group.entries[e]));
        }
        if (QAction *off = ChNameAct[ch][SPK_OFF]) off->setText(language_.text(Txt::NameEntryOff));
    }
}
