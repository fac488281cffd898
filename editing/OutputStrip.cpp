// Passes an output strip's input to the model and shows the output's values.
#include "OutputStrip.h"

#include "Language.h"

#include "EntryHint.h"
#include "KestrunForm.h"
#include "OutputValues.h"
#include "Styles.h"
#include "Texts.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

OutputStrip::OutputStrip(KestrunForm &ui, TuningModel &model, EntryHint &hint, const Language &language, int ch,
                         QObject *parent)
    : QObject(parent), ui_(ui), model_(model), hint_(hint), language_(language), ch_(ch)
{
    QSlider *slider = ui.Slider_CHVol_Bar[ch];
    connect(slider, &QSlider::valueChanged, this, &OutputStrip::volumeMoved);
    connect(slider, &QSlider::sliderPressed, &model, &TuningModel::beginGesture);
    connect(slider, &QSlider::sliderReleased, &model, &TuningModel::endGesture);
    connect(ui.Edit_CHVol[ch], &QLineEdit::returnPressed, this, &OutputStrip::volumeEntered);
    connect(ui.Edit_CHDelay[ch], &QLineEdit::returnPressed, this, &OutputStrip::delayEntered);
    connect(ui.BT_Phase[ch], &QPushButton::clicked, this, [this] { model_.togglePhase(ch_); });
    connect(ui.BT_Mute[ch], &QPushButton::clicked, this, [this] { model_.toggleMute(ch_); });
    connect(ui.BT_Sync[ch], &QPushButton::clicked, this, [this] { model_.toggleSync(ch_); });
}

void OutputStrip::volumeMoved(int value)
{
    // A move the sync group refuses springs back (the model's notification shows the stored volume).
    model_.setVolume(ch_, value);
}

// Enter on a field that still shows the stored value ("0.0dB") gives no hint.
void OutputStrip::volumeEntered()
{
    QLineEdit *e = ui_.Edit_CHVol[ch_];
    const bool typedIn = e->text() != OutputValues::volumeText(model_.store.ChVol[ch_]);
    if (!model_.enterVolume(ch_, e->text()) && typedIn) hint_.showBeside(e, Txt::HintVolume);
}

void OutputStrip::delayEntered()
{
    QLineEdit *e = ui_.Edit_CHDelay[ch_];
    const bool typedIn = e->text() != OutputValues::delayDisplay(model_.store.ChDelay[ch_], model_.DelayUnit);
    if (!model_.enterDelay(ch_, e->text()) && typedIn) hint_.showBeside(e, Txt::HintDelay);
}

void OutputStrip::refresh(const ModelChange &change)
{
    if (change.all || change.output[ch_]) showValues();
    else if (change.delayUnit) showDelay();
    if (change.all || change.sync[ch_]) showSync(model_.sync.SyncOn[ch_]);
}

void OutputStrip::showValues()
{
    const ParamBlock &s = model_.store;
    {
        const QSignalBlocker block(ui_.Slider_CHVol_Bar[ch_]);
        ui_.Slider_CHVol_Bar[ch_]->setValue(s.ChVol[ch_]);
    }
    ui_.Edit_CHVol[ch_]->setText(OutputValues::volumeText(s.ChVol[ch_]));
    showDelay();
    showPhase(s.ChPhase[ch_]);
    showMute(s.ChMute[ch_]);
}

void OutputStrip::showDelay()
{
    ui_.Edit_CHDelay[ch_]->setText(OutputValues::delayDisplay(model_.store.ChDelay[ch_], model_.DelayUnit));
}

void OutputStrip::showPhase(uint8_t state)
{
    QPushButton *b = ui_.BT_Phase[ch_];
    b->setStyleSheet(state ? Styles::lightRed(b->objectName()) : Styles::dark(b->objectName()));
    b->setText(language_.text(state ? Txt::PhaseInverted : Txt::PhaseNormal));
}

void OutputStrip::showMute(uint8_t state)
{
    QPushButton *b = ui_.BT_Mute[ch_];
    b->setStyleSheet(state ? Styles::muted(b->objectName()) : Styles::dark(b->objectName()));
}

void OutputStrip::showSync(uint8_t state)
{
    QPushButton *b = ui_.BT_Sync[ch_];
    b->setStyleSheet(state ? Styles::lightRed(b->objectName()) : Styles::dark(b->objectName()));
}
