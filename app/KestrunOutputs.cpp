// Output levels, delay, phase, mute and the sync group; the master volume and mute.
#include "Kestrun.h"

#include "Commands.h"
#include "LinkState.h"
#include "OutputValues.h"
#include "Styles.h"
#include "SyncGroup.h"
#include "Texts.h"

#include <QDateTime>
#include <QDebug>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

using namespace OutputValues;

namespace {

// One trace line on the debug channel: "[ file : line : function time ] value".
void traceValue(const char *file, int line, const QString &function, double value)
{
    qDebug().noquote() << "[" << file << ":" << line << ":" << function
                       << QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss:zzz")) << "]"
                       << value;
}

uint8_t flipped(uint8_t v) { return v == 1 ? 0 : 1; }

}  // namespace

// --- master volume and mute ---

void Kestrun::on_Slider_Total_Bar_valueChanged(int value)
{
    ParamStore.MasterVol = uint16_t(value);
    ui->Edit_Total->setText(volumeText(value));
    if (Link.Connected) CMD_MASTER_VOLUME();
}

void Kestrun::on_Edit_Total_returnPressed()
{
    double db = 0;
    if (parseVolume(ui->Edit_Total->text(), &db)) {
        ui->Slider_Total_Bar->setValue(volumeCode(db));
        // A value equal to the slider's does not reach the slider slot; show it in the format too.
        ui->Edit_Total->setText(volumeText(ParamStore.MasterVol));
        return;
    }
    ui->Edit_Total->setText(volumeText(ParamStore.MasterVol));
}

void Kestrun::MainMute_Show(uint8_t on)
{
    const QString name = QStringLiteral("BT_MainMute");
    ui->BT_MainMute->setStyleSheet(on ? Styles::light(name) : Styles::dark(name));
}

void Kestrun::on_BT_MainMute_clicked()
{
    const uint8_t mute = MainMuteOn ? 0 : 1;
    if (!mute) MainMuteOn = 0;
    MainMute_Show(mute);
    for (uint8_t ch = 0; ch < CH_COUNT; ++ch) {
        ParamStore.ChMute[ch] = mute;
        if (Link.Connected) CMD_CH_MUTE(ch);
    }
    if (mute) MainMuteOn = 1;
}

// --- channel volume ---

void Kestrun::chVolSliderChanged(int ch, int value)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    const int delta = value - ParamStore.ChVol[ch];
    if (Vol_Sync_Check(uint8_t(ch), delta)) {
        // Springs back; the slot runs again with delta 0 and completes normally.
        ui->Slider_CHVol_Bar[ch]->setValue(ParamStore.ChVol[ch]);
        return;
    }
    ParamStore.ChVol[ch] = uint16_t(value);
    ui->Edit_CHVol[ch]->setText(volumeText(value));
    Vol_Sync_Apply(uint8_t(ch), delta);
    if (Link.Connected) CMD_CH_VOLUME(uint8_t(ch));
}

void Kestrun::chVolEdited(int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    double db = 0;
    if (parseVolume(ui->Edit_CHVol[ch]->text(), &db)) {
        const double r = (db + 60.0) * 10.0;
        if (!Vol_Sync_Check(uint8_t(ch), int(r - ParamStore.ChVol[ch]))) {
            ui->Slider_CHVol_Bar[ch]->setValue(int(r + 0.5));
            // The slider slot may have refused a group move; the text always follows the store.
            ui->Edit_CHVol[ch]->setText(volumeText(ParamStore.ChVol[ch]));
            return;
        }
    }
    ui->Edit_CHVol[ch]->setText(volumeText(ParamStore.ChVol[ch]));
}

void Kestrun::Vol_Sync_Apply(uint8_t ch, int delta)
{
    uint8_t partners[CH_COUNT];
    const int n = SyncPartners(ch, partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        const int v = qBound(0, int(ParamStore.ChVol[j]) + delta, MAX_VOLUME);
        ParamStore.ChVol[j] = uint16_t(v);
        // The store already holds v, so the partner's slot sees delta 0 and sends its own frame.
        ui->Slider_CHVol_Bar[j]->setValue(v);
    }
}

// --- delay ---

QString Kestrun::GetDelayDisplayStr(uint16_t d) const
{
    if (DelayUnit != 1) traceValue(__FILE__, __LINE__, QStringLiteral("GetDelayDisplayStr"), d * 0.01);
    return delayText(d, DelayUnit == 1 ? 1 : 0);
}

void Kestrun::chDelayEdited(int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    QLineEdit *edit = ui->Edit_CHDelay[ch];
    double r = 0;
    if (!parseDelay(edit->text(), DelayUnit == 1 ? 1 : 0, &r)) {
        edit->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
        return;
    }
    const int delta = int(r - ParamStore.ChDelay[ch]);
    if (Delay_Sync_Check(uint8_t(ch), delta)) {
        edit->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
        return;
    }
    traceValue(__FILE__, __LINE__, QStringLiteral("on_Edit_CHDelay_%1_returnPressed").arg(ch + 1), r + 0.5);
    ParamStore.ChDelay[ch] = delayCode(r);
    Delay_Sync_Apply(uint8_t(ch), delta);
    edit->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
    if (Link.Connected) CMD_CH_DELAY(uint8_t(ch));
}

void Kestrun::Delay_Sync_Apply(uint8_t ch, int delta)
{
    uint8_t partners[CH_COUNT];
    const int n = SyncPartners(ch, partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        ParamStore.ChDelay[j] = uint16_t(qBound(0, int(ParamStore.ChDelay[j]) + delta, MAX_DELAY));
        ui->Edit_CHDelay[j]->setText(GetDelayDisplayStr(ParamStore.ChDelay[j]));
        if (Link.Connected) CMD_CH_DELAY(j);
    }
}

void Kestrun::ms_Fun()
{
    DelayUnit = 0;
    ui->BT_Unit->setText(QStringLiteral("ms"));
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
}

void Kestrun::cm_Fun()
{
    DelayUnit = 1;
    ui->BT_Unit->setText(QStringLiteral("cm"));
    for (int ch = 0; ch < CH_COUNT; ++ch) ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
}

// --- phase ---

void Kestrun::phaseClicked(int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    ParamStore.ChPhase[ch] = ParamStore.ChPhase[ch] == 0 ? 1 : 0;
    Phase_Button_Show(uint8_t(ch), ParamStore.ChPhase[ch]);
    Phase_Sync_Apply(uint8_t(ch));
    if (Link.Connected) CMD_CH_PHASE(uint8_t(ch));
}

void Kestrun::Phase_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch >= CH_COUNT) return;
    QPushButton *b = ui->BT_Phase[ch];
    b->setStyleSheet(state ? Styles::lightRed(b->objectName()) : Styles::dark(b->objectName()));
    b->setText(T(state ? Txt::PhaseInverted : Txt::PhaseNormal));
}

void Kestrun::Phase_Sync_Apply(uint8_t ch)
{
    uint8_t partners[CH_COUNT];
    const int n = SyncPartners(ch, partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        ParamStore.ChPhase[j] = flipped(ParamStore.ChPhase[j]);
        Phase_Button_Show(j, ParamStore.ChPhase[j]);
        if (Link.Connected) CMD_CH_PHASE(j);
    }
}

// --- mute ---

void Kestrun::muteClicked(int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    if (ParamStore.ChMute[ch] == 0) {
        ParamStore.ChMute[ch] = 1;
    } else {
        ParamStore.ChMute[ch] = 0;
        MainMuteOn = 0;
        MainMute_Show(0);
    }
    Mute_Button_Show(uint8_t(ch), ParamStore.ChMute[ch]);
    Mute_Sync_Apply(uint8_t(ch));
    if (Link.Connected) CMD_CH_MUTE(uint8_t(ch));
}

void Kestrun::Mute_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch >= CH_COUNT) return;
    QPushButton *b = ui->BT_Mute[ch];
    b->setStyleSheet(state ? Styles::muted(b->objectName()) : Styles::dark(b->objectName()));
}

void Kestrun::Mute_Sync_Apply(uint8_t ch)
{
    uint8_t partners[CH_COUNT];
    const int n = SyncPartners(ch, partners);
    for (int i = 0; i < n; ++i) {
        const uint8_t j = partners[i];
        ParamStore.ChMute[j] = flipped(ParamStore.ChMute[j]);
        Mute_Button_Show(j, ParamStore.ChMute[j]);
        if (Link.Connected) CMD_CH_MUTE(j);
    }
}

// --- sync ---

void Kestrun::syncClicked(int ch)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    Sync_Button_Show(uint8_t(ch), SyncToggle(uint8_t(ch)));
}

void Kestrun::Sync_Button_Show(uint8_t ch, uint8_t state)
{
    if (ch >= CH_COUNT) return;
    QPushButton *b = ui->BT_Sync[ch];
    b->setStyleSheet(state ? Styles::lightRed(b->objectName()) : Styles::dark(b->objectName()));
}
