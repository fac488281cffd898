// Equaliser buttons: PEQ/GEQ, bypass and the flat reset; the band slots pass their input to the model.
#include "EqualizerSlots.h"

#include "KestrunForm.h"

#include "BandColumn.h"
#include "Notice.h"
#include "Styles.h"
#include "TuningModel.h"

#include <QLineEdit>
#include <QPushButton>

EqualizerSlots::EqualizerSlots(KestrunForm &form, TuningModel &model, Notice &notice,
                               BandColumn *(&columns)[BAND_COUNT])
    : ui(&form), model_(model), notice_(notice), Column(columns)
{
    connect(ui->BT_LED[15], &QPushButton::clicked, this, &EqualizerSlots::on_BT_LED_16_clicked);
    connect(ui->BT_PEQ, &QPushButton::clicked, this, &EqualizerSlots::on_BT_PEQ_clicked);
    connect(ui->BT_GEQ, &QPushButton::clicked, this, &EqualizerSlots::on_BT_GEQ_clicked);
    connect(ui->BT_EQ_BYPASS, &QPushButton::clicked, this, &EqualizerSlots::on_BT_EQ_BYPASS_clicked);
    connect(ui->BT_EQ_RESET, &QPushButton::clicked, this, &EqualizerSlots::on_BT_EQ_RESET_clicked);
}

void EqualizerSlots::eqGainSliderChanged(int band, int value) { model_.setBandGainFromSlider(band, value); }

void EqualizerSlots::eqGainEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandGain(b, ui->Edit_EQ_Gain[b]->text());
}

void EqualizerSlots::eqFreqEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandFreq(b, ui->Edit_EQ_Freq[b]->text());
}

void EqualizerSlots::eqQEdited(int b)
{
    if (b >= 0 && b < BAND_COUNT) model_.enterBandQ(b, ui->Edit_EQ_Q[b]->text());
}

void EqualizerSlots::setEqMode(bool parametric)
{
    for (BandColumn *c : Column) c->setParametric(parametric);
    ui->BT_PEQ->setStyleSheet(parametric ? Styles::light(QStringLiteral("BT_PEQ")) : Styles::dark(QStringLiteral("BT_PEQ")));
    ui->BT_GEQ->setStyleSheet(parametric ? Styles::dark(QStringLiteral("BT_GEQ")) : Styles::light(QStringLiteral("BT_GEQ")));
}

void EqualizerSlots::on_BT_PEQ_clicked()
{
    setEqMode(true);
}

void EqualizerSlots::on_BT_GEQ_clicked()
{
    setEqMode(false);
}

void EqualizerSlots::on_BT_EQ_BYPASS_clicked()
{
    model_.toggleEqBypass();
}

void EqualizerSlots::on_BT_EQ_RESET_clicked()
{
    if (!notice_.ask(Txt::EqFlatQuestion)) return;
    model_.flattenEq();
}

// A slot that exists for the form's sake and does nothing.
void EqualizerSlots::on_BT_LED_16_clicked() {}
