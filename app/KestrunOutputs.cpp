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
    Model().setMasterVolume(value);
}

void Kestrun::on_Edit_Total_returnPressed()
{
    // Enter on a field that still shows the stored volume gives no hint.
    const bool typedIn = ui->Edit_Total->text() != OutputValues::volumeText(Model().store.MasterVol);
    if (!Model().enterMasterVolume(ui->Edit_Total->text()) && typedIn) Hint->showBeside(ui->Edit_Total, Txt::HintVolume);
}

void Kestrun::MainMute_Show(uint8_t on)
{
    const QString name = QStringLiteral("BT_MainMute");
    ui->BT_MainMute->setStyleSheet(on ? Styles::light(name) : Styles::dark(name));
}

void Kestrun::on_BT_MainMute_clicked() { Model().toggleMainMute(); }
void Kestrun::chVolSliderChanged(int ch, int value) { Model().setVolume(ch, value); }
void Kestrun::chVolEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) Model().enterVolume(ch, ui->Edit_CHVol[ch]->text()); }
void Kestrun::chDelayEdited(int ch) { if (ch >= 0 && ch < CH_COUNT) Model().enterDelay(ch, ui->Edit_CHDelay[ch]->text()); }
void Kestrun::phaseClicked(int ch) { Model().togglePhase(ch); }
void Kestrun::muteClicked(int ch) { Model().toggleMute(ch); }
void Kestrun::syncClicked(int ch) { Model().toggleSync(ch); }

QString Kestrun::GetDelayDisplayStr(uint16_t d) const
{
    return OutputValues::delayDisplay(d, Model().DelayUnit);
}

void Kestrun::ms_Fun()
{
    Model().setDelayUnit(0);
}

void Kestrun::cm_Fun()
{
    Model().setDelayUnit(1);
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
