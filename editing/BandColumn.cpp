// Passes a band column's input to the model and shows the band of the selected channel.
#include "BandColumn.h"

#include "EntryHint.h"
#include "KestrunForm.h"
#include "ModelChange.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {

QString gainText(int code) { return QString::number((code - 120) / 10.0, 'f', 1); }
QString qText(int code) { return QString::number(code / 10.0, 'f', 1); }

// The code a typed text stands for, as the model takes it; -1 when it is no number.
int gainCodeOf(const QString &t)
{
    bool ok = false;
    const double x = t.toDouble(&ok);
    return ok ? static_cast<int>(x * 10.0 + 120.0) : -1;
}
int qCodeOf(const QString &t)
{
    bool ok = false;
    const double q = t.toDouble(&ok);
    return ok ? static_cast<int>(q * 10.0) : -1;
}
int freqOf(const QString &t)
{
    bool ok = false;
    const int f = t.toInt(&ok, 10);
    return ok ? f : -1;
}

void showField(QLineEdit *e, const QString &text, bool same, bool force)
{
    if (force || !same) e->setText(text);
}

}  // namespace

BandColumn::BandColumn(KestrunForm &ui, TuningModel &model, EntryHint &hint, int band, QObject *parent)
    : QObject(parent), ui_(ui), model_(model), hint_(hint), b_(band)
{
    QSlider *slider = ui.Slider_EQ_Gain_Bar[band];
    connect(slider, &QSlider::valueChanged, this, [this](int v) { model_.setBandGainFromSlider(b_, v); });
    connect(slider, &QSlider::sliderPressed, &model, &TuningModel::beginGesture);
    connect(slider, &QSlider::sliderReleased, &model, &TuningModel::endGesture);
    // A refused entry, or a gain limited to the +-12 dB the band holds, shows the accepted range beside it;
    // Enter on a field that still shows the stored value gives no hint.
    connect(ui.Edit_EQ_Gain[band], &QLineEdit::returnPressed, this, [this] {
        QLineEdit *e = ui_.Edit_EQ_Gain[b_];
        const bool typedIn = e->text() != gainText(model_.store.EqGain[model_.CurCh % CH_COUNT][b_]);
        const int typed = gainCodeOf(e->text());
        if ((!model_.enterBandGain(b_, e->text()) || typed < 0 || typed > 240) && typedIn)
            hint_.showBeside(e, Txt::HintGain);
    });
    connect(ui.Edit_EQ_Freq[band], &QLineEdit::returnPressed, this, [this] {
        QLineEdit *e = ui_.Edit_EQ_Freq[b_];
        const bool typedIn = e->text() != QString::number(model_.store.EqFreq[model_.CurCh % CH_COUNT][b_]);
        if (!model_.enterBandFreq(b_, e->text()) && typedIn) hint_.showBeside(e, Txt::HintFreq);
    });
    connect(ui.Edit_EQ_Q[band], &QLineEdit::returnPressed, this, [this] {
        QLineEdit *e = ui_.Edit_EQ_Q[b_];
        const bool typedIn = e->text() != qText(model_.store.EqQ[model_.CurCh % CH_COUNT][b_]);
        if (!model_.enterBandQ(b_, e->text()) && typedIn) hint_.showBeside(e, Txt::HintQ);
    });
}

void BandColumn::refresh(uint8_t aspects, bool force)
{
    const uint8_t ch = model_.CurCh;
    if (ch >= CH_COUNT) return;
    const ParamBlock &s = model_.store;
    if (aspects & ModelChange::Gain) {
        const int g = s.EqGain[ch][b_];
        QLineEdit *e = ui_.Edit_EQ_Gain[b_];
        showField(e, gainText(g), gainCodeOf(e->text()) == g, force || (aspects & ModelChange::Retype));
        {
            const QSignalBlocker block(ui_.Slider_EQ_Gain_Bar[b_]);
            ui_.Slider_EQ_Gain_Bar[b_]->setValue(model_.sliderGain(b_));
        }
        ui_.BT_LED[b_]->setStyleSheet(g == GAIN_ZERO ? Styles::bandFlat() : Styles::bandActive());
    }
    if (aspects & ModelChange::Freq) {
        QLineEdit *e = ui_.Edit_EQ_Freq[b_];
        showField(e, QString::number(s.EqFreq[ch][b_]), freqOf(e->text()) == s.EqFreq[ch][b_], force);
    }
    if (aspects & ModelChange::Q) {
        QLineEdit *e = ui_.Edit_EQ_Q[b_];
        showField(e, qText(s.EqQ[ch][b_]), qCodeOf(e->text()) == s.EqQ[ch][b_], force);
    }
}

void BandColumn::setParametric(bool parametric)
{
    for (QLineEdit *e : {ui_.Edit_EQ_Freq[b_], ui_.Edit_EQ_Q[b_]}) {
        e->setStyleSheet(Styles::eqEdit(e->objectName(), parametric));
        e->setEnabled(parametric);
    }
}
