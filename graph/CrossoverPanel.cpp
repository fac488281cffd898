// Passes a crossover panel's input to the model and shows the selected channel's filter.
#include "CrossoverPanel.h"

#include "CrossoverRules.h"
#include "EntryHint.h"
#include "KestrunForm.h"
#include "Language.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>

CrossoverPanel::CrossoverPanel(KestrunForm &ui, TuningModel &model, EntryHint &hint, const Language &language, int filter,
                               QObject *parent)
    : QObject(parent), model_(model), language_(language), filter_(filter),
      type_(filter == 0 ? ui.BT_HPF_TYPE : ui.BT_LPF_TYPE), slope_(filter == 0 ? ui.BT_HPF_SLOPE : ui.BT_LPF_SLOPE),
      freq_(filter == 0 ? ui.Edit_HPF_Freq : ui.Edit_LPF_Freq)
{
    // Enter on a field that still shows the stored frequency gives no hint.
    connect(freq_, &QLineEdit::returnPressed, this, [this, &hint] {
        const uint8_t ch = model_.CurCh % CH_COUNT;
        const bool typedIn = freq_->text() != QString::number(filter_ == 0 ? model_.store.HpfFreq[ch] : model_.store.LpfFreq[ch]);
        if (!model_.enterFilterFreq(filter_, freq_->text()) && typedIn) hint.showBeside(freq_, Txt::HintCrossoverFreq);
    });
    connect(filter == 0 ? ui.BT_HPF_FREQ_UP : ui.BT_LPF_FREQ_UP, &QPushButton::clicked, this, [this] { step(true); });
    connect(filter == 0 ? ui.BT_HPF_FREQ_DOWN : ui.BT_LPF_FREQ_DOWN, &QPushButton::clicked, this,
            [this] { step(false); });
}

void CrossoverPanel::step(bool up)
{
    const uint8_t ch = model_.CurCh;
    if (ch >= CH_COUNT) return;
    const bool fast = model_.session.Link.BtnRepeatDelay > 0;
    const uint16_t f = filter_ == 0 ? model_.store.HpfFreq[ch] : model_.store.LpfFreq[ch];
    model_.stepFilterFreq(filter_, CrossoverStepFreq(f, up, fast));
    model_.session.Link.BtnRepeatDelay = STEP_REPEAT_TICKS;
}

void CrossoverPanel::refresh(bool force)
{
    const uint8_t ch = model_.CurCh;
    if (ch >= CH_COUNT) return;
    const ParamBlock &s = model_.store;
    const bool hp = filter_ == 0;
    const uint16_t freq = hp ? s.HpfFreq[ch] : s.LpfFreq[ch];
    bool ok = false;
    if (force || freq_->text().toInt(&ok, 10) != freq || !ok) freq_->setText(QString::number(freq));
    type_->setText(FilterTypeName(hp ? s.HpfType[ch] : s.LpfType[ch], language_.LanguageFlag));
    const bool bypass = hp ? s.HpfBypass[ch] : s.LpfBypass[ch];
    slope_->setText(bypass ? language_.text(Txt::FilterOff) : FilterSlopeName(hp ? s.HpfSlope[ch] : s.LpfSlope[ch]));
}
