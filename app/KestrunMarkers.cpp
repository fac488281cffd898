// Graph interaction: marker drags, band-button double-clicks and the value edits' keys and wheel.
#include "Kestrun.h"

#include "ChannelLink.h"
#include "Commands.h"
#include "CrossoverRules.h"
#include "DragPushButton.h"
#include "LinkState.h"
#include "ResponseMath.h"
#include "Styles.h"
#include "SyncGroup.h"
#include "ValueEditKeys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QWheelEvent>

namespace {

const QString HpfMarkStyle = QStringLiteral("DragPushButton{border-image: url(:/PNG/H_Nor.png);background-color: transparent;}");
const QString HpfMarkHeldStyle = QStringLiteral("DragPushButton{border-image: url(:/PNG/H_On.png);background-color: transparent;}");
const QString LpfMarkStyle = QStringLiteral("DragPushButton{border-image: url(:/PNG/L_Nor.png);background-color: transparent;}");
const QString LpfMarkHeldStyle = QStringLiteral("DragPushButton{border-image: url(:/PNG/L_On.png);background-color: transparent;}");

constexpr int VOLUME_MAX = 600;
constexpr int DELAY_MAX = 1500;
constexpr int GAIN_MAX_CODE = 240;
constexpr int Q_MIN_CODE = 4;
constexpr int Q_MAX_CODE = 100;

// Gain code read back from a band marker's top edge (0.2123 dB per pixel from the 0 dB line).
uint16_t MarkerTopToGain(int top)
{
    const double g = (GRAPH_ZERO_DB_Y - top) * 0.2123 * 10.0 + 120.0;
    if (g > GAIN_MAX_CODE) return GAIN_MAX_CODE;
    if (g < 0.0) return 0;
    return uint16_t(g);
}

void setStyleIfChanged(QWidget *w, const QString &style)
{
    if (w->styleSheet() != style) w->setStyleSheet(style);
}

}  // namespace

int Kestrun::bandMarkerIndex(const QObject *o) const
{
    for (int b = 0; b < BAND_COUNT; ++b)
        if (BandMark[b] == o) return b;
    return -1;
}

int Kestrun::bandButtonIndex(const QObject *o) const
{
    for (int b = 0; b < BAND_COUNT; ++b)
        if (ui->BT_LED[b] == o) return b;
    return -1;
}

bool Kestrun::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        if (HPF_Drag) {
            HPF_Point_Update_Change();
        } else if (LPF_Drag) {
            LPF_Point_Update_Change();
        } else {
            const int b = bandMarkerIndex(watched);
            if (b >= 0) Mark_Point_Update_Change(b);
        }
        return false;
    case QEvent::MouseButtonPress:
        if (watched == HpfMark) {
            HpfMark->setStyleSheet(HpfMarkHeldStyle);
            HPF_Drag = 1;
        } else if (watched == LpfMark) {
            LpfMark->setStyleSheet(LpfMarkHeldStyle);
            LPF_Drag = 1;
        }
        return false;
    case QEvent::MouseButtonRelease: {
        setStyleIfChanged(HpfMark, HpfMarkStyle);
        setStyleIfChanged(LpfMark, LpfMarkStyle);
        const int b = bandMarkerIndex(watched);
        if (b >= 0) {
            CurBand = uint8_t(b);
            EQ_Curve_Update(CurCh);
            Curve_Point_Update(CurCh);
            updateGraph();
            EQ_Mark_Gain_Update(uint8_t(b));
        } else if (HPF_Drag) {
            HPF_Drag = 0;
            updateGraph();
        } else if (LPF_Drag) {
            LPF_Drag = 0;
            updateGraph();
        } else if (QLineEdit *e = valueEdit(watched)) {
            e->selectAll();
        }
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        const int b = bandButtonIndex(watched);
        if (b >= 0) bandToggle(b);
        return false;
    }
    case QEvent::FocusIn:
        if (QLineEdit *e = valueEdit(watched)) e->selectAll();
        return false;
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (k->key() != Qt::Key_Up && k->key() != Qt::Key_Down) return false;
        if (!valueEdit(watched)) return false;
        return stepValueEdit(watched, k->key() == Qt::Key_Up ? 1 : -1, k->isAutoRepeat(), true);
    }
    case QEvent::Wheel: {
        auto *w = static_cast<QWheelEvent *>(event);
        int delta = w->angleDelta().y();
        if (delta == 0) delta = w->angleDelta().x();
        if (delta == 0 || !valueEdit(watched)) return false;
        return stepValueEdit(watched, delta > 0 ? 1 : -1, false, false);
    }
    default:
        return false;
    }
}

QLineEdit *Kestrun::valueEdit(QObject *o) const
{
    auto *e = qobject_cast<QLineEdit *>(o);
    if (!e) return nullptr;
    if (e == ui->Edit_Total || e == ui->Edit_HPF_Freq || e == ui->Edit_LPF_Freq) return e;
    return ParseValueEditName(e->objectName()).kind != ValueEditKind::None ? e : nullptr;
}

// One key or wheel step of a value edit. True (the event is used up) for the crossover and
// equaliser edits; the volume and delay edits pass the event on after stepping.
bool Kestrun::stepValueEdit(QObject *o, int dir, bool autoRepeat, bool fromKey)
{
    const int units = KeyStepUnits(autoRepeat);
    const bool up = dir > 0;
    const bool fast = fromKey && autoRepeat;  // the wheel always steps 1 Hz
    const uint8_t ch = CurCh;
    if (ch >= CH_COUNT) return false;
    if (o == ui->Edit_Total) {
        QSlider *s = ui->Slider_Total_Bar;
        s->setValue(StepWithinRange(s->value(), dir, units, 0, VOLUME_MAX));
        return false;
    }
    if (o == ui->Edit_HPF_Freq || o == ui->Edit_LPF_Freq) {
        const int filter = o == ui->Edit_HPF_Freq ? 0 : 1;
        const uint16_t f = filter == 0 ? ParamStore.HpfFreq[ch] : ParamStore.LpfFreq[ch];
        filterFreqStepped(filter, CrossoverStepFreq(f, up, fast));
        return true;
    }
    const ValueEditRef ref = ParseValueEditName(o->objectName());
    const int i = ref.index;
    switch (ref.kind) {
    case ValueEditKind::ChVol: {
        QSlider *s = ui->Slider_CHVol_Bar[i];
        s->setValue(StepWithinRange(s->value(), dir, units, 0, VOLUME_MAX));
        return false;
    }
    case ValueEditKind::ChDelay:
        stepDelay(i, dir, units);
        return false;
    case ValueEditKind::EqGain: {
        CurBand = uint8_t(i);
        const int g = StepWithinRange(ParamStore.EqGain[ch][i], dir, units, 0, GAIN_MAX_CODE);
        ParamStore.EqGain[ch][i] = uint16_t(g);
        setBandGainSlider(i, g);
        ui->Edit_EQ_Gain[i]->setText(eqGainText(g));
        eqBandTail(i);
        sendBand(i);
        return true;
    }
    case ValueEditKind::EqFreq: {
        const uint16_t f = CrossoverStepFreq(ParamStore.EqFreq[ch][i], up, fast);
        ParamStore.EqFreq[ch][i] = f;
        ui->Edit_EQ_Freq[i]->setText(QString::number(f));
        eqBandTail(i);
        EQ_Mark_Update(uint8_t(i));
        sendBand(i);
        return true;
    }
    case ValueEditKind::EqQ: {
        const int q = StepWithinRange(ParamStore.EqQ[ch][i], dir, units, Q_MIN_CODE, Q_MAX_CODE);
        ParamStore.EqQ[ch][i] = uint8_t(q);
        ui->Edit_EQ_Q[i]->setText(eqQText(q));
        eqBandTail(i);
        sendBand(i);
        return true;
    }
    case ValueEditKind::None:
        break;
    }
    return false;
}

// The delay of output ch by `units` steps of 0.01 ms, each taken only while the output and every
// other member of its sync group stay inside 0..15.00 ms; the group follows.
void Kestrun::stepDelay(int ch, int dir, int units)
{
    if (ch < 0 || ch >= CH_COUNT) return;
    const int old = ParamStore.ChDelay[ch];
    int d = old > DELAY_MAX ? DELAY_MAX : old;
    for (int i = 0; i < units; ++i) {
        const int next = d + (dir > 0 ? 1 : -1);
        if (next < 0 || next > DELAY_MAX || Delay_Sync_Check(uint8_t(ch), next - old)) break;
        d = next;
    }
    ParamStore.ChDelay[ch] = uint16_t(d);
    Delay_Sync_Apply(uint8_t(ch), d - old);
    ui->Edit_CHDelay[ch]->setText(GetDelayDisplayStr(ParamStore.ChDelay[ch]));
    if (Link.Connected) CMD_CH_DELAY(uint8_t(ch));
}

void Kestrun::bandToggle(int b)
{
    const uint8_t ch = CurCh;
    if (b < 0 || b >= BAND_COUNT || ch >= CH_COUNT) return;
    CurBand = uint8_t(b);
    uint16_t &gain = ParamStore.EqGain[ch][b];
    uint16_t &shadow = EqGainShadow[ch][b];
    if (gain != GAIN_ZERO) {
        ui->BT_LED[b]->setStyleSheet(Styles::bandActive());
        shadow = gain;
        gain = GAIN_ZERO;
    } else if (shadow != GAIN_ZERO) {
        ui->BT_LED[b]->setStyleSheet(Styles::bandFlat());
        gain = shadow > GAIN_MAX_CODE ? GAIN_MAX_CODE : shadow;
    } else {
        return;
    }
    const int g = gain;
    setBandGainSlider(b, g);
    ui->Edit_EQ_Gain[b]->setText(eqGainText(g));
    eqBandTail(b);
    EQ_Mark_Gain_Update(uint8_t(b));
    sendBand(b);
}

void Kestrun::Mark_Point_Update_Change(int band)
{
    const uint8_t ch = CurCh;
    if (band < 0 || band >= BAND_COUNT || ch >= CH_COUNT) return;
    CurBand = uint8_t(band);
    DragPushButton *m = BandMark[band];
    const int x = m->x();
    const uint16_t g = MarkerTopToGain(m->y());
    ParamStore.EqGain[ch][band] = g;
    setBandGainSlider(band, g);  // its own slot runs when the value changes
    ui->Edit_EQ_Gain[band]->setText(eqGainText(g));
    const uint16_t f = Pos_To_Freq(x);
    ParamStore.EqFreq[ch][band] = f;
    ui->Edit_EQ_Freq[band]->setText(QString::number(f));
    eqBandTail(band);
    sendBand(band);
    const int nx = Freq_To_Pos(f);
    const int ny = GainToMarkerTop(g);
    m->setGeometry(nx, ny, BAND_MARKER_SIZE, BAND_MARKER_SIZE);
    ui->Edit_Label[band]->setGeometry(nx, ny - BAND_LABEL_RISE, BAND_LABEL_SIZE, BAND_LABEL_SIZE);
}

void Kestrun::HPF_Point_Update_Change()
{
    if (CurCh >= CH_COUNT) return;
    filterFreqStepped(0, Pos_To_Freq(HpfMark->x()));
}

void Kestrun::LPF_Point_Update_Change()
{
    if (CurCh >= CH_COUNT) return;
    filterFreqStepped(1, Pos_To_Freq(LpfMark->x()));
}
