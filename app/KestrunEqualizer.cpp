// Equaliser bands: gain sliders, the three edits per band, PEQ/GEQ, bypass and flat reset.
#include "Kestrun.h"

#include "ChannelLink.h"
#include "Commands.h"
#include "LinkState.h"
#include "Notice.h"
#include "ResponseMath.h"
#include "Styles.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr int GAIN_MAX_CODE = 240;
constexpr double GAIN_LIMIT_DB = 12.0;  // what the field, the slider and the markers can hold
constexpr double GAIN_ENTRY_DB = 20.0;  // what the gain edit accepts (the graph's extent)
constexpr int Q_MIN_CODE = 4;
constexpr int Q_MAX_CODE = 100;

bool validBand(int b) { return b >= 0 && b < BAND_COUNT; }

}  // namespace

QString Kestrun::eqGainText(int code)
{
    return QString::number((code - 120) / 10.0, 'f', 1);
}

QString Kestrun::eqQText(int code)
{
    return QString::number(code / 10.0, 'f', 1);
}

void Kestrun::showBandButton(int b)
{
    if (!validBand(b)) return;
    ui->BT_LED[b]->setStyleSheet(ParamStore.EqGain[CurCh][b] == GAIN_ZERO ? Styles::bandFlat() : Styles::bandActive());
}

void Kestrun::eqBandTail(int b)
{
    const uint8_t ch = CurCh;
    EQ_Link_Copy(ch, uint8_t(b));
    if (curveDeferred_) return;
    EQ_Curve_Update(ch);
    Curve_Point_Update(ch);
    updateGraph();
}

// Used where the caller stores more of the band and then runs the tail itself: the slider's slot
// stores, copies and sends as always, but the curve is computed only once, by the caller.
void Kestrun::setBandGainSlider(int b, int g)
{
    const bool outer = curveDeferred_;
    curveDeferred_ = true;
    ui->Slider_EQ_Gain_Bar[b]->setValue(g);
    curveDeferred_ = outer;
}

void Kestrun::sendBand(int b)
{
    if (Link.Connected) CMD_EQ_BAND(CurCh, uint8_t(b));
}

void Kestrun::eqGainSliderChanged(int b, int v)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    if (v < 0) v = 0;
    if (v > GAIN_MAX_CODE) v = GAIN_MAX_CODE;
    CurBand = uint8_t(b);
    ParamStore.EqGain[CurCh][b] = uint16_t(v);
    ui->Edit_EQ_Gain[b]->setText(eqGainText(v));
    eqBandTail(b);
    EQ_Mark_Gain_Update(uint8_t(b));
    sendBand(b);
    ui->BT_LED[b]->setStyleSheet(v == GAIN_ZERO ? Styles::bandFlat() : Styles::bandActive());
}

// Entries up to the graph's +-20 dB are taken and limited to the +-12 dB the field holds;
// the edit then shows the limited value. The slider stays where it is until the next refresh.
void Kestrun::eqGainEdited(int b)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    CurBand = uint8_t(b);
    QLineEdit *edit = ui->Edit_EQ_Gain[b];
    bool ok = false;
    double x = edit->text().toDouble(&ok);
    if (!ok || !(x >= -GAIN_ENTRY_DB && x <= GAIN_ENTRY_DB)) {
        edit->setText(eqGainText(ParamStore.EqGain[CurCh][b]));
        return;
    }
    const bool limited = x > GAIN_LIMIT_DB || x < -GAIN_LIMIT_DB;
    if (x > GAIN_LIMIT_DB) x = GAIN_LIMIT_DB;
    if (x < -GAIN_LIMIT_DB) x = -GAIN_LIMIT_DB;
    int code = static_cast<int>(x * 10.0 + 120.0);
    if (code < 0) code = 0;
    if (code > GAIN_MAX_CODE) code = GAIN_MAX_CODE;
    ParamStore.EqGain[CurCh][b] = uint16_t(code);
    if (limited) edit->setText(eqGainText(code));
    eqBandTail(b);
    EQ_Mark_Gain_Update(uint8_t(b));
    sendBand(b);
    showBandButton(b);
}

void Kestrun::eqFreqEdited(int b)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    CurBand = uint8_t(b);
    QLineEdit *edit = ui->Edit_EQ_Freq[b];
    bool ok = false;
    const int f = edit->text().toInt(&ok, 10);
    if (!ok || f < 20 || f > 20000) {
        edit->setText(QString::number(ParamStore.EqFreq[CurCh][b]));
        return;
    }
    ParamStore.EqFreq[CurCh][b] = uint16_t(f);
    eqBandTail(b);
    EQ_Mark_Update(uint8_t(b));
    sendBand(b);
}

void Kestrun::eqQEdited(int b)
{
    if (!validBand(b) || CurCh >= CH_COUNT) return;
    CurBand = uint8_t(b);
    QLineEdit *edit = ui->Edit_EQ_Q[b];
    bool ok = false;
    const double q = edit->text().toDouble(&ok);
    if (!ok || !(q >= 0.4 && q <= 10.0)) {
        edit->setText(eqQText(ParamStore.EqQ[CurCh][b]));
        return;
    }
    int code = static_cast<int>(q * 10.0);
    if (code < Q_MIN_CODE) code = Q_MIN_CODE;
    if (code > Q_MAX_CODE) code = Q_MAX_CODE;
    ParamStore.EqQ[CurCh][b] = uint8_t(code);
    eqBandTail(b);
    sendBand(b);
}

void Kestrun::setEqMode(bool parametric)
{
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QLineEdit *e : {ui->Edit_EQ_Freq[b], ui->Edit_EQ_Q[b]}) e->setStyleSheet(Styles::eqEdit(e->objectName(), parametric));
    for (int b = 0; b < BAND_COUNT; ++b)
        for (QLineEdit *e : {ui->Edit_EQ_Freq[b], ui->Edit_EQ_Q[b]}) e->setEnabled(parametric);
    ui->BT_PEQ->setStyleSheet(parametric ? Styles::light(QStringLiteral("BT_PEQ")) : Styles::dark(QStringLiteral("BT_PEQ")));
    ui->BT_GEQ->setStyleSheet(parametric ? Styles::dark(QStringLiteral("BT_GEQ")) : Styles::light(QStringLiteral("BT_GEQ")));
}

void Kestrun::on_BT_PEQ_clicked()
{
    setEqMode(true);
}

void Kestrun::on_BT_GEQ_clicked()
{
    setEqMode(false);
}

void Kestrun::on_BT_EQ_BYPASS_clicked()
{
    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return;
    ParamStore.EqBypass[ch] = ParamStore.EqBypass[ch] ? 0 : 1;
    const QString name = QStringLiteral("BT_EQ_BYPASS");
    if (ParamStore.EqBypass[ch]) {
        ui->BT_EQ_BYPASS->setStyleSheet(Styles::light(name));
        ui->Label[14]->show();  // label_15, the bypass caption on the graph
    } else {
        ui->BT_EQ_BYPASS->setStyleSheet(Styles::dark(name));
        ui->Label[14]->hide();
    }
    if (Link.Connected) CMD_EQ_BYPASS(ch);
}

// Every band of the selected channel back to 0 dB. A band whose slider already stands at 0 dB
// while its stored gain differs (a typed gain the slider has not followed yet) is flattened too.
void Kestrun::on_BT_EQ_RESET_clicked()
{
    if (!Notice::ask(Txt::EqFlatQuestion)) return;
    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return;
    for (int b = 0; b < BAND_COUNT; ++b) {
        QSlider *s = ui->Slider_EQ_Gain_Bar[b];
        if (s->value() != GAIN_ZERO) s->setValue(GAIN_ZERO);
        else if (ParamStore.EqGain[ch][b] != GAIN_ZERO) eqGainSliderChanged(b, GAIN_ZERO);
        const int x = Freq_To_Pos(ParamStore.EqFreq[ch][b]);
        const int top = GainToMarkerTop(ParamStore.EqGain[ch][b]);
        ui->Edit_Label[b]->setGeometry(x, top - BAND_LABEL_RISE, BAND_LABEL_SIZE, BAND_LABEL_SIZE);
    }
}
