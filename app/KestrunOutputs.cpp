// The master volume and mute, the delay unit and the looks of the output buttons.
#include "Kestrun.h"

#include "EntryHint.h"
#include "OutputStrip.h"
#include "OutputValues.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>

void Kestrun::on_Slider_Total_Bar_valueChanged(int value)
{
    model_.setMasterVolume(value);
}

void Kestrun::on_Edit_Total_returnPressed()
{
    // Enter on a field that still shows the stored volume gives no hint.
    const bool typedIn = ui->Edit_Total->text() != OutputValues::volumeText(model_.store.MasterVol);
    if (!model_.enterMasterVolume(ui->Edit_Total->text()) && typedIn) Hint->showBeside(ui->Edit_Total, Txt::HintVolume);
}

void Kestrun::MainMute_Show(uint8_t on)
{
    const QString name = QStringLiteral("BT_MainMute");
    ui->BT_MainMute->setStyleSheet(on ? Styles::light(name) : Styles::dark(name));
}

void Kestrun::on_BT_MainMute_clicked() { model_.toggleMainMute(); }
void Kestrun::chVolSliderChanged(int ch, int value) { model_.setVolume(ch, value); }
void Kestrun::chVolEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) model_.enterVolume(ch, ui->Edit_CHVol[ch]->text()); }
void Kestrun::chDelayEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) model_.enterDelay(ch, ui->Edit_CHDelay[ch]->text()); }
void Kestrun::phaseClicked(int ch) { model_.togglePhase(ch); }
void Kestrun::muteClicked(int ch) { model_.toggleMute(ch); }
void Kestrun::syncClicked(int ch) { model_.toggleSync(ch); }

QString Kestrun::GetDelayDisplayStr(uint16_t d) const
{
    return OutputValues::delayDisplay(d, model_.DelayUnit);
}

void Kestrun::ms_Fun()
{
    model_.setDelayUnit(0);
}

void Kestrun::cm_Fun()
{
    model_.setDelayUnit(1);
}

void Kestrun::Phase_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showPhase(state);
}

void Kestrun::Mute_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showMute(state);
}

void Kestrun::Sync_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch < CH_COUNT) Strip[ch]->showSync(state);
}
