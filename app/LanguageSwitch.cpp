// Language switching of every text of the main window.
#include "LanguageSwitch.h"
#include "Language.h"

#include "ChannelNaming.h"
#include "Kestrun.h"
#include "OutputSlots.h"
#include "WindowMenus.h"
#include "AutoTuneDialog.h"
#include "TuningModel.h"

#include "LinkState.h"
#include "SpeakerPresets.h"
#include "Texts.h"
#include "MeasurePanel.h"
#include "Texts.h"
#include "TuningPanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <utility>

LanguageSwitch::LanguageSwitch(Kestrun &window, TuningModel &model, Language &language)
    : w_(window), model_(model), language_(language)
{
    qtTexts_.setLanguage(language_.LanguageFlag);
}

void LanguageSwitch::Option_Sub6_Fun()
{
    language_.LanguageFlag = 0;
    applyLanguage();
}

void LanguageSwitch::Option_Sub7_Fun()
{
    language_.LanguageFlag = 1;
    applyLanguage();
}

void LanguageSwitch::applyLanguage()
{
    KestrunForm *ui = w_.ui;
    WindowMenus &menus = w_.menus();
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
        w_.outputs().Phase_Button_Show(ch, model_.session.ParamStore.ChPhase[ch]);
        ui->BT_Mute[ch]->setText(language_.text(Txt::CapMute));
    }

    // Menu entries.
    menus.NoiseGateMenu->setTitle(language_.text(Txt::MenuNoiseGate));
    menus.NoiseGateAct[0]->setText(language_.text(Txt::MenuGateOff));
    for (int k = 1; k < 7; ++k) menus.NoiseGateAct[k]->setText(language_.text(Txt::MenuGateLevel).arg(k));
    menus.AboutAct->setText(language_.text(Txt::MenuAbout));
    menus.UndoAct->setText(language_.text(Txt::MenuUndo));
    menus.RedoAct->setText(language_.text(Txt::MenuRedo));
    menus.TuningAct->setText(language_.text(Txt::MenuTuning));
    if (auto *panel = w_.findChild<TuningPanel *>()) panel->applyLanguage();
    if (auto *act = menus.OptionMenu->findChild<QAction *>(QStringLiteral("MeasureAct"))) act->setText(T(Txt::MeasMenuEntry, language_.LanguageFlag));
    if (auto *panel = w_.findChild<MeasurePanel *>()) panel->applyLanguage(language_.LanguageFlag);
    if (auto *autoTune = w_.findChild<AutoTuneDialog *>()) autoTune->applyLanguage(language_.LanguageFlag);
    menus.ResetAct->setText(language_.text(Txt::MenuReset));
    menus.UpgradeAct->setText(language_.text(Txt::MenuUpgrade));
    const Txt sence[5] = {Txt::MenuSenceManage, Txt::MenuSaveSingle, Txt::MenuLoadSingle, Txt::MenuSaveAll,
                          Txt::MenuLoadAll};
    for (int k = 0; k < 5; ++k) menus.SenceAct[k]->setText(language_.text(sence[k]));
    for (int f = 0; f < 2; ++f)
        for (unsigned t = 0; t < 3; ++t) menus.FilterTypeAct[f][t]->setText(FilterTypeName(t, language_.LanguageFlag));

    // The crossover captions of the selected channel.
    const uint8_t ch = model_.CurCh < CH_COUNT ? model_.CurCh : 0;
    ui->BT_HPF_TYPE->setText(FilterTypeName(model_.session.ParamStore.HpfType[ch], language_.LanguageFlag));
    ui->BT_LPF_TYPE->setText(FilterTypeName(model_.session.ParamStore.LpfType[ch], language_.LanguageFlag));
    ui->Label[14]->setText(language_.text(Txt::CapBypass));
    menus.FilterSlopeAct[0][8]->setText(language_.text(Txt::FilterOff));
    menus.FilterSlopeAct[1][8]->setText(language_.text(Txt::FilterOff));
    ui->BT_HPF_SLOPE->setText(model_.session.ParamStore.HpfBypass[ch] ? language_.text(Txt::FilterOff) : FilterSlopeName(model_.session.ParamStore.HpfSlope[ch]));
    ui->BT_LPF_SLOPE->setText(model_.session.ParamStore.LpfBypass[ch] ? language_.text(Txt::FilterOff) : FilterSlopeName(model_.session.ParamStore.LpfSlope[ch]));

    w_.naming().Update_Channel_Name();
    w_.naming().Menu_LanguageSet();
    w_.applyHelpTexts();
}
