// Channel selection and the refresh of every per-channel control.
#include "Kestrun.h"

#include "ChannelLink.h"
#include "OutputValues.h"
#include "ResponseMath.h"
#include "Styles.h"
#include "Texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

// The channel a channel button stands for: its name ends in 1..6 ("BT_CH3" is channel 2); -1 otherwise.
int channelOfButtonName(const QString &name)
{
    bool ok = false;
    int number = name.right(2).toInt(&ok, 10);
    if (!ok) number = name.right(1).toInt(&ok, 10);
    if (!ok || number < 1 || number > CH_COUNT) return -1;
    return number - 1;
}

QString slopeCaption(uint8_t bypass, uint8_t slope)
{
    return bypass ? T(Txt::FilterOff) : FilterSlopeName(slope);
}

}  // namespace

void Kestrun::BT_CH_Click()
{
    const QObject *s = sender();
    if (!s) return;
    const int ch = channelOfButtonName(s->objectName());
    if (ch < 0) return;
    BT_CH_Switch(uint8_t(ch));
}

void Kestrun::BT_CH_Switch(uint8_t ch)
{
    if (ch >= CH_COUNT) return;
    for (int k = 0; k < CH_COUNT; ++k) {
        const QString name = ui->BT_CH[k]->objectName();
        ui->BT_CH[k]->setStyleSheet(k == ch ? Styles::light(name) : Styles::dark(name));
    }
    CurCh = ch;
    const QString link = QStringLiteral("BT_LINK");
    ui->BT_LINK->setStyleSheet(Styles::dark(link));
    if (ChannelIsLinked(ch)) ui->BT_LINK->setStyleSheet(Styles::light(link));
    Update_Channel_State(ch);
}

void Kestrun::Update_Channel_State(uint8_t ch)
{
    if (ch >= CH_COUNT) return;
    // 1.
    CurBand = 0;
    CurCh = ch;
    // 2., 3. Volume and delay of the channel's own strip.
    ui->Edit_CHVol[ch]->setText(OutputValues::volumeText(ParamStore.ChVol[ch]));
    ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
    // 4.-6. Crossover frequencies, types and slopes.
    ui->Edit_HPF_Freq->setText(QString::number(ParamStore.HpfFreq[ch]));
    ui->Edit_LPF_Freq->setText(QString::number(ParamStore.LpfFreq[ch]));
    ui->BT_HPF_TYPE->setText(FilterTypeName(ParamStore.HpfType[ch]));
    ui->BT_LPF_TYPE->setText(FilterTypeName(ParamStore.LpfType[ch]));
    ui->BT_HPF_SLOPE->setText(slopeCaption(ParamStore.HpfBypass[ch], ParamStore.HpfSlope[ch]));
    ui->BT_LPF_SLOPE->setText(slopeCaption(ParamStore.LpfBypass[ch], ParamStore.LpfSlope[ch]));
    // 7. Equaliser bypass and its caption on the graph (label_15).
    const QString bypass = QStringLiteral("BT_EQ_BYPASS");
    if (ParamStore.EqBypass[ch]) {
        ui->BT_EQ_BYPASS->setStyleSheet(Styles::light(bypass));
        ui->Label[14]->show();
    } else {
        ui->BT_EQ_BYPASS->setStyleSheet(Styles::dark(bypass));
        ui->Label[14]->hide();
    }
    // 8.
    HPF_Curve_Update(ch);
    LPF_Curve_Update(ch);
    // 9. The bands, lowest first.
    for (int b = 0; b < BAND_COUNT; ++b) {
        const uint16_t g = ParamStore.EqGain[ch][b];
        CurBand = uint8_t(b);
        ui->Edit_EQ_Gain[b]->setText(QString::number((int(g) - 120) / 10.0, 'f', 1));
        ui->Edit_EQ_Freq[b]->setText(QString::number(ParamStore.EqFreq[ch][b]));
        ui->Edit_EQ_Q[b]->setText(QString::number(ParamStore.EqQ[ch][b] / 10.0, 'f', 1));
        // A changed slider runs the band slot as a user move would (store, link copies, frame);
        // the curve is computed once for all bands below.
        setBandGainSlider(b, g);
        EQ_Mark_Gain_Update(uint8_t(b));
        EQ_Mark_Update(uint8_t(b));
        const int top = GainToMarkerTop(g);
        ui->Edit_Label[b]->setGeometry(Freq_To_Pos(ParamStore.EqFreq[ch][b]), top - BAND_LABEL_RISE,
                                       BAND_LABEL_SIZE, BAND_LABEL_SIZE);
        ui->BT_LED[b]->setStyleSheet(g == GAIN_ZERO ? Styles::bandFlat() : Styles::bandActive());
    }
    // 10., 11.
    EQ_Curve_Update(ch);
    Curve_Point_Update(ch);
    update();
}
